#pragma once

#include <string>
#include <string_view>

namespace platform {

// A text as transcripts and state descriptions show it: in double quotes, with \\, \", \r, \n and
// \t escaped.
inline std::string quote(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 2);
    out += '"';
    for (char c : text) {
        switch (c) {
            case '\\': out += "\\\\"; break;
            case '"': out += "\\\""; break;
            case '\r': out += "\\r"; break;
            case '\n': out += "\\n"; break;
            case '\t': out += "\\t"; break;
            default: out += c;
        }
    }
    out += '"';
    return out;
}

}  // namespace platform
