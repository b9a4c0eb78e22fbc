#include <gtest/gtest.h>

#include "common/version_name.h"

namespace nl {
namespace {

OsVersionRecord Record(int platform, int major, int minor, const std::string& csd = "") {
    OsVersionRecord r;
    r.ok = true;
    r.platformId = platform;
    r.major = major;
    r.minor = minor;
    r.csdVersion = csd;
    r.csdVersion.resize(128, '\0');
    return r;
}

struct Row {
    int platform, major, minor;
    const char* csd;
    int wow;  // 1 true, 0 false, -1 no answer available (missing IsWow64Process)
    const char* expected;
    bool asksWow;
};

TEST(WindowsVersionName, Tables) {
    const Row rows[] = {
        {2, 4, 0, "", 0, "WinNT4", false},
        {2, 4, 0, "Service Pack 6a", 0, "WinNT4 (Service Pack 6a)", false},
        {2, 5, 0, "Service Pack 4", 0, "Win2K (Service Pack 4)", false},
        {2, 5, 1, "Service Pack 2", 0, "WinXP (Service Pack 2)", true},
        {2, 5, 1, "Service Pack 3", 1, "WinXP (Service Pack 3)", true},
        {2, 5, 1, "Service Pack 2", -1, "WinXP (Service Pack 2)", true},
        {2, 5, 2, "Service Pack 2", 1, "WinXP Pro x64 (Service Pack 2)", true},
        {2, 5, 2, "", 0, "Windows 2003 Server", true},
        {2, 5, 3, "S", 0, " (S)", false},
        {2, 6, 0, "Service Pack 2", 1, "Vista (Service Pack 2)", true},
        {2, 6, 1, "Service Pack 1", 1, "Vista (Service Pack 1)", true},
        {2, 6, 2, "", 0, "Vista", true},
        {2, 3, 51, "Service Pack 5", 0, "WinNT3.1 (Service Pack 5)", false},
        {2, 10, 0, "", 1, "WinNT3.1", false},
        {2, 7, 0, "", 0, "WinNT3.1", false},
        {1, 4, 0, "", 0, "Win95", false},
        {1, 4, 10, " A ", 0, "Win98", false},
        {1, 4, 90, " ", 0, "WinME", false},
        {1, 5, 0, "x", 0, "Win98", false},
        {1, 3, 95, "", 0, "", false},
        {0, 3, 10, "Service Pack 1", 0, "", false},
        {3, 10, 0, "", 0, "", false},
    };
    for (const auto& r : rows) {
        int asked = 0;
        const std::string name = ChooseWindowsVersionName(Record(r.platform, r.major, r.minor, r.csd), [&] {
            ++asked;
            return r.wow == 1;
        });
        EXPECT_EQ(name, r.expected) << r.platform << " " << r.major << "." << r.minor;
        EXPECT_EQ(asked, r.asksWow ? 1 : 0) << r.expected;
    }
}

TEST(WindowsVersionName, FailedCallOrNulFirstByte) {
    OsVersionRecord failed = Record(2, 5, 1, "Service Pack 2");
    failed.ok = false;
    EXPECT_EQ(ChooseWindowsVersionName(failed, [] { return true; }), "");
    OsVersionRecord nulFirst = Record(2, 5, 0);
    nulFirst.csdVersion = std::string("\0Service Pack 9", 15);
    EXPECT_EQ(ChooseWindowsVersionName(nulFirst, nullptr), "Win2K");
}

TEST(TrimAtNul, Rows) {
    EXPECT_EQ(TrimAtNul(""), "");
    EXPECT_EQ(TrimAtNul("abc"), "abc");
    EXPECT_EQ(TrimAtNul(std::string("\0abc", 4)), "");
    EXPECT_EQ(TrimAtNul(std::string("ab\0c\0", 5)), "ab");
    EXPECT_EQ(TrimAtNul(std::string(128, 'x')), std::string(128, 'x'));
}

}  // namespace
}  // namespace nl
