#include "sim/transcript.hpp"

#include <utility>

namespace sim {

std::string quote(std::string_view text) {
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

void Transcript::add(std::string_view platform, std::string_view text) {
    std::string line;
    line.reserve(platform.size() + 2 + text.size());
    line.append(platform).append(": ").append(text);
    raw(std::move(line));
}

void Transcript::raw(std::string line) {
    if (sink_) {
        sink_(line);
        return;
    }
    lines_.push_back(std::move(line));
}

std::vector<std::string> Transcript::take() { return std::exchange(lines_, {}); }

}  // namespace sim
