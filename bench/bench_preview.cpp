#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <ctime>
#include <memory>
#include <string>
#include <utility>

#include "addin/connect.hpp"
#include "character/form.hpp"
#include "preview/preview.hpp"
#include "sim/mailbox.hpp"
#include "sim/sim_platform.hpp"

// The preview walked over a large Inbox on the simulator with the real add-in: one unread message
// every `spacing` items, received a minute apart. A step of "next" skips the read items up to the
// next unread one, so its cost should follow the spacing and not the size of the Inbox.

namespace {

sim::Mailbox large_inbox(std::int64_t count, std::int64_t spacing) {
    sim::Mailbox mailbox;
    mailbox.user = "Ada Lovelace";
    const auto first = std::chrono::local_days{std::chrono::year{2001} / 1 / 1};
    mailbox.now = std::chrono::local_seconds{first + std::chrono::minutes{count + 1}};
    mailbox.explorer = sim::ExplorerRecord{};
    sim::FolderRecord inbox;
    inbox.name = "Inbox";
    inbox.inbox = true;
    inbox.items.reserve(static_cast<std::size_t>(count));
    for (std::int64_t i = 0; i < count; ++i) {
        sim::ItemRecord item;
        item.entry_id = "m" + std::to_string(i);
        item.properties.set("SenderName", std::string("Bob Smith"));
        item.properties.set("Subject", "Report " + std::to_string(i));
        item.properties.set("ReceivedTime", platform::Date{first + std::chrono::minutes{i}});
        item.properties.set("UnRead", i % spacing == spacing / 2);
        item.properties.set("Body", std::string("The report is attached."));
        inbox.items.push_back(std::move(item));
    }
    mailbox.folders.push_back(std::move(inbox));
    return mailbox;
}

// The mail client running with the character up and idle; the transcript is thrown away as it is
// written, so a long run does not grow it.
struct Running {
    explicit Running(std::int64_t count, std::int64_t spacing) : sim(large_inbox(count, spacing)) {
        sim.transcript().set_sink([](const std::string&) {});
        addin = std::make_unique<addin::Connect>(sim);
        sim.start(*addin);
        sim.click_button();
        sim.perform_all();
    }
    character::frmAgentCtrl& form() { return *addin->form(); }
    // A call into the add-in as a command event would make it: requests it stops complete afterwards.
    template <class Fn>
    void as_event(Fn&& fn) {
        sim.edge().deliver("bench", std::forward<Fn>(fn));
    }

    sim::SimPlatform sim;
    std::unique_ptr<addin::Connect> addin;
};

// Starting sorts the whole Inbox and walks to the first unread item.
void BM_PreviewStart(benchmark::State& state) {
    Running r(state.range(0), state.range(1));
    for (auto _ : state) {
        r.as_event([&] {
            preview::StopNewMail(r.form());
            preview::PrevNewMail(r.form());
        });
        state.PauseTiming();
        r.sim.perform_all();
        state.ResumeTiming();
    }
}

// The processor time of this thread: the machine is shared, so wall time would measure the others.
double thread_seconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// Start, then "next" until the last unread item answers that it is the last. Only the steps are
// timed; between two steps the character speaks the announcement, as it would before the user
// asks for the next one.
void BM_PreviewNextToTheEnd(benchmark::State& state) {
    const std::int64_t count = state.range(0);
    const std::int64_t spacing = state.range(1);
    Running r(count, spacing);
    std::int64_t steps = 0;
    double total = 0;
    double slowest = 0;
    for (auto _ : state) {
        r.as_event([&] {
            preview::StopNewMail(r.form());
            preview::PrevNewMail(r.form());
        });
        r.sim.perform_all();
        double spent = 0;
        for (;;) {
            const auto before = r.form().sNeMEntryID;
            const double begin = thread_seconds();
            r.as_event([&] { preview::NextItem(r.form()); });
            const double step = thread_seconds() - begin;
            spent += step;
            slowest = std::max(slowest, step);
            ++steps;
            if (r.form().sNeMEntryID == before) break;  // "This is the last unread message in the inbox."
            r.sim.perform_all();
        }
        state.SetIterationTime(spent);
        total += spent;
        r.sim.perform_all();
    }
    const double iterations = static_cast<double>(state.iterations());
    state.counters["steps"] = static_cast<double>(steps) / iterations;
    state.counters["skipped_per_step"] = static_cast<double>(spacing - 1);
    state.counters["us_per_step"] = 1e6 * total / static_cast<double>(steps);
    state.counters["slowest_us"] = 1e6 * slowest;
}

// Same spacing over Inboxes ten times apart, then the spacing varied over the largest Inbox.
BENCHMARK(BM_PreviewStart)->Args({10'000, 100})->Args({100'000, 100})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PreviewNextToTheEnd)
    ->Args({10'000, 100})
    ->Args({100'000, 100})
    ->Args({100'000, 10})
    ->Args({100'000, 1'000})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
