// The message log: each logged message becomes one line, in the list at
// once and in the --log file at the next frame; the list's newest line is
// selected and painted at the frame. It also keeps what the user is to be
// told about the log (lines dropped or refused, a write that failed), told
// after the frame.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "controls/message_list.h"
#include "win32/log_files.h"

namespace nl {

class MessageLog {
public:
    // The list box the lines go to, with the list's own limit (--max-lines).
    void Attach(HWND list, std::int32_t maxLines);
    // Opens the --log file; false with the reason when it cannot be.
    bool OpenFile(const std::wstring& path, std::wstring& reason) { return file_.Open(path, reason); }

    // One message's line. Returns false when nothing was logged: a filtered
    // message, or one the list sends about its own lack of room while a
    // line is being added.
    bool Log(std::int32_t hWnd, std::uint32_t uMsg, std::int32_t wParam, std::int32_t lParam);
    void Clear() { list_.Clear(); }
    // All lines, joined by CR LF.
    std::string Text() const;

    // At the frame: the newest line selected, shown and painted; the file
    // written.
    void Paint();
    // After the frame, in this order: the list full, the list refusing
    // lines, the file failing.
    void TellNotices(HWND owner);
    // The last lines to the file; nobody is left to tell.
    void Close();

private:
    MessageList list_;
    LogFile file_;
    std::int32_t maxLines_ = 0;
    std::string line_;            // reused for each line
    std::wstring fileProblem_;    // a write that failed, told after the frame
    bool dropNoticeDue_ = false;  // lines were dropped: told once per run
    bool dropNoticeTold_ = false;
    bool refusedTold_ = false;    // lines were refused: told once per run
};

}  // namespace nl
