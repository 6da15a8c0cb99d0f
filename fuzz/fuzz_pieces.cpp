// Any bytes cut into pieces as a reading cuts them: every piece lies inside the text, each reading step moves
// on, and the pieces with their gaps put back together give the text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "reading/pieces.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto length = static_cast<std::int32_t>(text.size());
    std::string rebuilt;
    for (std::int32_t pos = 1; pos <= length;) {
        const reading::Piece piece = reading::cut_piece(text, pos);
        if (piece.start != pos || piece.length < 0 || piece.start - 1 + piece.length > length) std::abort();
        if (piece.next <= pos || piece.next > length + 1) std::abort();
        if (piece.silent) {
            rebuilt += text.substr(static_cast<std::size_t>(pos - 1));
            break;
        }
        rebuilt += text.substr(static_cast<std::size_t>(pos - 1), static_cast<std::size_t>(piece.next - pos));
        pos = piece.next;
    }
    if (rebuilt != text) std::abort();
    return 0;
}
