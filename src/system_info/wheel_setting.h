// The lines-per-notch setting as the system stores it, changed for a while
// and put back exactly as it was (its text in the registry included, so
// that "-1", a page per notch, stays "-1", and the system's value as it
// was). Programs that start from then on
// read the value set; running ones are told with WM_SETTINGCHANGE (a
// program that read it once at its start keeps its old value: that is what
// the wheel test's profile tells apart). Safe on any thread; never raises.
#pragma once

#include <optional>
#include <string>

namespace nl {

class WheelSettingChange {
public:
    // Remembers the setting as it is stored now.
    WheelSettingChange();
    // Puts it back (unless that was done already): every way out of a run
    // that changed it restores it.
    ~WheelSettingChange();
    WheelSettingChange(const WheelSettingChange&) = delete;
    WheelSettingChange& operator=(const WheelSettingChange&) = delete;

    // The stored text found ("3", "-1"; "" where there was none).
    const std::string& Found() const { return found_; }
    // Makes `lines` (-1: a page per notch) the setting; empty, or why not.
    std::string Set(int lines);
    // Puts the setting back as it was stored; empty, or why it could not be.
    std::string PutBack();
    // The stored text now ("" where there is none).
    static std::string Stored();

private:
    std::string found_;
    bool existed_ = false;
    unsigned liveFound_ = 3;  // the system's value when the change began
    bool changed_ = false;
};

}  // namespace nl
