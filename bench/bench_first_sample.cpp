#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <fstream>
#include <string>
#include <unistd.h>

#include "cli/voice.hpp"

// How soon a piece's speech starts, and what it holds in memory, whatever the piece's length: the
// time from asking for a piece's speech to its first samples, and the memory in use once a second
// of it has been taken.
namespace {

std::string piece_of(std::size_t bytes) {
    const std::string sentence = "The quick brown fox jumps over the lazy dog, and then it runs home again. ";
    std::string text;
    while (text.size() < bytes) text += sentence;
    text.resize(bytes);
    return text;
}

double resident_megabytes() {
    std::ifstream statm("/proc/self/statm");
    std::size_t size = 0;
    std::size_t resident = 0;
    statm >> size >> resident;
    return static_cast<double>(resident) * static_cast<double>(::sysconf(_SC_PAGESIZE)) / (1 << 20);
}

void BM_FirstSample(benchmark::State& state) {
    static cli::Synthesizer synthesizer;
    const std::string text = piece_of(static_cast<std::size_t>(state.range(0)));
    const double before = resident_megabytes();
    double during = before;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        cli::SpeechStream stream(synthesizer, text);
        cli::Samples first;
        stream.take(first, 1, true);
        const auto elapsed = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(std::chrono::duration<double>(elapsed).count());
        // A second of speech, as the player takes it, before the piece is cut.
        cli::Samples heard;
        while (heard.size() < static_cast<std::size_t>(synthesizer.sample_rate()) && !stream.done())
            stream.take(heard, 4096, true);
        during = std::max(during, resident_megabytes());
    }
    state.counters["resident_MB"] = during;
    state.counters["growth_MB"] = during - before;
}

}  // namespace

BENCHMARK(BM_FirstSample)->Arg(1 << 10)->Arg(100 << 10)->Arg(1 << 20)->UseManualTime()->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
