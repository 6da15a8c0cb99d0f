// Any bytes through the decoration filter: no crash, no separator of alternative wordings left,
// never longer than its input, and the text the plain reference version makes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "reading/text_cleaning.hpp"
#include "support/reference_filters.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const auto text = reading::DropDecoration(input);
    if (text.size() > input.size()) std::abort();
    if (text.find('|') != std::string_view::npos) std::abort();
    if (text != reference::drop_decoration(std::string(input))) std::abort();
    return 0;
}
