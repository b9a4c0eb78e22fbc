#include <gtest/gtest.h>

#include "common/base/version_name.h"

namespace nl {
namespace {

TEST(WindowsVersionName, Tables) {
    const struct {
        int platform, major, minor;
        const char* csd;
        bool wow;
        const char* expected;
        bool asksWow;
    } rows[] = {
        {2, 4, 0, "Service Pack 6a", false, "WinNT4 (Service Pack 6a)", false},
        {2, 5, 0, "Service Pack 4", false, "Win2K (Service Pack 4)", false},
        {2, 5, 1, "Service Pack 3", true, "WinXP (Service Pack 3)", true},
        {2, 5, 2, "Service Pack 2", true, "WinXP Pro x64 (Service Pack 2)", true},
        {2, 5, 2, "", false, "Windows 2003 Server", true},
        {2, 5, 3, "S", false, " (S)", false},
        {2, 6, 1, "Service Pack 1", true, "Vista (Service Pack 1)", true},
        {2, 6, 2, "", false, "Vista", true},
        {2, 3, 51, "Service Pack 5", false, "WinNT3.1 (Service Pack 5)", false},
        {2, 10, 0, "", true, "WinNT3.1", false},
        {1, 4, 0, "", false, "Win95", false},
        {1, 4, 10, " A ", false, "Win98", false},
        {1, 4, 90, " ", false, "WinME", false},
        {1, 5, 0, "x", false, "Win98", false},
        {1, 3, 95, "", false, "", false},
        {0, 3, 10, "Service Pack 1", false, "", false},
    };
    for (const auto& r : rows) {
        OsVersionRecord v{true, r.major, r.minor, r.platform, r.csd};
        v.csdVersion.resize(128, '\0');
        int asked = 0;
        EXPECT_EQ(ChooseWindowsVersionName(v, [&] { return ++asked, r.wow; }), r.expected) << r.major << "." << r.minor;
        EXPECT_EQ(asked, r.asksWow ? 1 : 0) << r.expected;
    }
    // A failed call names nothing; a service-pack field starting with NUL adds nothing.
    EXPECT_EQ(ChooseWindowsVersionName(OsVersionRecord{false, 5, 1, 2, "Service Pack 2"}, [] { return true; }), "");
    EXPECT_EQ(ChooseWindowsVersionName(OsVersionRecord{true, 5, 0, 2, std::string("\0SP9", 4)}, nullptr), "Win2K");
}

}  // namespace
}  // namespace nl
