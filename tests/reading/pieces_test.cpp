#include "reading/pieces.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace {

using reading::cut_piece;
using reading::Piece;
using reading::reading_pieces;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

struct MarkCase {
    std::string text;
    std::string first;  // the first piece as spoken
    std::int32_t next;  // where the second piece begins
    std::string second;
};

// Each mark ends its piece where it should and hands the rest on. "Ab" puts the mark at position 3.
TEST(Pieces, EachMarkEndsItsPieceAndStartsTheNext) {
    const std::vector<MarkCase> cases{
        {"Ab\r\nCd", "Ab", 4, "\nCd"},       {"Ab. Cd", "Ab. ", 5, "Cd"},         {"Ab? Cd", "Ab? ", 5, "Cd"},
        {"Ab! Cd", "Ab! ", 5, "Cd"},         {"Ab.) Cd", "Ab.) ", 6, "Cd"},       {"Ab?) Cd", "Ab?) ", 6, "Cd"},
        {"Ab!) Cd", "Ab!) ", 6, "Cd"},       {"Ab.\"\" Cd", "Ab.\"\"", 6, " Cd"}, {"Ab?\"\" Cd", "Ab?\"\"", 6, " Cd"},
        {"Ab!\"\" Cd", "Ab!\"\"", 6, " Cd"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const Piece piece = cut_piece(c.text, 1);
        EXPECT_EQ(piece.end, 3);
        EXPECT_EQ(piece.next, c.next);
        EXPECT_EQ(c.text.substr(0, static_cast<std::size_t>(piece.length)), c.first);
        EXPECT_THAT(reading_pieces(c.text), ElementsAre(c.first, c.second));
    }
}

TEST(Pieces, EarliestMarkWinsWhateverItsRank) {
    // The CR LF is looked for first but comes last.
    EXPECT_THAT(reading_pieces("Who? Me! Yes.\r\nGood"), ElementsAre("Who? ", "Me! ", "Yes.", "\nGood"));
}

TEST(Pieces, TextWithoutMarksIsOnePiece) {
    EXPECT_THAT(reading_pieces("See you at noon"), ElementsAre("See you at noon"));
    const Piece piece = cut_piece("See you at noon", 5);
    EXPECT_EQ(piece.length, 11);
    EXPECT_EQ(piece.end, 15);
    EXPECT_EQ(piece.next, 16);
    EXPECT_FALSE(piece.silent);
}

TEST(Pieces, MarksWithoutTheirBlankDoNotCut) {
    EXPECT_THAT(reading_pieces("Pi is 3.14 or so"), ElementsAre("Pi is 3.14 or so"));
    EXPECT_THAT(reading_pieces("See e.g.the list!Now.\"\"x"), ElementsAre("See e.g.the list!Now.\"\"x"));
    EXPECT_THAT(reading_pieces("Two  blanks.  Here"), ElementsAre("Two  blanks. ", " Here"));
    // A lone carriage return or line feed is not a line break.
    EXPECT_THAT(reading_pieces("a\rb\nc"), ElementsAre("a\rb\nc"));
}

TEST(Pieces, MarkAtTheVeryEndEndsTheReadingAfterItsPiece) {
    const std::string text = "Hello there. ";
    const Piece piece = cut_piece(text, 1);
    EXPECT_EQ(piece.length, 13);
    EXPECT_EQ(piece.next, 13);  // held at the end of the text, on the mark's own blank
    EXPECT_TRUE(cut_piece(text, 13).silent);
    EXPECT_THAT(reading_pieces(text), ElementsAre("Hello there. "));
    EXPECT_THAT(reading_pieces("Hello.\r\n"), ElementsAre("Hello."));
    EXPECT_THAT(reading_pieces("He said \"no.\"\" "), ElementsAre("He said \"no.\"\""));
}

TEST(Pieces, LineBreakAtTheStartIsAnEmptyPieceSpokenAsBlank) {
    const Piece piece = cut_piece("\r\nNext line", 1);
    EXPECT_EQ(piece.length, 0);
    EXPECT_EQ(piece.next, 2);
    EXPECT_THAT(reading_pieces("\r\nNext line"), ElementsAre(" ", "\nNext line"));
    // Blank lines inside the text are kept as the pieces they always were.
    EXPECT_THAT(reading_pieces("One\r\n\r\n\r\nTwo"), ElementsAre("One", "\n", "\n", "\nTwo"));
}

// The last word after the last mark is said; what holds only blanks and line breaks is not.
TEST(Pieces, ReadingNeverDropsItsLastWord) {
    EXPECT_THAT(reading_pieces("Thanks. J"), ElementsAre("Thanks. ", "J"));
    EXPECT_THAT(reading_pieces("Regards\r\nJ"), ElementsAre("Regards", "\nJ"));
    EXPECT_THAT(reading_pieces("J"), ElementsAre("J"));
    EXPECT_THAT(reading_pieces("Bye.   "), ElementsAre("Bye. "));
    // Only what follows the last mark counts: a line of blanks before it is a piece like any other.
    EXPECT_THAT(reading_pieces("Bye.\r\n \r\n"), ElementsAre("Bye.", "\n "));
    EXPECT_THAT(reading_pieces("Bye. \t"), ElementsAre("Bye. ", "\t"));
    EXPECT_THAT(reading_pieces(""), IsEmpty());
    EXPECT_THAT(reading_pieces(" "), IsEmpty());
    EXPECT_THAT(reading_pieces("\n"), IsEmpty());
}

// Texts drawn from the characters that make up marks, so that marks touch, overlap and end texts.
std::string random_text(std::mt19937& random, std::size_t size) {
    static constexpr std::string_view kAlphabet = "ab  ..?!?!))\"\"\r\n";
    std::uniform_int_distribution<std::size_t> pick(0, kAlphabet.size() - 1);
    std::string text;
    for (std::size_t i = 0; i < size; ++i) text += kAlphabet[pick(random)];
    return text;
}

// The nearest occurrence of any mark, each looked for from the piece's start, as the reading is defined;
// positions are 0-based here.
std::size_t nearest_mark(const std::string& text, std::size_t from) {
    static const std::vector<std::string> kMarkTexts{"\r\n", ". ", "? ", "! ", ".) ", "?) ", "!) ",
                                                     ".\"\" ", "?\"\" ", "!\"\" "};
    std::size_t nearest = std::string::npos;
    for (const auto& mark : kMarkTexts) nearest = std::min(nearest, text.find(mark, from));
    return nearest;
}

// The pieces of a reading, each with the gap to the next, put back together give the text, and every piece
// ends at the nearest mark.
TEST(Pieces, PiecesOfAReadingCoverTheTextAndEndAtTheNearestMark) {
    std::mt19937 random(7);
    for (int round = 0; round < 400; ++round) {
        const std::string text = random_text(random, 1 + static_cast<std::size_t>(round % 60));
        SCOPED_TRACE(::testing::PrintToString(text));
        std::string rebuilt;
        const auto length = static_cast<std::int32_t>(text.size());
        std::int32_t pos = 1;
        while (pos <= length) {
            const Piece piece = cut_piece(text, pos);
            const std::size_t mark = nearest_mark(text, static_cast<std::size_t>(pos - 1));
            ASSERT_EQ(piece.end, mark == std::string::npos ? length : static_cast<std::int32_t>(mark) + 1);
            ASSERT_GT(piece.next, pos);
            ASSERT_LE(piece.start - 1 + piece.length, length);
            if (piece.silent) {
                rebuilt += text.substr(static_cast<std::size_t>(pos - 1));
                break;
            }
            rebuilt += text.substr(static_cast<std::size_t>(pos - 1), static_cast<std::size_t>(piece.next - pos));
            pos = piece.next;
        }
        EXPECT_EQ(rebuilt, text);
    }
}

}  // namespace
