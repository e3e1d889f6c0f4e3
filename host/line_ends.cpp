#include "line_ends.h"

#include <algorithm>

namespace tvzx::host {

std::string withLineEnds(std::string_view text, std::string_view lineEnd) {
    std::string out;
    out.reserve(text.size() + lineEnd.size());
    while (!text.empty()) {
        const auto found = std::find_if(text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; });
        const auto end = static_cast<std::size_t>(found - text.begin());
        out.append(text.substr(0, end));
        if (found == text.end()) break;
        out += lineEnd;
        const bool crlf = text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n';
        text.remove_prefix(end + (crlf ? 2 : 1));
    }
    return out;
}

}  // namespace tvzx::host
