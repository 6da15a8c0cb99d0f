#include "cli/listen/command_grammar.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <cctype>

#include "cli/listen/decoder_settings.hpp"
#include "platform/ascii.hpp"

namespace cli::listen {

namespace {

// A voice text as a tree: words, `...`, and bracketed groups of alternatives.
struct Node;
using Sequence = std::vector<Node>;
struct Node {
    enum class Kind { Word, AnyWords, Group } kind = Kind::Word;
    std::string word;
    std::vector<Sequence> alternatives;
    bool optional = false;
};

class Reader {
public:
    explicit Reader(std::string_view text) : text_(text) {}

    std::vector<Sequence> alternatives() {
        std::vector<Sequence> out{sequence()};
        while (skip_blanks() && text_[pos_] == '|') {
            ++pos_;
            out.push_back(sequence());
        }
        return out;
    }

private:
    Sequence sequence() {
        Sequence out;
        while (skip_blanks()) {
            const char c = text_[pos_];
            if (c == '|' || c == ')' || c == ']') return out;
            if (c == '(' || c == '[') {
                ++pos_;
                Node group{Node::Kind::Group, {}, alternatives(), c == '['};
                if (skip_blanks()) ++pos_;  // the closing bracket; the character checked the nesting
                // `[...]` says no more than `...`, which takes no words as well.
                if (group.optional && group.alternatives.size() == 1 && group.alternatives[0].size() == 1 &&
                    group.alternatives[0][0].kind == Node::Kind::AnyWords) {
                    out.push_back(group.alternatives[0][0]);
                } else {
                    out.push_back(std::move(group));
                }
            } else if (text_.substr(pos_, 3) == "...") {
                pos_ += 3;
                out.push_back({Node::Kind::AnyWords, {}, {}, false});
            } else {
                std::string word;
                while (pos_ < text_.size() && !std::isspace(static_cast<unsigned char>(text_[pos_])) &&
                       std::string_view("()[]|").find(text_[pos_]) == std::string_view::npos &&
                       text_.substr(pos_, 3) != "...")
                    word += platform::lower_ascii(text_[pos_++]);
                out.push_back({Node::Kind::Word, std::move(word), {}, false});
            }
        }
        return out;
    }

    // False at the end of the text.
    bool skip_blanks() {
        while (pos_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[pos_]))) ++pos_;
        return pos_ < text_.size();
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

bool nullable(const Sequence& s, std::size_t from);

bool nullable(const Node& n) {
    if (n.kind == Node::Kind::Word) return false;
    if (n.kind == Node::Kind::AnyWords || n.optional) return true;
    return std::any_of(n.alternatives.begin(), n.alternatives.end(), [](const Sequence& a) { return nullable(a, 0); });
}

bool nullable(const Sequence& s, std::size_t from) {
    return std::all_of(s.begin() + static_cast<std::ptrdiff_t>(from), s.end(), [](const Node& n) { return nullable(n); });
}

constexpr std::string_view kFillerWords = "<filler> [<filler>]";

std::string join(const std::vector<std::string>& parts, std::string_view between) {
    std::string out;
    for (const std::string& p : parts) {
        if (p.empty()) continue;
        if (!out.empty()) out += between;
        out += p;
    }
    return out;
}

std::string phrase(const Sequence& s, std::size_t from, bool tail_nullable);

// The group's alternatives as JSGF, each followed by a tail that may be empty or not.
std::vector<std::string> alternatives(const Node& group, bool tail_nullable) {
    std::vector<std::string> out;
    for (const Sequence& a : group.alternatives) {
        std::string text = phrase(a, 0, tail_nullable);
        if (!text.empty()) out.push_back(std::move(text));
    }
    return out;
}

// What s[from..] says with at least one word, when it could say none; "" when it has no words.
std::string some_words(const Sequence& s, std::size_t from, bool tail_nullable) {
    for (std::size_t j = from; j < s.size(); ++j) {
        if (s[j].kind != Node::Kind::Group) continue;  // a `...` here takes no words
        const auto alts = alternatives(s[j], tail_nullable && nullable(s, j + 1));
        if (alts.empty()) continue;
        const std::string first = join({"( " + join(alts, " | ") + " )", phrase(s, j + 1, tail_nullable)}, " ");
        const std::string later = some_words(s, j + 1, tail_nullable);
        return later.empty() ? first : "( " + first + " | " + later + " )";
    }
    return "";
}

// s[from..] as JSGF; `tail_nullable` when what follows s in the whole phrase may be no words.
std::string phrase(const Sequence& s, std::size_t from, bool tail_nullable) {
    std::vector<std::string> parts;
    for (std::size_t i = from; i < s.size(); ++i) {
        const Node& n = s[i];
        if (n.kind == Node::Kind::Word) {
            parts.push_back(n.word);
        } else if (n.kind == Node::Kind::AnyWords) {
            if (!tail_nullable || !nullable(s, i + 1)) {
                parts.push_back(fmt::format("[{}]", kFillerWords));
                continue;
            }
            // Fillers only before a later word, so that none of them ends the phrase.
            const std::string later = some_words(s, i + 1, tail_nullable);
            if (later.empty()) continue;
            const std::string rest = phrase(s, i + 1, tail_nullable);
            parts.push_back(rest.empty() ? fmt::format("[ {} {} ]", kFillerWords, later)
                                         : fmt::format("( {} {} | {} )", kFillerWords, later, rest));
            break;
        } else {
            const auto alts = alternatives(n, tail_nullable && nullable(s, i + 1));
            if (alts.empty()) continue;
            const bool optional = n.optional || alts.size() < n.alternatives.size();
            parts.push_back((optional ? "[ " : "( ") + join(alts, " | ") + (optional ? " ]" : " )"));
        }
    }
    return join(parts, " ");
}

void collect_words(const Sequence& s, std::vector<std::string>& out) {
    for (const Node& n : s) {
        if (n.kind == Node::Kind::Word && std::find(out.begin(), out.end(), n.word) == out.end()) out.push_back(n.word);
        for (const Sequence& a : n.alternatives) collect_words(a, out);
    }
}

void example(const Sequence& s, int variant, std::vector<std::string>& out) {
    for (std::size_t i = 0; i < s.size(); ++i) {
        const Node& n = s[i];
        if (n.kind == Node::Kind::Word) {
            out.push_back(n.word);
        } else if (n.kind == Node::Kind::AnyWords) {
            // Only where a word is sure to follow, so the filler never ends the phrase.
            if (!nullable(s, i + 1)) out.emplace_back(variant == 0 ? "this" : "the");
        } else if (!(n.optional && variant == 0)) {
            const auto& alt = variant == 0 ? n.alternatives.front() : n.alternatives.back();
            example(alt, variant, out);
        }
    }
}

}  // namespace

std::string example_phrase(std::string_view voice, int variant) {
    const auto tree = Reader(voice).alternatives();
    std::vector<std::string> words;
    example(variant == 0 ? tree.front() : tree.back(), variant, words);
    return join(words, " ");
}

std::string command_grammar(const std::vector<VoiceCommand>& commands) {
    std::string out = "#JSGF V1.0;\ngrammar commands;\n";
    std::vector<std::string> rules;
    for (const VoiceCommand& c : commands) {
        const auto tree = Reader(c.voice).alternatives();
        std::vector<std::string> alts;
        for (const Sequence& a : tree) alts.push_back(phrase(a, 0, true));
        const std::string text = join(alts, " | ");
        if (text.empty()) continue;
        const std::string rule = fmt::format("<command{}>", rules.size());
        out += fmt::format("{} = {};\n", rule, text);
        rules.push_back(rule);
    }
    std::vector<std::string> fillers(settings::kFillers.begin(), settings::kFillers.end());
    out += fmt::format("<filler> = {};\n", join(fillers, " | "));
    // Other speech: a string of common words and phones from start to end. Written as a rule that
    // calls itself rather than with `+`, which the grammar reader turns into a loop back to the
    // start of the whole phrase, so that other speech could come before a command.
    std::vector<std::string> phones;
    for (std::string_view p : settings::kPhones)
        phones.push_back(fmt::format("/{}/ {}", settings::kGarbagePhoneWeight, garbage_phone(p)));
    out += fmt::format("<phone> = {};\n", join(phones, " | "));
    const auto used = command_words(commands);
    std::vector<std::string> words;
    for (std::string_view w : settings::kCommonWords)
        if (std::find(used.begin(), used.end(), w) == used.end() &&
            std::find(settings::kFillers.begin(), settings::kFillers.end(), w) == settings::kFillers.end())
            words.push_back(fmt::format("/{}/ {}", settings::kGarbageWordWeight, garbage_word(w)));
    const std::string unit = words.empty() ? "<phone>" : "( <word> | <phone> )";
    if (!words.empty()) out += fmt::format("<word> = {};\n", join(words, " | "));
    out += fmt::format("<other> = {} [<other>];\n", unit);
    rules.push_back("<other>");
    out += fmt::format("public <heard> = {};\n", join(rules, " | "));
    return out;
}

namespace {

std::string pseudo_word(std::string_view kind, std::string_view unit) {
    return platform::lower_ascii(fmt::format("{}{}_{}", settings::kGarbagePrefix, kind, unit));
}

}  // namespace

std::string garbage_phone(std::string_view phone) { return pseudo_word("phone", phone); }

std::string garbage_word(std::string_view word) { return pseudo_word("word", word); }

std::vector<std::string> command_words(const std::vector<VoiceCommand>& commands) {
    std::vector<std::string> out;
    for (const VoiceCommand& c : commands)
        for (const Sequence& a : Reader(c.voice).alternatives()) collect_words(a, out);
    return out;
}

}  // namespace cli::listen
