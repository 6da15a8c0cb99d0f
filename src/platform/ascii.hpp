#pragma once

#include <string>
#include <string_view>

// Letter case in ASCII only: the core has no locale tables, and letters outside ASCII keep their case.
namespace platform {

constexpr char lower_ascii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

inline std::string lower_ascii(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) c = lower_ascii(c);
    return lower;
}

}  // namespace platform
