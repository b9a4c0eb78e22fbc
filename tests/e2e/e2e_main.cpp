// notchlog_e2e.exe: each test starts its own Notchlog.exe ($NOTCHLOG_EXE or
// the build folder's) and ends it.
#include <gtest/gtest.h>

#include "driver/driver.h"

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    // A run cut short may have left its settings in the prefix: start from the defaults.
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, nle2e::kDesktopKey, L"LogPixels");
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, nle2e::kDesktopKey, L"WheelScrollLines");
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, nle2e::kAppDefaultsKey, L"Version");
    return RUN_ALL_TESTS();
}
