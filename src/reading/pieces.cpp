#include "reading/pieces.hpp"

#include <algorithm>
#include <cassert>
#include <cstring>

namespace reading {

namespace {

constexpr std::size_t kNone = std::string_view::npos;

// A mark, the characters of it that end its piece, and where after its first character the next piece
// begins. A line break is not spoken, so its piece stops before the carriage return and the next one begins
// at the line feed; after quotes the next piece begins at the blank.
struct Mark {
    std::string_view text;
    std::int32_t kept;
    std::int32_t next;
};

// In the order they are looked for. No two of them can begin at the same position.
constexpr std::array<Mark, PieceMarks::kMarkCount> kMarks{{
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
}};

bool is_silent(char c) { return c == ' ' || c == '\r' || c == '\n'; }

// A cheap sign of a text's identity: its first and last bytes.
std::uint64_t ends_of(std::string_view text) {
    constexpr std::size_t kSpan = 32;
    std::uint64_t h = 1469598103934665603ULL;
    auto mix = [&h](std::string_view part) {
        for (const unsigned char c : part) h = (h ^ c) * 1099511628211ULL;
    };
    mix(text.substr(0, kSpan));
    mix(text.substr(text.size() - std::min(text.size(), kSpan)));
    return h;
}

// The piece from the nearest of the marks' occurrences (0-based, kNone for none) at or after `start`.
Piece piece_from(std::string_view text, std::int32_t start, const std::array<std::size_t, PieceMarks::kMarkCount>& at) {
    const auto length = static_cast<std::int32_t>(text.size());
    Piece piece;
    piece.start = start;
    std::size_t nearest = kNone;
    std::size_t which = 0;
    for (std::size_t k = 0; k < at.size(); ++k) {
        if (at[k] < nearest) {
            nearest = at[k];
            which = k;
        }
    }
    if (nearest == kNone) {
        piece.end = length;
        piece.length = length - start + 1;
        piece.next = length + 1;
        const auto rest = text.substr(static_cast<std::size_t>(start - 1));
        piece.silent = std::all_of(rest.begin(), rest.end(), is_silent);
        return piece;
    }
    const auto q = static_cast<std::int32_t>(nearest) + 1;
    piece.end = q;
    piece.length = q - start + kMarks[which].kept;
    piece.next = std::min(q + kMarks[which].next, length);
    return piece;
}

}  // namespace

bool PieceMarks::same_text(std::string_view text) const {
    if (!known_ || text.data() != data_ || text.size() != size_ || ends_of(text) != ends_) return false;
    for (std::size_t k = 0; k < kMarks.size(); ++k) {
        if (next_[k] != kNone && text.compare(next_[k], kMarks[k].text.size(), kMarks[k].text) != 0) return false;
    }
    return true;
}

void PieceMarks::search_all(std::string_view text, std::size_t from) {
    for (std::size_t k = 0; k < kMarks.size(); ++k) next_[k] = text.find(kMarks[k].text, from);
    known_ = true;
    data_ = text.data();
    size_ = text.size();
    ends_ = ends_of(text);
}

Piece PieceMarks::cut(std::string_view text, std::int32_t start) {
    assert(start >= 1 && static_cast<std::size_t>(start) <= text.size() && "a piece begins inside its text");
    const auto from = static_cast<std::size_t>(start - 1);
    if (!same_text(text) || start < last_start_) {
        search_all(text, from);
    } else if (start == last_start_) {
        return last_;  // The same piece again: resumed, or asked whether it is silent.
    } else {
        for (std::size_t k = 0; k < kMarks.size(); ++k) {
            if (next_[k] != kNone && next_[k] < from) next_[k] = text.find(kMarks[k].text, from);
        }
    }
    last_start_ = start;
    last_ = piece_from(text, start, next_);
    return last_;
}

Piece cut_piece(std::string_view text, std::int32_t start) {
    PieceMarks marks;
    return marks.cut(text, start);
}

std::vector<std::string> reading_pieces(std::string_view text) {
    std::vector<std::string> pieces;
    PieceMarks marks;
    const auto length = static_cast<std::int32_t>(text.size());
    for (std::int32_t pos = 1; pos <= length;) {
        const Piece piece = marks.cut(text, pos);
        if (piece.silent) break;
        std::string spoken(text.substr(static_cast<std::size_t>(pos - 1), static_cast<std::size_t>(piece.length)));
        pieces.push_back(spoken.empty() ? " " : std::move(spoken));
        pos = piece.next;
    }
    return pieces;
}

}  // namespace reading
