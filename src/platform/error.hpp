#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace platform {

// The one way trouble outside us is reported: every platform call may throw this.
struct PlatformError : std::runtime_error {
    PlatformError(std::int32_t error_number, const std::string& description)
        : std::runtime_error(description), number(error_number) {}
    std::int32_t number;  // 32 bits on every build, as the platform reports it; the description is what().
};

// "429 ActiveX component can't create object": the number in decimal, a blank, the description.
inline std::string error_text(const PlatformError& e) { return std::to_string(e.number) + " " + e.what(); }

}  // namespace platform
