// Any bytes through the HTML filter: no crash, no leftover tag, nothing that speech would split.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "reading/text_cleaning.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const auto text = reading::HtmlToText(input);
    for (unsigned char c : text) {
        if (c == '|' || c == '<' || c > 0x7E) std::abort();
    }
    return 0;
}
