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

// Dither: a faint noise added to the samples before the features are taken. A recording made by a
// program (a WAV of synthetic speech, a file edited to digital silence) has stretches of exact zeros
// whose log energy throws the features off: without it, 78% of the test's commands made with no
// noise at all were heard right, with it 95%. The seed is fixed, so the same audio is always heard
// the same way.
inline constexpr std::string_view kDither = "yes";
inline constexpr std::string_view kDitherSeed = "1";

// In grammar mode the decoder's confidence is always 0, so rejection comes from the grammar itself:
// beside the commands, a branch of "other speech" made of any string of the commonest English words
// and of single phones, each taking a weight (a probability, written as a plain decimal: the
// grammar reader takes no exponents and ignores a weight put on a group, so it goes on every
// pseudo-word). Speech that is no command is cheaper as such a string than forced through a
// command; a command is cheaper as itself. The common words that a command uses are left out of
// the branch, so that they stay the command's. The branch is one string from start to end: the
// heard words are either a whole command or other speech, never other speech before a command.
// Measured on the utterances above (124 commands, 20 unrelated), with one-phone pseudo-words
// alone: weights 1e-3 to 1e-7 reject every unrelated sentence but keep only 50-89% of the
// commands; 1e-10 keeps 96% and lets 3 unrelated utterances through ("tell me a joke" as "delete
// note", "read me a story" as "read request"), and no phone weight rejects those two without
// losing commands: a string of phones costs too much for a sentence of several words. With a
// fixed entry cost and cheap later phones, at best 2 still pass. Common words in the branch
// absorb them: phones at 1e-10 with 40 words at 1e-6 keep 86% and let none through; at 1e-9, 91%;
// at 1e-12, 96-97% with none through. The 20 commonest words alone are too few (3 pass: "me" is
// not among them); 100 words reject as well as 40 but double the decoding time. With the weights
// below the listening test hears 96.3% of its 136 command utterances right and 0.7% wrong, and
// rejects all 20 unrelated ones; decoding a command takes 62 ms at the median (106 ms at the 95th
// percentile; bench_listen on an idle machine), 57 ms before the common words were added.
inline constexpr std::string_view kGarbagePhoneWeight = "0.0000000001";
inline constexpr std::string_view kGarbageWordWeight = "0.000000000001";
// The pseudo-words are named with this prefix, which no dictionary word has.
inline constexpr std::string_view kGarbagePrefix = "garbage_";
// The forty commonest words of written English, by frequency.
inline constexpr std::array<std::string_view, 40> kCommonWords = {
    "the",  "be",   "to",  "of",   "and",  "a",    "in",   "that", "have", "i",    "it",   "for",  "not", "on",
    "with", "he",   "as",  "you",  "do",   "at",   "this", "but",  "his",  "by",   "from", "they", "we",  "say",
    "her",  "she",  "or",  "an",   "will", "my",   "one",  "all",  "would", "there", "their", "what"};
// The phones of the US English model, one pseudo-word each.
inline constexpr std::array<std::string_view, 39> kPhones = {
    "AA", "AE", "AH", "AO", "AW", "AY", "B",  "CH", "D",  "DH", "EH", "ER", "EY",
    "F",  "G",  "HH", "IH", "IY", "JH", "K",  "L",  "M",  "N",  "NG", "OW", "OY",
    "P",  "R",  "S",  "SH", "T",  "TH", "UH", "UW", "V",  "W",  "Y",  "Z",  "ZH"};

// What "..." in a voice text may stand for: one or two of these words. A few that people put
// before the thing they name; none of them ends a command's phrase (see command_grammar.hpp).
inline constexpr std::array<std::string_view, 5> kFillers = {"this", "the", "that", "my", "new"};

}  // namespace cli::listen::settings
