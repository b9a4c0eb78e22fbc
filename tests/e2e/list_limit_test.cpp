// A list that keeps the newest lines: past its limit the oldest tenth goes,
// the --log file keeps every line, one notice says so, and logging goes on.
#include <gtest/gtest.h>

#include <filesystem>

#include "driver/driver.h"

namespace nle2e {
namespace {

namespace fs = std::filesystem;
constexpr UINT kNumbered = WM_APP + 7;

// The numbers (wLo) of the kNumbered lines among `lines`, in order.
std::vector<long> Numbers(const std::vector<std::wstring>& lines) {
    std::vector<long> numbers;
    for (const auto& line : lines)
        if (LoggedMsg(line) == kNumbered) numbers.push_back(std::wcstol(line.c_str() + line.find(L" wLo=") + 5, nullptr, 10));
    return numbers;
}

TEST(ListLimit, KeepsTheNewestLinesWhileTheLogFileKeepsEveryOne) {
    const fs::path file = fs::temp_directory_path() / Format(L"notchlog-limit-%lu.log", ::GetCurrentProcessId());
    fs::remove(file);
    constexpr long kPosted = 2500;
    {
        Notchlog app(Format(L"--max-lines 1000 --log \"%ls\"", file.c_str()));
        for (long i = 0; i < kPosted; ++i) Post(app.Main(), kNumbered, static_cast<WPARAM>(i));
        const MessageBoxSeen notice = WaitForMessageBox(app.Pid());
        EXPECT_EQ(notice.caption, L"Notchlog");
        EXPECT_EQ(notice.text,
                  L"The message list is full (1000 lines). From now on the oldest lines are dropped from it, a tenth at a "
                  L"time, so that it keeps the newest ones; Copy and Save log as hold what it keeps. A log file given "
                  L"with --log keeps all of them.\n\nLogging goes on.");
        // Logging goes on behind the open notice: every posted message reaches the list.
        EXPECT_TRUE(WaitUntil([&] { const auto n = Numbers(app.Log()); return !n.empty() && n.back() == kPosted - 1; }));
        Press(notice, IDOK);

        const auto log = app.Settle();
        EXPECT_LE(log.size(), 1000u);
        EXPECT_GE(log.size(), 900u);
        const auto kept = Numbers(log);
        ASSERT_FALSE(kept.empty());
        for (std::size_t i = 0; i < kept.size(); ++i) ASSERT_EQ(kept[i], kPosted - static_cast<long>(kept.size()) + static_cast<long>(i));
        EXPECT_EQ(ShownWindowOf(app.Pid(), L"#32770"), nullptr) << "a second notice";
        EXPECT_EQ(Narrow(app.Copy(kCopyLogButton)), [&] {
            std::string all;
            for (const auto& line : app.Log()) all += (all.empty() ? "" : "\r\n") + Narrow(line);
            return all;
        }());
        EXPECT_EQ(app.Close(), 0u);
    }
    const auto written = Split(Widen(Contents(file)), L"\r\n");
    const auto numbers = Numbers(written);
    ASSERT_EQ(numbers.size(), static_cast<std::size_t>(kPosted));
    for (long i = 0; i < kPosted; ++i) ASSERT_EQ(numbers[static_cast<std::size_t>(i)], i);
    for (const auto& line : written) EXPECT_EQ(line.find(L"uMsg= 111 wHi=-2 "), std::wstring::npos) << "the list's out-of-room notice logged";
    fs::remove(file);
}

}  // namespace
}  // namespace nle2e
