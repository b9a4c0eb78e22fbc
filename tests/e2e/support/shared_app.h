// A test suite whose tests share one Notchlog: started before the suite's
// first test, closed after its last. The tests leave it as they found it.
#pragma once

#include <gtest/gtest.h>

#include <optional>

#include "driver/driver.h"

namespace nle2e {

template <typename Suite>
class SharedNotchlogSuite : public testing::Test {
protected:
    static void SetUpTestSuite() { app_.emplace(Notchlog::Launch()); }
    static void TearDownTestSuite() {
        if (app_) app_->Close();
        app_.reset();
    }
    Notchlog& App() const { return *app_; }
    HWND Main() const { return app_->Main(); }

    static inline std::optional<Notchlog> app_;
};

}  // namespace nle2e
