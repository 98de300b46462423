#pragma once

// A KiCad reader needs one closed expression, then only the final line end; no quoted string spans lines.

#include <string_view>

namespace korvane::testing {

inline bool oneClosedExpression(std::string_view text) {
    int depth = 0;
    bool quoted = false;
    bool closed = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '\r' || c == '\n') {
                return false;
            }
            i += c == '\\' ? 1 : 0;
            quoted = c != '"';
        } else if (c == '"') {
            quoted = true;
        } else if (c == '(' || c == ')') {
            depth += c == '(' ? 1 : -1;
            if (depth < 0 || (depth == 0 && text.substr(i + 1) != "\r\n")) {
                return false;
            }
            closed = depth == 0;
        }
    }
    return closed;
}

}  // namespace korvane::testing
