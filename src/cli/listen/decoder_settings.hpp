#pragma once

#include <array>
#include <string_view>

// Everything that tunes the recogniser, in one place. The figures were chosen on synthetic
// utterances of every voice command (espeak-ng, two voices, two phrasings each, 16 kHz) and ten
// unrelated sentences, decoded with the pocketsphinx 0.8 US English model; the listening tests
// print the resulting right, wrong and rejected shares, so a change here shows there at once.
namespace cli::listen::settings {

// The US English acoustic model and its pronouncing dictionary as Debian installs them.
inline constexpr std::string_view kModelDir = "/usr/share/pocketsphinx/model/en-us/en-us";
inline constexpr std::string_view kDictionary = "/usr/share/pocketsphinx/model/en-us/cmudict-en-us.dict";

// The recogniser hears 16-bit mono samples at this rate, the model's own.
inline constexpr int kSampleRate = 16000;

// Search beams. The library's defaults (1e-48, 1e-48, 7e-29) prune the grammar's paths so early
// that a long command often ends with no path through the grammar at all ("Final result does not
// match the grammar" and an empty result). These wide beams cost little with a grammar this small:
// well under 0.1 s a command on one core.
inline constexpr std::string_view kBeam = "1e-80";
inline constexpr std::string_view kPhoneBeam = "1e-80";
inline constexpr std::string_view kWordBeam = "1e-60";

// In grammar mode the decoder's confidence is always 0, so rejection comes from the grammar itself:
// beside the commands, a branch of any number of one-phone pseudo-words, each taking this weight
// (a probability, written as a plain decimal: the grammar reader takes no exponents, and ignores a
// weight put on a group, so it goes on every pseudo-word). Speech that is no command is cheaper as
// a string of phones than forced through a command; a command is cheaper as itself. Measured on
// the utterances above: 1e-3 rejects half of the commands; 1e-7 keeps 89% and lets no unrelated
// sentence through; 1e-9 keeps 93%; 1e-10 keeps 97.6% (0.8% wrong) and takes 3 of 20 unrelated
// utterances for a command ("tell me a joke" as "delete note"); 1e-13 keeps 97.6% with 1.6% wrong.
// 1e-10 is the weight that keeps 95% of the commands with at most 1% wrong.
inline constexpr std::string_view kGarbagePhoneWeight = "0.0000000001";
// The pseudo-words are named with this prefix, which no dictionary word has.
inline constexpr std::string_view kGarbagePrefix = "garbage_";
// The phones of the US English model, one pseudo-word each.
inline constexpr std::array<std::string_view, 39> kPhones = {
    "AA", "AE", "AH", "AO", "AW", "AY", "B",  "CH", "D",  "DH", "EH", "ER", "EY",
    "F",  "G",  "HH", "IH", "IY", "JH", "K",  "L",  "M",  "N",  "NG", "OW", "OY",
    "P",  "R",  "S",  "SH", "T",  "TH", "UH", "UW", "V",  "W",  "Y",  "Z",  "ZH"};

// What "..." in a voice text may stand for: one or two of these words. A few that people put
// before the thing they name; none of them ends a command's phrase (see command_grammar.hpp).
inline constexpr std::array<std::string_view, 5> kFillers = {"this", "the", "that", "my", "new"};

}  // namespace cli::listen::settings
