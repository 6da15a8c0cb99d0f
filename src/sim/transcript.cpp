#include "sim/transcript.hpp"

#include <utility>

#include "platform/ascii.hpp"

namespace sim {

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

std::string plain_caption(std::string_view caption) {
    std::string out;
    for (const char c : caption)
        if (c != '&') out += platform::lower_ascii(c);
    return out;
}

}  // namespace sim
