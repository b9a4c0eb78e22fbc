// Reading a wheel trace from a file: the file is streamed through the pure
// loader twice, a megabyte at a time, while others may go on writing it;
// and writing a replay's own trace. Runs on any thread: it calls no Api
// wrapper.
#pragma once

#include <windows.h>

#include <string>

#include "common/replay/replay_trace.h"
#include "win32/raii.h"

namespace nl {

// The chosen rows of the trace at `path`; a file that cannot be opened or
// read gives the reason as the load's problem ("cannot open PATH: REASON").
TraceLoad LoadTraceFile(const std::wstring& path, const TraceChoice& choice);

// A replay's trace file: a line per event sent, written once the replay has
// ended (its positions are known only then), a buffer at a time.
class TraceFileWriter {
public:
    // Empty on success (or with no path: nothing is written), else why the
    // file cannot be written.
    std::string Open(const std::wstring& path);
    bool Active() const { return static_cast<bool>(file_); }
    std::string& Buffer() { return buffer_; }
    // Writes the buffer once it holds `atLeast` bytes.
    void Flush(std::size_t atLeast = 0);

private:
    KernelHandle file_;
    std::string buffer_;
};

}  // namespace nl
