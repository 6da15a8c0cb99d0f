// Any bytes through the HTML filter: no crash, no leftover tag, nothing that speech would split, only
// well-formed UTF-8 for the voice, whatever bytes came in, and the text the plain reference version makes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "reading/text_cleaning.hpp"
#include "support/reference_filters.hpp"

namespace {

// Whether `text` is well-formed UTF-8: no stray continuation byte, no overlong form, no surrogate,
// nothing above U+10FFFF.
bool well_formed_utf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3
                                               : lead >= 0xF0 && lead <= 0xF4   ? 4
                                                                                : 0;
        if (length == 0 || i + length > text.size()) return false;
        char32_t code = length == 1 ? lead : lead & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            code = (code << 6) | (next & 0x3F);
        }
        constexpr char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
        if (code < kLeast[length] || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) return false;
        i += length;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const auto text = reading::HtmlToText(input);
    for (unsigned char c : text) {
        if (c == '|' || c == '<') std::abort();
    }
    if (!well_formed_utf8(text)) std::abort();
    if (text != reference::html_to_text(std::string(input))) std::abort();
    return 0;
}
