#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "../tests/preview/inbox_fake.hpp"
#include "preview/preview.hpp"

// FIXME: runs on the preview's own small Inbox (tests/preview/inbox_fake.hpp) while the simulator is
// being written; move it onto sim::SimPlatform once that exists.

namespace {

using inbox_fake::Preview;

constexpr int kSpacing = 100;  // one unread item in a hundred

// An Inbox of `count` items received a minute apart, every hundredth one unread.
std::vector<Preview::Mail> inbox(std::int64_t count) {
    std::vector<Preview::Mail> mails;
    mails.reserve(static_cast<std::size_t>(count));
    for (std::int64_t i = 0; i < count; ++i)
        mails.push_back({"m" + std::to_string(i), static_cast<int>(i), i % kSpacing == kSpacing / 2});
    return mails;
}

std::unique_ptr<Preview> quiet_preview(std::int64_t count) {
    auto p = std::make_unique<Preview>(inbox(count));
    p->world.transcript.set_sink([](const std::string&) {});
    return p;
}

// Starting sorts the Inbox and walks to the first unread item.
void BM_PreviewStart(benchmark::State& state) {
    auto p = quiet_preview(state.range(0));
    for (auto _ : state) {
        preview::StopNewMail(p->f);
        preview::PrevNewMail(p->f);
    }
    state.SetComplexityN(state.range(0));
}

// "next" from the newest unread item to the end: each step skips the read items up to the next
// unread one, so its cost follows the spacing of unread mail, not the size of the Inbox.
void BM_PreviewNextToTheEnd(benchmark::State& state) {
    auto p = quiet_preview(state.range(0));
    std::int64_t steps = 0;
    for (auto _ : state) {
        state.PauseTiming();
        preview::StopNewMail(p->f);
        preview::PrevNewMail(p->f);
        state.ResumeTiming();
        for (;;) {
            const auto before = p->f.sNeMEntryID;
            preview::NextItem(p->f);
            ++steps;
            if (p->f.sNeMEntryID == before) break;  // "This is the last unread message in the inbox."
        }
    }
    state.counters["per_step"] =
        benchmark::Counter(static_cast<double>(steps), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["steps"] = static_cast<double>(steps) / static_cast<double>(state.iterations());
}

BENCHMARK(BM_PreviewStart)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PreviewNextToTheEnd)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
