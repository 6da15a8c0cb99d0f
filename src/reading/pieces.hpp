#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Cutting a reading text into the pieces the character speaks one at a time: a sentence or a line each.
// Positions are 1-based, as the reading's fields hold them; the marks are ASCII, so positions count bytes.
namespace reading {

// One piece of a text and where the reading goes after it.
struct Piece {
    std::int32_t start = 1;   // where the piece begins
    std::int32_t length = 0;  // how much of the text from `start` is spoken; 0 for a line break at `start`
    std::int32_t end = 0;     // where the mark that ends the piece begins, or the text's length without one
    // Where the following piece begins: one past the text when this piece runs to its end. A mark whose
    // blank is the last character stops at that blank, which the reading then finds silent.
    std::int32_t next = 0;
    // No mark follows and nothing but blanks, carriage returns and line feeds remains: nothing to say.
    bool silent = false;
};

// Remembers, for one text, where each mark next occurs, so that a whole reading searches every part of the
// text once per mark: a mark is looked for again only when the reading has gone past its last occurrence.
// A text that changes or a position that moves back starts the search afresh.
class PieceMarks {
public:
    static constexpr std::size_t kMarkCount = 10;

    // The piece of `text` that begins at `start`, which must lie within the text (1 to its length).
    Piece cut(std::string_view text, std::int32_t start);
    void forget() { known_ = false; }

private:
    bool same_text(std::string_view text) const;
    void search_all(std::string_view text, std::size_t from);

    bool known_ = false;
    // Which text the occurrences belong to. A reading's text is not edited while it is read, but it is
    // replaced, often in the same buffer, so its ends and size are kept as well as its address.
    const char* data_ = nullptr;
    std::size_t size_ = 0;
    std::uint64_t ends_ = 0;
    std::int32_t last_start_ = 0;
    Piece last_;
    std::array<std::size_t, kMarkCount> next_{};  // 0-based, std::string_view::npos when none is left
};

// The piece beginning at `start`, without remembering anything.
Piece cut_piece(std::string_view text, std::int32_t start);

// Every piece of a whole reading, as the character is given them to speak: an empty piece becomes a blank.
std::vector<std::string> reading_pieces(std::string_view text);

}  // namespace reading
