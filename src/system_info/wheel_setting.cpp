#include "system_info/wheel_setting.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>

namespace nl {

namespace {
const char* const kDesktopKey = "Control Panel\\Desktop";
const char* const kValueName = "WheelScrollLines";

// Tells the running programs (bounded: a hung window does not hold the run).
void Announce() {
    DWORD_PTR result = 0;
    ::SendMessageTimeoutA(HWND_BROADCAST, WM_SETTINGCHANGE, SPI_SETWHEELSCROLLLINES,
                          reinterpret_cast<LPARAM>("WheelScrollLines"), SMTO_ABORTIFHUNG, 1000, &result);
}

// The live value for the system (the registry's text is another matter).
void SetLive(int lines) {
    ::SystemParametersInfoA(SPI_SETWHEELSCROLLLINES, lines == -1 ? WHEEL_PAGESCROLL : static_cast<UINT>(lines), nullptr, 0);
}

std::string WhyNot(LONG error) { return "the registry refused it (error " + std::to_string(error) + ")"; }

// Writes the value's text, or deletes the value (`text` null).
std::string Store(const char* text) {
    HKEY key = nullptr;
    LONG error = ::RegCreateKeyExA(HKEY_CURRENT_USER, kDesktopKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr);
    if (error != ERROR_SUCCESS) return WhyNot(error);
    error = text ? ::RegSetValueExA(key, kValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                                    static_cast<DWORD>(std::strlen(text) + 1))
                 : ::RegDeleteValueA(key, kValueName);
    ::RegCloseKey(key);
    if (error != ERROR_SUCCESS && !(text == nullptr && error == ERROR_FILE_NOT_FOUND)) return WhyNot(error);
    return std::string();
}
}  // namespace

std::string WheelSettingChange::Stored() {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, kDesktopKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return std::string();
    char text[64] = {};
    DWORD size = sizeof text - 1, type = 0;
    const LONG error = ::RegQueryValueExA(key, kValueName, nullptr, &type, reinterpret_cast<BYTE*>(text), &size);
    ::RegCloseKey(key);
    if (error != ERROR_SUCCESS || type != REG_SZ) return std::string();
    return std::string(text);
}

WheelSettingChange::WheelSettingChange() : found_(Stored()), existed_(!found_.empty()) {}

WheelSettingChange::~WheelSettingChange() { PutBack(); }

std::string WheelSettingChange::Set(int lines) {
    changed_ = true;
    // The text itself, as the control panel writes it: the system's own
    // call stores a page per notch as 4294967295, which is read back as
    // another number.
    const std::string problem = Store(std::to_string(lines).c_str());
    if (problem.empty()) {
        SetLive(lines);  // the stored text stays as written: no SPIF_UPDATEINIFILE
        Announce();
    }
    return problem;
}

std::string WheelSettingChange::PutBack() {
    if (!changed_) return std::string();
    changed_ = false;
    std::string problem = Store(existed_ ? found_.c_str() : nullptr);
    if (problem.empty() && Stored() != found_) problem = "it reads " + Stored();
    SetLive(existed_ ? std::atoi(found_.c_str()) : 3);
    Announce();
    return problem;
}

}  // namespace nl
