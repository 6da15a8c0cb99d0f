// A voice grammar and a heard phrase, split at the first line feed: a grammar is either refused with a
// GrammarError or compiled, and matching it never fails.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "sim/grammar.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t split = input.find('\n');
    const std::string_view grammar = input.substr(0, split);
    const std::string_view heard = split == std::string_view::npos ? std::string_view{} : input.substr(split + 1);
    try {
        const sim::VoiceGrammar compiled(grammar);
        (void)compiled.match(heard);
    } catch (const sim::GrammarError&) {
    }
    return 0;
}
