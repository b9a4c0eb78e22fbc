#include "common/base/error.h"

#include "common/base/app_info.h"

namespace nl {

namespace {
// Each thread keeps its own, as the system does.
thread_local std::int32_t g_lastSystemError = 0;
}

std::int32_t LastSystemError() { return g_lastSystemError; }
void SaveLastSystemError(std::int32_t code) { g_lastSystemError = code; }

Error::Error(std::int32_t number, std::string description, std::string source, std::int32_t lastSystemError)
    : std::runtime_error(description),
      number_(number),
      description_(std::move(description)),
      source_(std::move(source)),
      lastSystemError_(lastSystemError) {}

Error ProgramError(std::int32_t number, const std::string& description) {
    return Error(number, description, NL_APP_TITLE, LastSystemError());
}

void Raise(std::int32_t number, const std::string& description) { throw ProgramError(number, description); }

void RaiseOverflow() { Raise(kErrOverflow, "Overflow"); }

}  // namespace nl
