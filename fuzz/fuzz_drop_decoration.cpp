// Any bytes through the decoration filter: no crash, no separator of alternative wordings left,
// and never longer than its input.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "reading/text_cleaning.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const auto text = reading::DropDecoration(input);
    if (text.size() > input.size()) std::abort();
    if (text.find('|') != std::string_view::npos) std::abort();
    return 0;
}
