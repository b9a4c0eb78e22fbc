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

// The system's value; `lasting` also writes it where programs started
// later read it (the registry; some systems otherwise keep a session-only
// copy that shadows the registry until they restart), whose text is then
// written over as it should read.
void SetLive(UINT lines, bool lasting) {
    ::SystemParametersInfoA(SPI_SETWHEELSCROLLLINES, lines, nullptr, lasting ? SPIF_UPDATEINIFILE : 0);
}

UINT LiveValue() {
    UINT lines = 3;
    if (!::SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0)) lines = 3;
    return lines;
}

UINT ValueOf(const std::string& text) { return static_cast<UINT>(std::atoi(text.c_str())); }  // "-1": a page

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

WheelSettingChange::WheelSettingChange() : found_(Stored()), existed_(!found_.empty()), liveFound_(LiveValue()) {}

WheelSettingChange::~WheelSettingChange() { PutBack(); }

std::string WheelSettingChange::Set(int lines) {
    changed_ = true;
    SetLive(lines == -1 ? WHEEL_PAGESCROLL : static_cast<UINT>(lines), true);
    // Then the text itself, as the control panel writes it: the system's own
    // call stores a page per notch as 4294967295, which is read back as
    // another number.
    const std::string problem = Store(std::to_string(lines).c_str());
    Announce();
    return problem;
}

std::string WheelSettingChange::PutBack() {
    if (!changed_) return std::string();
    changed_ = false;
    // The system's value as it was: where it agreed with the stored text,
    // lasting (which also clears a session-only copy the change made);
    // else for this session only, as it was found.
    const bool agreed = liveFound_ == (existed_ ? ValueOf(found_) : 3u);
    if (agreed) SetLive(liveFound_, true);
    std::string problem = Store(existed_ ? found_.c_str() : nullptr);
    if (problem.empty() && Stored() != found_) problem = "it reads " + Stored();
    if (!agreed) SetLive(liveFound_, false);
    Announce();
    return problem;
}

}  // namespace nl
