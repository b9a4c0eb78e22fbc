// Decisions for a file that lines are appended to: what goes in before the
// first new line, and where to cut the file back when a write falls short.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace nl {

// What is known of the file when it is opened: its size, its first bytes
// (the header's length plus two, or all of a shorter file) and its last byte.
struct FileEnds {
    std::uint64_t size = 0;
    std::string head;
    char last = '\0';
};

// The text to write before the first appended line: the header line for a
// new or empty file, a line break after a last line that has none, else
// nothing. No value when a header is asked for and the file's first line is
// something else: such a file is not written to.
inline std::optional<std::string> TextBeforeFirstLine(const FileEnds& file, const std::string& header) {
    if (file.size == 0) return header.empty() ? std::string() : header + "\r\n";
    if (!header.empty()) {
        const std::size_t lf = file.head.find('\n');
        const bool firstIsHeader =
            lf == std::string::npos
                ? file.size == file.head.size() && file.head == header  // the file is one line
                : file.head.substr(0, lf > 0 && file.head[lf - 1] == '\r' ? lf - 1 : lf) == header;
        if (!firstIsHeader) return std::nullopt;
    }
    return file.last == '\n' ? std::string() : std::string("\r\n");
}

// How much of `written`, the start of what was to be appended, ends with a
// whole line: after a failed or short write the file is cut back to there.
inline std::size_t WholeLinesLength(const std::string& written) {
    const std::size_t lf = written.rfind('\n');
    return lf == std::string::npos ? 0 : lf + 1;
}

}  // namespace nl
