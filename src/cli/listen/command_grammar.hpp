#pragma once

#include <string>
#include <string_view>
#include <vector>

// The grammar the recogniser listens with, made from the character's voice commands.
namespace cli::listen {

// A command the user may say: its name and its voice text in the character's notation
// (`[x]` optional, `(a|b)` alternatives, `...` any words).
struct VoiceCommand {
    std::string name;
    std::string voice;
    bool operator==(const VoiceCommand&) const = default;
};

// The grammar (JSGF) of the commands and of the rejection branch (see decoder_settings.hpp). `...` becomes one or two filler
// words, or none; a filler is never the last word of a phrase, since the add-in takes its item
// word from the last word heard: a `...` that could end the phrase is heard only before a later
// word of it, and one that always ends it is left out. The voice texts are the character's own,
// already checked by it; a command without words is left out.
std::string command_grammar(const std::vector<VoiceCommand>& commands);

// A phrase the voice text hears, for the help and for tests: `variant` 0 leaves the optional words
// out and takes the first alternatives, 1 puts them in and takes the last; `...` is said as "this"
// (variant 0) or "the" (variant 1) where a word follows it, and as nothing at the end.
std::string example_phrase(std::string_view voice, int variant);

// The pseudo-words of the rejection branch: one stands for a phone of the model, the other for a
// common word (said as that word).
std::string garbage_phone(std::string_view phone);
std::string garbage_word(std::string_view word);

// Every word the grammar can hear, lower-cased, each once, the fillers and pseudo-words excluded.
std::vector<std::string> command_words(const std::vector<VoiceCommand>& commands);

}  // namespace cli::listen
