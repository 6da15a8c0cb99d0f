#pragma once

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

// The piece of `text` that begins at `start`, which must lie within the text (1 to its length). It looks at
// the bytes of the piece and its mark only, so a whole reading looks at each byte of its text once.
Piece cut_piece(std::string_view text, std::int32_t start);

// Every piece of a whole reading, as the character is given them to speak: an empty piece becomes a blank.
std::vector<std::string> reading_pieces(std::string_view text);

}  // namespace reading
