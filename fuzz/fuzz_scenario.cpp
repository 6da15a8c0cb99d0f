// Any text as a scenario file: each line is a command, nothing, or refused with a ScenarioError.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "cli/scenario.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    for (int line = 1; !input.empty(); ++line) {
        const std::size_t end = input.find('\n');
        try {
            (void)cli::parse_line(input.substr(0, end), cli::Place{"fuzz.dz", line});
        } catch (const cli::ScenarioError&) {
        }
        input = end == std::string_view::npos ? std::string_view{} : input.substr(end + 1);
    }
    return 0;
}
