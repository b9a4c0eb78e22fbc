#include "common/wheel/device_names.h"

namespace nl {

DeviceNames::DeviceNames() {
    entries_.push_back(Entry{0, std::string()});
    byHandle_.emplace(0u, std::uint16_t{0});
}

std::uint16_t DeviceNames::Intern(std::uint32_t handle, const std::string& name) {
    if (const auto found = Find(handle)) return *found;
    // Past 65535 devices (never in practice) the newest handle takes the last slot.
    if (entries_.size() > 0xFFFF) {
        byHandle_.erase(entries_.back().handle);
        entries_.pop_back();
    }
    std::string clean = name;
    for (char& c : clean) {
        if (c == ',') c = ';';
        if (c == '\r' || c == '\n') c = ' ';
    }
    const auto index = static_cast<std::uint16_t>(entries_.size());
    entries_.push_back(Entry{handle, std::move(clean)});
    byHandle_.emplace(handle, index);
    return index;
}

std::optional<std::uint16_t> DeviceNames::Find(std::uint32_t handle) const {
    const auto it = byHandle_.find(handle);
    if (it == byHandle_.end()) return std::nullopt;
    return it->second;
}

}  // namespace nl
