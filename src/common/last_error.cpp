#include "common/last_error.h"

namespace nl {
namespace {
std::int32_t g_lastSystemError = 0;  // GUI thread only
}

std::int32_t LastSystemError() { return g_lastSystemError; }
void SaveLastSystemError(std::int32_t code) { g_lastSystemError = code; }

}  // namespace nl
