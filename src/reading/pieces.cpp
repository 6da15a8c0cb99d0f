#include "reading/pieces.hpp"

#include <algorithm>
#include <array>
#include <cassert>
#include <cstddef>

namespace reading {

namespace {

// A mark, the characters of it that end its piece, and where after its first character the next piece
// begins. A line break is not spoken, so its piece stops before the carriage return and the next one begins
// at the line feed; after quotes the next piece begins at the blank.
struct Mark {
    std::string_view text;
    std::int32_t kept;
    std::int32_t next;
};

// No two of them can begin at the same position, so the nearest mark is the first position where one begins.
constexpr auto kMarks = std::to_array<Mark>({
    {"\r\n", 0, 1},
    {". ", 2, 2},
    {"? ", 2, 2},
    {"! ", 2, 2},
    {".) ", 3, 3},
    {"?) ", 3, 3},
    {"!) ", 3, 3},
    {".\"\" ", 3, 3},
    {"?\"\" ", 3, 3},
    {"!\"\" ", 3, 3},
});

// The bytes a mark can begin with, so that every other byte is passed over at a glance.
constexpr std::array<bool, 256> kMarkStart = [] {
    std::array<bool, 256> table{};
    for (const Mark& mark : kMarks) table[static_cast<unsigned char>(mark.text[0])] = true;
    return table;
}();

const Mark* mark_at(std::string_view text, std::size_t pos) {
    const std::string_view rest = text.substr(pos);
    for (const Mark& mark : kMarks)
        if (rest.starts_with(mark.text)) return &mark;
    return nullptr;
}

bool is_silent(char c) { return c == ' ' || c == '\r' || c == '\n'; }

}  // namespace

Piece cut_piece(std::string_view text, std::int32_t start) {
    assert(start >= 1 && static_cast<std::size_t>(start) <= text.size() && "a piece begins inside its text");
    const auto length = static_cast<std::int32_t>(text.size());
    Piece piece;
    piece.start = start;
    for (auto pos = static_cast<std::size_t>(start - 1); pos < text.size(); ++pos) {
        if (!kMarkStart[static_cast<unsigned char>(text[pos])]) continue;
        if (const Mark* mark = mark_at(text, pos)) {
            const auto q = static_cast<std::int32_t>(pos) + 1;
            piece.end = q;
            piece.length = q - start + mark->kept;
            piece.next = std::min(q + mark->next, length);
            return piece;
        }
    }
    piece.end = length;
    piece.length = length - start + 1;
    piece.next = length + 1;
    const auto rest = text.substr(static_cast<std::size_t>(start - 1));
    piece.silent = std::all_of(rest.begin(), rest.end(), is_silent);
    return piece;
}

std::vector<std::string> reading_pieces(std::string_view text) {
    std::vector<std::string> pieces;
    const auto length = static_cast<std::int32_t>(text.size());
    for (std::int32_t pos = 1; pos <= length;) {
        const Piece piece = cut_piece(text, pos);
        if (piece.silent) break;
        std::string spoken(text.substr(static_cast<std::size_t>(pos - 1), static_cast<std::size_t>(piece.length)));
        pieces.push_back(spoken.empty() ? " " : std::move(spoken));
        pos = piece.next;
    }
    return pieces;
}

}  // namespace reading
