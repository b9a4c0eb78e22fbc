#include "common/error.h"

#include "common/last_error.h"

namespace nl {

namespace {
std::string& TitleStore() {
    static std::string title;
    return title;
}
}  // namespace

const std::string& AppTitle() { return TitleStore(); }
void SetAppTitle(const std::string& title) { TitleStore() = title; }

Error::Error(std::int32_t number, std::string description, std::string source,
             std::int32_t lastSystemError)
    : std::runtime_error(description),
      number_(number),
      description_(std::move(description)),
      source_(std::move(source)),
      lastSystemError_(lastSystemError) {}

void RaiseOverflow() { Raise(kErrOverflow, "Overflow"); }

void Raise(std::int32_t number, const std::string& description) {
    throw Error(number, description, AppTitle(), LastSystemError());
}

}  // namespace nl
