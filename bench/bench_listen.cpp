// Decoding one spoken command: time per utterance (median and p95, one utterance a repetition,
// each of ten in turn) and the program's peak memory with the recogniser loaded. The utterances are made with espeak-ng and sox.

#include <benchmark/benchmark.h>
#include <fmt/format.h>
#include <stdlib.h>
#include <sys/resource.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <sstream>

#include "cli/listen/hearing.hpp"
#include "cli/samples.hpp"
#include "cli/session.hpp"
#include "sim/mailbox.hpp"
#include "sim/sim_platform.hpp"

namespace {

const std::vector<std::string> kSaid = {"read this message", "next", "open and read the email", "stop reading",
                                        "delete this message", "preview new messages", "reply to all",
                                        "flag message for follow up", "what time is it", "tell me a joke"};

// The utterances and a recogniser listening for the sample mailbox's started character, made
// once for every repetition; `error` says why there are none.
struct Fixture {
    std::string error;
    std::vector<std::vector<std::int16_t>> utterances;
    sim::SimPlatform sim{sim::load_mailbox(cli::kSampleMailbox, "mailbox.json")};
    std::ostringstream out;
    cli::Session session{sim, out};
    std::unique_ptr<cli::listen::Recognizer> recognizer;

    Fixture() {
        if (!cli::listen::recognizer_built()) {
            error = "built without speech recognition";
            return;
        }
        std::string pattern = (std::filesystem::temp_directory_path() / "dezaror-bench-listen-XXXXXX").string();
        if (!mkdtemp(pattern.data())) std::abort();
        const std::filesystem::path dir(pattern);
        for (std::size_t i = 0; i < kSaid.size() && error.empty(); ++i) {
            const auto raw = dir / "raw.wav", wav = dir / fmt::format("u{}.wav", i);
            const auto make = fmt::format("espeak-ng -w '{}' '{}' && sox -R '{}' -r 16000 -c 1 -b 16 '{}'",
                                          raw.string(), kSaid[i], raw.string(), wav.string());
            if (std::system(make.c_str()) != 0) error = "espeak-ng and sox are needed";
            else utterances.push_back(cli::listen::read_wav(wav.string()));
        }
        std::filesystem::remove_all(dir);
        std::istringstream setup("start\nclick button\ndone\n");
        session.run(setup, "setup.dz");
        recognizer = std::make_unique<cli::listen::Recognizer>();
    }
};

void BM_DecodeCommand(benchmark::State& state) {
    static Fixture fixture;
    if (!fixture.error.empty()) return state.SkipWithError(fixture.error.c_str());
    static std::size_t next = 0;
    for (auto _ : state) {
        auto words = cli::listen::hear(*fixture.recognizer, fixture.sim.sim_agent(),
                                       fixture.utterances[next++ % fixture.utterances.size()]);
        benchmark::DoNotOptimize(words);
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}

double p95(const std::vector<double>& v) {
    auto sorted = v;
    std::sort(sorted.begin(), sorted.end());
    return sorted[std::min(sorted.size() - 1, sorted.size() * 95 / 100)];
}

BENCHMARK(BM_DecodeCommand)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(60)
    ->ComputeStatistics("p95", p95)
    ->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
