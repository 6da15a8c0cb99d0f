#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "corpus_input.hpp"
#include "reading/pieces.hpp"
#include "reading/text_cleaning.hpp"

namespace {

constexpr std::size_t kMegabyte = 1u << 20;

// Sentences and lines mixed, as a long mail reads. Some marks occur only once, at the very end, so that a
// search from every piece's start for them would run to the end of the text each time.
std::string reading_text(std::size_t bytes) {
    static constexpr const char* kSentences[] = {
        "The quarterly figures are attached for your review. ",
        "Could you look at them before Friday? ",
        "Thanks for the quick turnaround!\r\n",
        "Version 2.5 of the report is on the share, e.g.under /reports.\r\n",
        "\r\n",
        "We meet at 10.30 in the usual room. ",
    };
    std::string text;
    text.reserve(bytes + 64);
    std::size_t i = 0;
    while (text.size() < bytes) {
        text += kSentences[i % std::size(kSentences)];
        i = i * 7 + 3;
    }
    text += "(see above.) (really?) (yes!) He said \"done.\"\" \"sure?\"\" \"go!\"\" Regards";
    return text;
}

// A whole reading: every piece from the first to the last, as the speech output asks for them.
std::int64_t cut_whole(std::string_view text) {
    const auto length = static_cast<std::int32_t>(text.size());
    std::int64_t pieces = 0;
    for (std::int32_t pos = 1; pos <= length;) {
        const reading::Piece piece = reading::cut_piece(text, pos);
        benchmark::DoNotOptimize(piece);
        ++pieces;
        if (piece.silent) break;
        pos = piece.next;
    }
    return pieces;
}

void BM_CutWholeReading(benchmark::State& state) {
    const auto megabytes = static_cast<std::size_t>(state.range(0));
    const std::string text = reading_text(megabytes * kMegabyte);
    std::int64_t pieces = 0;
    for (auto _ : state) pieces += cut_whole(text);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
    state.counters["pieces"] = benchmark::Counter(static_cast<double>(pieces), benchmark::Counter::kAvgIterations);
    // Seconds per megabyte: the two sizes agree when the cutting is linear.
    state.counters["s_per_MB"] = benchmark::Counter(
        static_cast<double>(megabytes), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_CutWholeReading)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);

// The corpus's plain bodies, cleaned as a reading cleans them, about 20 MB: cut whole, against one plain look
// at each of its bytes in the same run.
const std::string& corpus_reading() {
    static const std::string text = reading::DropDecoration(bench::corpus_input("plain"));
    return text;
}

void BM_PlainPassCorpusReading(benchmark::State& state) {
    if (corpus_reading().empty()) return state.SkipWithError("no plain corpus");
    bench::plain_pass(state, corpus_reading());
}
BENCHMARK(BM_PlainPassCorpusReading)->Unit(benchmark::kMillisecond);

void BM_CutCorpusReading(benchmark::State& state) {
    const std::string& text = corpus_reading();
    if (text.empty()) return state.SkipWithError("no plain corpus");
    std::int64_t pieces = 0;
    for (auto _ : state) pieces += cut_whole(text);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
    state.counters["pieces"] = benchmark::Counter(static_cast<double>(pieces), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_CutCorpusReading)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
