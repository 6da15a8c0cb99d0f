// Loading a large mailbox file, and walking a large Inbox through an Items collection.

#include <benchmark/benchmark.h>
#include <fmt/format.h>
#include <sys/resource.h>

#include <string>

#include "sim/mailbox.hpp"
#include "sim/outlook.hpp"

namespace {

// A mailbox of `count` mail items in an Inbox, with bodies of a realistic length.
std::string generated_mailbox(int count) {
    std::string json = R"({"user": "Ada Lovelace", "now": "2001-03-06T15:05:00", "folders": [)"
                       R"({"name": "Inbox", "inbox": true, "items": [)";
    for (int i = 0; i < count; ++i) {
        if (i) json += ",\n";
        json += fmt::format(
            R"({{"EntryID": "m{}", "Class": 43, "SenderName": "Sender {}", "Subject": "Message number {}", )"
            R"("ReceivedTime": "2001-{:02}-{:02}T{:02}:{:02}:00", "UnRead": {}, "Attachments": {}, )"
            R"("Body": "Hello Ada,\r\n\r\nThis is message {} about the quarterly figures. The numbers look good, )"
            R"(and the second sheet needs a look before Friday. Could you check the travel costs?\r\n\r\nThanks,\r\nSender"}})",
            i, i % 97, i, 1 + i % 12, 1 + i % 28, i % 24, i % 60, i % 3 == 0 ? "true" : "false", i % 4, i);
    }
    return json + "]}, {\"name\": \"Archive\", \"items\": []}, {\"name\": \"Deleted Items\"}]}";
}

double peak_rss_mb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;  // kilobytes on Linux
}

void BM_LoadMailbox(benchmark::State& state) {
    const auto json = generated_mailbox(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        auto mailbox = sim::load_mailbox(json, "generated.json");
        benchmark::DoNotOptimize(mailbox);
    }
    state.counters["file_MB"] = static_cast<double>(json.size()) / (1024.0 * 1024.0);
    state.counters["peak_RSS_MB"] = peak_rss_mb();
}
BENCHMARK(BM_LoadMailbox)->Arg(10'000)->Unit(benchmark::kMillisecond);

struct FixedClock : platform::Clock {
    platform::LocalTime now() override { return *sim::parse_date("2001-03-06T15:05:00"); }
};

// A walk costs time in proportion to its steps: the per-item cost stays flat as the Inbox grows.
void BM_WalkInbox(benchmark::State& state) {
    sim::Mailbox mailbox;
    sim::FolderRecord inbox;
    inbox.name = "Inbox";
    inbox.inbox = true;
    for (std::int64_t i = 0; i < state.range(0); ++i) {
        sim::ItemRecord item;
        item.entry_id = "m" + std::to_string(i);
        item.properties.set("ReceivedTime", platform::Date{*sim::parse_date("2001-03-06T10:00:00") +
                                                           std::chrono::seconds(i * 7919 % 86'400)});
        inbox.items.push_back(std::move(item));
    }
    mailbox.folders.push_back(std::move(inbox));
    sim::Transcript transcript;
    transcript.set_sink([](const std::string&) {});
    sim::Faults faults(transcript);
    sim::Edge edge(transcript);
    FixedClock clock;
    sim::SimOutlook outlook(std::move(mailbox), transcript, faults, edge, clock);
    auto folder = outlook.application()->get_namespace("MAPI")->get_default_folder(platform::kOlFolderInbox);
    auto items = folder->items();
    items->sort("[ReceivedTime]", true);
    for (auto _ : state) {
        std::int64_t steps = 0;
        for (auto item = items->get_first(); item; item = items->get_next()) ++steps;
        benchmark::DoNotOptimize(steps);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_WalkInbox)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
