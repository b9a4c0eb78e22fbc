// Entry point of notchlog_e2e.exe. Each test starts its own Notchlog.exe (a
// suite may share one instance between tests that leave it as they found
// it); the path comes from NOTCHLOG_EXE or the build folder.
#include <gtest/gtest.h>

#include "driver/driver.h"

namespace {
// A run that was cut short may have left a changed screen resolution in the
// prefix; every suite but the one that changes it wants the default.
class DefaultScreenSettings : public testing::Environment {
public:
    void SetUp() override { nle2e::DeleteUserValue(nle2e::kDesktopKey, nle2e::kLogPixels); }
};
}  // namespace

int wmain(int argc, wchar_t** argv) {
    testing::InitGoogleTest(&argc, argv);
    testing::AddGlobalTestEnvironment(new DefaultScreenSettings);
    return RUN_ALL_TESTS();
}
