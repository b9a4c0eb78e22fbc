// Reading a wheel trace from a file: the file is streamed through the pure
// loader twice, a megabyte at a time, while others may go on writing it.
// Runs on any thread: it calls no Api wrapper.
#pragma once

#include <string>

#include "common/replay/replay_trace.h"

namespace nl {

// The chosen rows of the trace at `path`; a file that cannot be opened or
// read gives the reason as the load's problem ("cannot open PATH: REASON").
TraceLoad LoadTraceFile(const std::wstring& path, const TraceChoice& choice);

}  // namespace nl
