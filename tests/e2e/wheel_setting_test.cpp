// The stored lines-per-notch setting changed for a wheel test and put back,
// on the real registry of this test's own prefix: exactly as it was stored
// (a page per notch's "-1" included, or no value at all), on every way out
// of the scope that changed it, an exception's included.
#include <gtest/gtest.h>

#include <stdexcept>

#include "driver/driver.h"
#include "system_info/wheel_setting.h"

namespace nle2e {
namespace {

const wchar_t* const kDesktop = L"Control Panel\\Desktop";

TEST(WheelSetting, PutBackExactlyOnEveryWayOut) {
    struct Row {
        const char* what;
        const wchar_t* found;  // nullptr: no value stored
        bool throws;
    } rows[] = {
        {"the default, the scope left as usual", L"3", false},
        {"an exception while a value is tried", L"3", true},
        {"a page per notch keeps its text", L"-1", true},
        {"no value stored: none again", nullptr, true},
    };
    ScopedValue keep(kDesktop, L"WheelScrollLines", std::wstring(L"3"));
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        HKEY key = nullptr;
        ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, kDesktop, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        if (r.found)
            ::RegSetValueExW(key, L"WheelScrollLines", 0, REG_SZ, reinterpret_cast<const BYTE*>(r.found),
                             static_cast<DWORD>((std::wcslen(r.found) + 1) * sizeof(wchar_t)));
        else
            ::RegDeleteValueW(key, L"WheelScrollLines");
        ::RegCloseKey(key);
        try {
            nl::WheelSettingChange change;
            EXPECT_EQ(change.Found(), r.found ? Narrow(r.found) : std::string());
            EXPECT_EQ(change.Set(7), "");
            EXPECT_EQ(nl::WheelSettingChange::Stored(), "7");
            if (r.throws) throw std::runtime_error("a failure while the value is tried");
        } catch (const std::runtime_error&) {
        }
        EXPECT_EQ(nl::WheelSettingChange::Stored(), r.found ? Narrow(r.found) : std::string());
    }
}

}  // namespace
}  // namespace nle2e
