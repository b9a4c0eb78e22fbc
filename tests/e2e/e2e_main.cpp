// Entry point of notchlog_e2e.exe. Each test starts its own Notchlog.exe (a
// suite may share one instance between tests that leave it as they found
// it); the path comes from NOTCHLOG_EXE or the build folder.
#include <gtest/gtest.h>

#include "driver/driver.h"

namespace {
// A run that was cut short may have left changed settings in the prefix;
// every suite but the ones that change them wants the defaults.
class DefaultScreenSettings : public testing::Environment {
public:
    void SetUp() override {
        nle2e::DeleteUserValue(nle2e::kDesktopKey, nle2e::kLogPixels);
        // Likewise a lines-per-notch setting and a Windows version that a
        // cut-short run did not put back: the system defaults apply (3 lines).
        nle2e::DeleteUserValue(nle2e::kDesktopKey, L"WheelScrollLines");
        nle2e::DeleteUserValue(L"Software\\Wine\\AppDefaults\\Notchlog.exe", L"Version");
    }
};
}  // namespace

int wmain(int argc, wchar_t** argv) {
    testing::InitGoogleTest(&argc, argv);
    testing::AddGlobalTestEnvironment(new DefaultScreenSettings);
    return RUN_ALL_TESTS();
}
