// The program's run-time error: a number, a description, the component that
// raised it and the last system error code saved when it was raised.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace nl {

// The application title, the source of errors raised inside the program.
// Start-up sets it from the executable's version resource.
const std::string& AppTitle();
void SetAppTitle(const std::string& title);

// Error numbers raised inside the program.
constexpr std::int32_t kErrInvalidCall = 5;
constexpr std::int32_t kErrOverflow = 6;
constexpr std::int32_t kErrOutOfMemory = 7;
constexpr std::int32_t kErrClipboardBusy = 521;

class Error : public std::runtime_error {
public:
    Error(std::int32_t number, std::string description, std::string source,
          std::int32_t lastSystemError);

    std::int32_t Number() const { return number_; }
    const std::string& Description() const { return description_; }
    const std::string& Source() const { return source_; }
    std::int32_t LastSystemError() const { return lastSystemError_; }

private:
    std::int32_t number_;
    std::string description_;
    std::string source_;
    std::int32_t lastSystemError_;
};

// Raises the overflow error (6, "Overflow") with the program as its source
// and the last system error saved so far.
[[noreturn]] void RaiseOverflow();

// Raises an error of the program with the given number and description.
[[noreturn]] void Raise(std::int32_t number, const std::string& description);

}  // namespace nl
