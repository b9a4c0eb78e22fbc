// The raw input devices seen so far, by index: a stored event keeps the
// index (two bytes) instead of the device's handle and name.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace nl {

class DeviceNames {
public:
    DeviceNames();  // index 0: handle 0, without a name
    // The device's index, adding it with this name when its handle is new.
    // Commas in the name become semicolons, line breaks blanks.
    std::uint16_t Intern(std::uint32_t handle, const std::string& name);
    std::optional<std::uint16_t> Find(std::uint32_t handle) const;
    // The device's index; the first time its handle is seen, it is added
    // with the name nameOf() gives (asked for then only).
    template <typename NameOf>
    std::uint16_t IndexOf(std::uint32_t handle, NameOf&& nameOf) {
        if (const auto found = Find(handle)) return *found;
        return Intern(handle, nameOf());
    }
    // An unknown index gives index 0's.
    std::uint32_t Handle(std::uint16_t index) const { return At(index).handle; }
    const std::string& Name(std::uint16_t index) const { return At(index).name; }

private:
    struct Entry {
        std::uint32_t handle;
        std::string name;
    };
    const Entry& At(std::uint16_t index) const { return index < entries_.size() ? entries_[index] : entries_[0]; }
    std::vector<Entry> entries_;
    std::unordered_map<std::uint32_t, std::uint16_t> byHandle_;
};

}  // namespace nl
