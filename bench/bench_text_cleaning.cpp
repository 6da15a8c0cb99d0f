#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "corpus_input.hpp"
#include "reading/text_cleaning.hpp"

namespace {

using bench::corpus_input;
using bench::plain_pass;

const std::string& html_input() {
    static const std::string input = corpus_input("html");
    return input;
}

const std::string& plain_input() {
    static const std::string input = corpus_input("plain");
    return input;
}

template <std::string (*Clean)(std::string_view)>
void cleaning(benchmark::State& state, const std::string& input) {
    for (auto _ : state) {
        std::string text = Clean(input);
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * input.size()));
}

void BM_PlainPassHtml(benchmark::State& state) {
    const std::string& input = html_input();
    if (input.empty()) return state.SkipWithError("no HTML corpus");
    plain_pass(state, input);
}

void BM_HtmlToText(benchmark::State& state) {
    const std::string& input = html_input();
    if (input.empty()) return state.SkipWithError("no HTML corpus");
    cleaning<reading::HtmlToText>(state, input);
}

void BM_PlainPassPlain(benchmark::State& state) {
    const std::string& input = plain_input();
    if (input.empty()) return state.SkipWithError("no plain corpus");
    plain_pass(state, input);
}

void BM_DropDecoration(benchmark::State& state) {
    const std::string& input = plain_input();
    if (input.empty()) return state.SkipWithError("no plain corpus");
    cleaning<reading::DropDecoration>(state, input);
}

}  // namespace

BENCHMARK(BM_PlainPassHtml)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HtmlToText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainPassPlain)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DropDecoration)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
