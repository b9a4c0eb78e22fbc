// The analysis window's list as a user reads it while events keep coming:
// it follows the newest row only until the user chooses other rows or
// scrolls away, and Copy and Save take what the user chose, Clear or not.
#include <gtest/gtest.h>

#include <filesystem>

#include "driver/driver.h"

#include <commctrl.h>

namespace nle2e {
namespace {

namespace fs = std::filesystem;
enum : int { kClear = 201, kCopy, kSave };

struct Where {  // the user's place in the list, as the list tells it
    LRESULT selected, first, focus, top;
    bool operator==(const Where& o) const {
        return selected == o.selected && first == o.first && focus == o.focus && top == o.top;
    }
};
std::ostream& operator<<(std::ostream& out, const Where& w) {
    return out << "{" << w.selected << " selected, first " << w.first << ", focus " << w.focus << ", top " << w.top << "}";
}

TEST(AnalysisList, FollowsTheNewestRowOnlyWhileTheUserLetsItAndCopiesAndSavesWhatTheUserChose) {
    const fs::path csv = fs::temp_directory_path() / Format(L"notchlog-list-%lu.csv", ::GetCurrentProcessId());
    const fs::path saved = csv.wstring() + L".saved.csv";
    fs::remove(csv);
    fs::remove(saved);
    Notchlog app(L"--analysis --wheel-csv \"" + csv.wstring() + L"\"");
    HWND analysis = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (analysis = ShownWindowOf(app.Pid(), L"NotchlogAnalysis")) != nullptr; }));
    const HWND list = ::FindWindowExW(analysis, nullptr, L"SysListView32", nullptr);
    const LRESULT perPage = Send(list, LVM_GETCOUNTPERPAGE);
    ASSERT_GT(perPage, 2);
    // The file's lines: the header, then one row per event, each with its line end.
    const auto lines = [&] { return Split(Contents(csv), "\r\n"); };
    const auto row = [&](std::size_t seq) { return lines().at(seq) + "\r\n"; };
    long posted = 0;
    const auto wheel = [&](long n) {
        for (long i = 0; i < n; ++i) Post(analysis, WM_MOUSEWHEEL, MAKEWPARAM(0, 120), MAKELPARAM(5, 6));
        posted += n;
    };
    const auto rowsShown = [&](long rows) {
        return WaitUntil([&] { return Send(list, LVM_GETITEMCOUNT) == rows && lines().size() == static_cast<std::size_t>(posted) + 2; });
    };
    const auto where = [&] {
        return Where{Send(list, LVM_GETSELECTEDCOUNT), Send(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED),
                     Send(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED), Send(list, LVM_GETTOPINDEX)};
    };
    const auto copied = [&] {
        WriteClipboard(L"(before the copy)");
        Send(::GetDlgItem(analysis, kCopy), BM_CLICK);
        return Narrow(ReadClipboard().value_or(L""));
    };
    const std::string header = lines().at(0) + "\r\n";

    // Following: the newest row alone, focused, at the bottom.
    wheel(perPage + 5);
    ASSERT_TRUE(rowsShown(posted));
    EXPECT_EQ(where(), (Where{1, posted - 1, posted - 1, posted - perPage}));

    // The user chooses the first two rows: new rows leave them, the focus and the view alone.
    Foreground(analysis);
    Key(VK_HOME), Key(VK_HOME, true);
    Key(VK_SHIFT), Key(VK_DOWN), Key(VK_DOWN, true), Key(VK_SHIFT, true);
    ASSERT_TRUE(WaitUntil([&] { return where() == Where{2, 0, 1, 0}; })) << where();
    wheel(perPage);
    ASSERT_TRUE(rowsShown(posted));
    EXPECT_EQ(where(), (Where{2, 0, 1, 0}));
    // Copy while events keep coming takes the rows chosen.
    wheel(50);
    const std::string chosen = copied();
    ASSERT_TRUE(rowsShown(posted));
    EXPECT_EQ(chosen, header + row(1) + row(2));
    EXPECT_EQ(where(), (Where{2, 0, 1, 0}));

    // Choosing the last row (End, to the list: Copy took the focus) follows again.
    Post(list, WM_KEYDOWN, VK_END), Post(list, WM_KEYUP, VK_END);
    ASSERT_TRUE(WaitUntil([&] { return where().first == posted - 1; })) << where();
    wheel(3);
    ASSERT_TRUE(rowsShown(posted));
    EXPECT_EQ(where(), (Where{1, posted - 1, posted - 1, posted - perPage}));
    EXPECT_EQ(copied(), header + row(static_cast<std::size_t>(posted)));

    // After Clear: Copy takes the header alone; new rows are followed, copied and saved alone.
    Send(::GetDlgItem(analysis, kClear), BM_CLICK);
    ASSERT_TRUE(WaitUntil([&] { return Send(list, LVM_GETITEMCOUNT) == 0; }));
    EXPECT_EQ(copied(), header);
    wheel(2);
    ASSERT_TRUE(rowsShown(2));
    EXPECT_EQ(where(), (Where{1, 1, 1, 0}));
    EXPECT_EQ(copied(), header + row(static_cast<std::size_t>(posted)));
    Post(::GetDlgItem(analysis, kSave), BM_CLICK);
    HWND dialog = nullptr, name = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (dialog = ShownWindowOf(app.Pid(), L"#32770")) && (name = ::GetDlgItem(dialog, 0x47C)); }));
    Send(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(saved.c_str()));
    Post(::GetDlgItem(dialog, IDOK), BM_CLICK);
    const std::string expected = header + row(static_cast<std::size_t>(posted) - 1) + row(static_cast<std::size_t>(posted));
    EXPECT_TRUE(WaitUntil([&] { return fs::exists(saved) && Contents(saved) == expected; })) << Contents(saved);
    EXPECT_EQ(app.Close(), 0u);
    fs::remove(csv);
    fs::remove(saved);
}

}  // namespace
}  // namespace nle2e
