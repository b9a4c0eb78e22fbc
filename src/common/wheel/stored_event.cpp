#include "common/wheel/stored_event.h"

namespace nl {

const char* VantageName(Vantage v) {
    static const char* const kNames[] = {"main", "analysis", "hook", "raw"};
    return kNames[static_cast<int>(v) & 3];
}

const char* InputSourceName(InputSource s) {
    static const char* const kNames[] = {"hardware", "injected", "system", "posted", "sent", "unknown", "raw", "lost"};
    return kNames[static_cast<int>(s) & 7];
}

InputSource SourceOfMessage(bool inSendMessage, std::optional<std::uint32_t> origin) {
    if (inSendMessage) return InputSource::Sent;
    if (!origin) return InputSource::Unknown;
    switch (*origin) {
        case 0: return InputSource::Posted;
        case 1: return InputSource::Hardware;
        case 2: return InputSource::Injected;
        case 4: return InputSource::System;
        default: return InputSource::Unknown;
    }
}

}  // namespace nl
