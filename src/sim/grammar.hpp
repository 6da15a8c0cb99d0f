#pragma once

#include <cstddef>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// The character's voice grammars: `[x]` optional words, `(a|b)` alternatives (each may hold
// several words; the blanks inside them only separate words), `...` any words, none included.
// Matching ignores case and extra blanks.
namespace sim {

// A voice text the recogniser cannot use, naming the place in it.
struct GrammarError : std::invalid_argument {
    using std::invalid_argument::invalid_argument;
};

class VoiceGrammar {
public:
    // Throws GrammarError for unbalanced brackets or an empty grammar.
    explicit VoiceGrammar(std::string_view text);

    // How many heard words `...` had to take for the grammar to match `heard`, the fewest over
    // every way it matches; nullopt when it does not match. Linear in the words heard times the
    // size of the grammar: the grammar is compiled into a word automaton, never backtracked.
    std::optional<std::size_t> match(std::string_view heard) const;

    const std::string& text() const { return text_; }

private:
    // A state's way on: on a given word, on any word (taken by `...`, costing one), or on nothing.
    struct Move {
        enum class Kind { Word, AnyWord, Empty } kind;
        std::string word;
        std::size_t to;
    };
    class Parser;

    std::size_t add_state();
    void add_move(std::size_t from, Move move);
    std::vector<std::size_t> closure(std::vector<std::size_t> costs) const;

    std::string text_;
    std::vector<std::vector<Move>> states_;
    std::size_t start_ = 0;
    std::size_t accept_ = 0;
};

// The words of a heard phrase, lower-cased, with blanks of any kind and number between them.
std::vector<std::string> heard_words(std::string_view heard);

}  // namespace sim
