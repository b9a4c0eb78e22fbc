#include "main_window/message_log.h"

#include <utility>

#include "common/message_log/log_limit.h"
#include "common/message_log/log_line.h"
#include "common/base/number_text.h"
#include "system_info/system_info.h"
#include "win32/message_boxes.h"

namespace nl {

void MessageLog::Attach(HWND list, std::int32_t maxLines) {
    maxLines_ = maxLines;
    list_ = MessageList(list, maxLines);
}

bool MessageLog::Log(std::int32_t hWnd, std::uint32_t uMsg, std::int32_t wParam, std::int32_t lParam) {
    if (IsFilteredMessage(uMsg)) return false;
    // While a line is being added, only the list's own notifications can
    // arrive (running out of room): they are about that add, not news, and
    // logging them would only add again.
    if (list_.Adding()) return false;
    // The list copies the text before it can send anything back to the
    // window, so one buffer serves every call, nested ones included.
    FormatLogLine(line_, LocalClockTime(), hWnd, uMsg, wParam, lParam);
    file_.Append(line_);  // written at the next frame, whatever the list does
    // The line is in the list at once (or counted as refused); selecting it
    // and painting wait for the frame, which serves a whole burst of lines
    // in one go.
    list_.Add(line_);
    if (list_.TakeDropped() && !dropNoticeTold_) dropNoticeDue_ = dropNoticeTold_ = true;
    return true;
}

std::string MessageLog::Text() const {
    const ListBox& box = list_.Box();
    const std::int32_t count = box.Count();
    std::string joined;
    for (std::int32_t i = 0; i < count; ++i) {
        if (i > 0) joined += kCrLf;
        joined += box.ItemText(i);
    }
    return joined;
}

void MessageLog::Paint() {
    // The newest line selected and scrolled into view.
    ListBox& box = list_.Box();
    const std::int32_t newest = box.Count() - 1;
    if (newest >= 0) {
        box.Select(newest);
        box.SetTopIndex(newest);
    }
    box.ResumePainting();
    std::wstring reason;
    if (!file_.Flush(reason)) fileProblem_ = reason;
}

void MessageLog::TellNotices(HWND owner) {
    if (std::exchange(dropNoticeDue_, false)) MessageBoxNotice(owner, LinesDroppedNotice(maxLines_));
    if (list_.Refused() > 0 && !std::exchange(refusedTold_, true))
        MessageBoxNotice(owner, LinesRefusedNotice(list_.Refused()));
    if (!fileProblem_.empty())
        MessageBoxNotice(owner, L"Writing to the log file failed: " + std::exchange(fileProblem_, L"") +
                                    L"\nFrom now on lines go to the message list only.");
}

void MessageLog::Close() {
    std::wstring reason;
    file_.Flush(reason);
}

}  // namespace nl
