// The program's run-time error: a number, a description, the component that
// raised it and the last system error code saved when it was raised.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace nl {

// Error numbers raised inside the program.
constexpr std::int32_t kErrInvalidCall = 5;
constexpr std::int32_t kErrOverflow = 6;
constexpr std::int32_t kErrOutOfMemory = 7;
constexpr std::int32_t kErrClipboardBusy = 521;

class Error : public std::runtime_error {
public:
    Error(std::int32_t number, std::string description, std::string source, std::int32_t lastSystemError);

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

// An error of the program (its source is the application title) with the
// last system error saved so far.
Error ProgramError(std::int32_t number, const std::string& description);
[[noreturn]] void Raise(std::int32_t number, const std::string& description);
// Raises the overflow error (6, "Overflow").
[[noreturn]] void RaiseOverflow();

// The system's last error code, saved after every platform call (the Win32
// layer's Api wrapper writes it) and carried by each error; one per thread.
std::int32_t LastSystemError();
void SaveLastSystemError(std::int32_t code);

}  // namespace nl
