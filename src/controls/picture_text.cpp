#include "controls/picture_text.h"

namespace nl {

std::vector<std::string> SplitCrLf(const std::string& text) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (;;) {
        const std::size_t at = text.find("\r\n", start);
        if (at == std::string::npos) {
            out.push_back(text.substr(start));
            return out;
        }
        out.push_back(text.substr(start, at - start));
        start = at + 2;
    }
}

void PictureText::Print(const std::string& text) {
    for (auto& line : SplitCrLf(text)) lines_.push_back(std::move(line));
}

}  // namespace nl
