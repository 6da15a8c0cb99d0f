#include "sim/grammar.hpp"

#include <fmt/format.h>

#include <cctype>
#include <limits>
#include <utility>

#include "platform/ascii.hpp"

namespace sim {

namespace {

constexpr std::size_t kUnreached = std::numeric_limits<std::size_t>::max();

bool is_blank(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

struct Token {
    enum class Kind { Word, AnyWords, Open, Close, OpenOptional, CloseOptional, Bar, End } kind;
    std::string word;
    std::size_t at;  // 1-based column in the voice text, for messages
};

std::vector<Token> tokenize(std::string_view text) {
    std::vector<Token> tokens;
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (is_blank(c)) {
            ++i;
            continue;
        }
        const std::size_t at = i + 1;
        if (text.substr(i, 3) == "...") {
            tokens.push_back({Token::Kind::AnyWords, {}, at});
            i += 3;
            continue;
        }
        Token::Kind kind = Token::Kind::Word;
        switch (c) {
            case '(':
                kind = Token::Kind::Open;
                break;
            case ')':
                kind = Token::Kind::Close;
                break;
            case '[':
                kind = Token::Kind::OpenOptional;
                break;
            case ']':
                kind = Token::Kind::CloseOptional;
                break;
            case '|':
                kind = Token::Kind::Bar;
                break;
            default:
                break;
        }
        if (kind != Token::Kind::Word) {
            tokens.push_back({kind, {}, at});
            ++i;
            continue;
        }
        std::size_t j = i;
        while (j < text.size() && !is_blank(text[j]) &&
               std::string_view("()[]|").find(text[j]) == std::string_view::npos && text.substr(j, 3) != "...")
            ++j;
        tokens.push_back({Token::Kind::Word, platform::lower_ascii(text.substr(i, j - i)), at});
        i = j;
    }
    tokens.push_back({Token::Kind::End, {}, text.size() + 1});
    return tokens;
}

}  // namespace

// Thompson's construction over words: every part of the grammar becomes a piece of automaton
// entered at one state and left at another, joined by empty moves.
class VoiceGrammar::Parser {
public:
    Parser(VoiceGrammar& grammar, std::string_view text) : g_(grammar), text_(text), tokens_(tokenize(text)) {}

    void run() {
        g_.start_ = g_.add_state();
        if (tokens_.front().kind == Token::Kind::End) fail("a voice text needs at least one word", 1);
        g_.accept_ = alternatives(g_.start_);
        if (peek().kind != Token::Kind::End) fail("a closing bracket without its opening one", peek().at);
    }

private:
    // a | b | ... up to the closing bracket or the end.
    std::size_t alternatives(std::size_t from) {
        const std::size_t end = g_.add_state();
        for (;;) {
            const std::size_t start = g_.add_state();
            g_.add_move(from, {Move::Kind::Empty, {}, start});
            g_.add_move(sequence(start), {Move::Kind::Empty, {}, end});
            if (peek().kind != Token::Kind::Bar) return end;
            ++pos_;
        }
    }

    std::size_t sequence(std::size_t from) {
        for (;;) {
            const Token& t = peek();
            switch (t.kind) {
                case Token::Kind::Word: {
                    const std::size_t to = g_.add_state();
                    g_.add_move(from, {Move::Kind::Word, t.word, to});
                    from = to;
                    ++pos_;
                    break;
                }
                case Token::Kind::AnyWords: {
                    const std::size_t loop = g_.add_state();
                    const std::size_t to = g_.add_state();
                    g_.add_move(from, {Move::Kind::Empty, {}, loop});
                    g_.add_move(loop, {Move::Kind::AnyWord, {}, loop});
                    g_.add_move(loop, {Move::Kind::Empty, {}, to});
                    from = to;
                    ++pos_;
                    break;
                }
                case Token::Kind::Open:
                case Token::Kind::OpenOptional: {
                    const bool optional = t.kind == Token::Kind::OpenOptional;
                    const Token::Kind closing = optional ? Token::Kind::CloseOptional : Token::Kind::Close;
                    const std::size_t opened_at = t.at;
                    ++pos_;
                    const std::size_t to = alternatives(from);
                    if (peek().kind != closing)
                        fail(optional ? "a '[' without its ']'" : "a '(' without its ')'", opened_at);
                    ++pos_;
                    if (optional) g_.add_move(from, {Move::Kind::Empty, {}, to});
                    from = to;
                    break;
                }
                default:
                    return from;
            }
        }
    }

    const Token& peek() const { return tokens_[pos_]; }

    [[noreturn]] void fail(std::string_view what, std::size_t at) const {
        throw GrammarError(fmt::format("voice text \"{}\", column {}: {}", text_, at, what));
    }

    VoiceGrammar& g_;
    std::string_view text_;
    std::vector<Token> tokens_;
    std::size_t pos_ = 0;
};

VoiceGrammar::VoiceGrammar(std::string_view text) : text_(text) { Parser(*this, text).run(); }

std::size_t VoiceGrammar::add_state() {
    states_.emplace_back();
    return states_.size() - 1;
}

void VoiceGrammar::add_move(std::size_t from, Move move) { states_[from].push_back(std::move(move)); }

// Spreads each reached state's cost over the empty moves; costs only ever fall, so it settles.
std::vector<std::size_t> VoiceGrammar::closure(std::vector<std::size_t> costs) const {
    std::vector<std::size_t> work;
    for (std::size_t s = 0; s < costs.size(); ++s)
        if (costs[s] != kUnreached) work.push_back(s);
    while (!work.empty()) {
        const std::size_t s = work.back();
        work.pop_back();
        for (const Move& m : states_[s]) {
            if (m.kind != Move::Kind::Empty || costs[m.to] <= costs[s]) continue;
            costs[m.to] = costs[s];
            work.push_back(m.to);
        }
    }
    return costs;
}

std::optional<std::size_t> VoiceGrammar::match(std::string_view heard) const {
    std::vector<std::size_t> costs(states_.size(), kUnreached);
    costs[start_] = 0;
    costs = closure(std::move(costs));
    for (const std::string& word : heard_words(heard)) {
        std::vector<std::size_t> next(states_.size(), kUnreached);
        bool reached = false;
        for (std::size_t s = 0; s < states_.size(); ++s) {
            if (costs[s] == kUnreached) continue;
            for (const Move& m : states_[s]) {
                std::size_t cost = kUnreached;
                if (m.kind == Move::Kind::Word && m.word == word) cost = costs[s];
                if (m.kind == Move::Kind::AnyWord) cost = costs[s] + 1;
                if (cost < next[m.to]) {
                    next[m.to] = cost;
                    reached = true;
                }
            }
        }
        if (!reached) return std::nullopt;
        costs = closure(std::move(next));
    }
    if (costs[accept_] == kUnreached) return std::nullopt;
    return costs[accept_];
}

std::vector<std::string> heard_words(std::string_view heard) {
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i < heard.size()) {
        while (i < heard.size() && is_blank(heard[i])) ++i;
        std::size_t j = i;
        while (j < heard.size() && !is_blank(heard[j])) ++j;
        if (j > i) words.push_back(platform::lower_ascii(heard.substr(i, j - i)));
        i = j;
    }
    return words;
}

}  // namespace sim
