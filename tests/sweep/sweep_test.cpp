// The fault sweep: every scenario is run once to count the platform calls it makes, then once per
// call N with the N-th call failing, and once with every call from N on failing. No run may crash,
// let a platform error escape an event handler, or show a message box the add-in does not have, and
// once the faults heal the add-in must still answer "read this message". Where the failing call
// belongs to a procedure that skips failures, the procedure's later calls must still be made.
//
// To look into a failure: DEZAROR_SWEEP_VERBOSE=1 names each run before it starts (for a crash),
// DEZAROR_SWEEP_SHOW=N or N+ prints one run's transcript, DEZAROR_SWEEP_DUMP=1 lists the calls of
// the fault-free run, and --gtest_filter='*/NAME' picks the scenario.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "sweep/scenario_run.hpp"
#include "sweep/skip_style.hpp"

namespace {

namespace fs = std::filesystem;
using sweep::Plan;

// Runs under the sanitizers (a debug build) are some thirty times slower; there every eighth call is
// swept, from a different first call in each scenario, so the start-up calls that every scenario
// shares are all swept somewhere.
#if defined(__SANITIZE_ADDRESS__)
constexpr std::uint64_t kDefaultStride = 8;
#else
constexpr std::uint64_t kDefaultStride = 1;
#endif

// DEZAROR_SWEEP_STRIDE=K sweeps every K-th call only.
std::uint64_t stride() {
    if (const char* text = std::getenv("DEZAROR_SWEEP_STRIDE")) {
        if (const auto value = std::strtoull(text, nullptr, 10); value > 0) return value;
    }
    return kDefaultStride;
}

struct ScenarioFile {
    std::string name;
    fs::path path;
};

void PrintTo(const ScenarioFile& file, std::ostream* out) { *out << file.name; }

std::vector<ScenarioFile> scenario_files() {
    std::vector<ScenarioFile> files;
    const fs::path dir = fs::path(DEZAROR_SOURCE_DIR) / "tests" / "scenarios";
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(dir, error)) {
        if (entry.path().extension() == ".dz") files.push_back({entry.path().stem().string(), entry.path()});
    }
    std::sort(files.begin(), files.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
    files.push_back({"sample_tour", fs::path(DEZAROR_SOURCE_DIR) / "samples" / "tour.dz"});
    // DEZAROR_SWEEP_EXTRA=FILE sweeps one more scenario on the sample mailbox, such as a stretch of
    // the soak's walk.
    if (const char* extra = std::getenv("DEZAROR_SWEEP_EXTRA")) files.push_back({"extra", fs::path(extra)});
    return files;
}

std::string describe(const sweep::Scenario& s, const sweep::Outcome& base, Plan plan) {
    return s.name + " with call " + std::to_string(plan.n) + " (" + base.calls.at(plan.n - 1) + ")" +
           (plan.and_after ? " and every later call" : "") + " failing";
}

class Sweep : public testing::TestWithParam<ScenarioFile> {};

TEST_P(Sweep, EveryFailingCallIsSurvived) {
    auto s = sweep::load_scenario(GetParam().path, GetParam().name);
    s.stops_at_unusable = GetParam().name != "extra";
    if (!s.mailbox) GTEST_SKIP() << "its mailbox is refused before any platform call";
    const auto base = sweep::run_scenario(s, {}, /*log_calls=*/true, 0);
    for (const auto& problem : base.problems) ADD_FAILURE() << s.name << " without faults: " << problem;
    if (std::getenv("DEZAROR_SWEEP_DUMP")) {
        for (std::size_t i = 0; i < base.calls.size(); ++i) std::cout << i + 1 << " " << base.calls[i] << '\n';
    }

    // DEZAROR_SWEEP_SHOW=N (or N+ for every call from N on) prints that one run's transcript.
    if (const char* show = std::getenv("DEZAROR_SWEEP_SHOW")) {
        const Plan plan{std::strtoull(show, nullptr, 10), std::string_view(show).ends_with("+")};
        const auto run = sweep::run_scenario(s, plan, false, base.lines_run);
        for (const auto& line : run.transcript) std::cout << line << '\n';
        for (const auto& problem : run.problems) std::cout << "PROBLEM: " << problem << '\n';
        return;
    }

    std::uint64_t runs = 0;
    std::uint64_t faults = 0;
    std::uint64_t skip_checked = 0;
    std::vector<std::string> failures;
    const bool verbose = std::getenv("DEZAROR_SWEEP_VERBOSE") != nullptr;
    std::uint64_t first = 1;
    for (const char c : s.name) first += static_cast<unsigned char>(c);
    first = 1 + first % stride();
    for (std::uint64_t n = first; n <= base.call_count; n += stride()) {
        for (const bool and_after : {false, true}) {
            const Plan plan{n, and_after};
            if (verbose) std::cerr << describe(s, base, plan) << std::endl;
            const auto run = sweep::run_scenario(s, plan, /*log_calls=*/!and_after, base.lines_run);
            ++runs;
            faults += run.hits;
            for (const auto& problem : run.problems) failures.push_back(describe(s, base, plan) + ": " + problem);
            if (!and_after) {
                // Everything before the fault repeats exactly, or the sweep would be failing other calls.
                if (run.calls.size() < n || run.calls[n - 1] != base.calls[n - 1])
                    failures.push_back(describe(s, base, plan) + ": the run did not repeat up to the fault");
                else if (const auto skip = sweep::check_skip_style(base.calls, run.calls, n); skip.covered) {
                    ++skip_checked;
                    if (skip.missing) failures.push_back(describe(s, base, plan) + ": " + *skip.missing);
                }
            }
        }
    }
    std::cout << "sweep: " << s.name << ": " << base.call_count << " calls, " << runs << " runs, " << faults
              << " faults survived, " << skip_checked << " in skip-style procedures" << std::endl;
    RecordProperty("runs", std::to_string(runs));
    RecordProperty("faults", std::to_string(faults));
    std::string report;
    for (std::size_t i = 0; i < failures.size() && i < 20; ++i) report += failures[i] + '\n';
    EXPECT_TRUE(failures.empty()) << failures.size() << " failing runs, the first ones:\n" << report;
}

INSTANTIATE_TEST_SUITE_P(Scenarios, Sweep, testing::ValuesIn(scenario_files()),
                         [](const testing::TestParamInfo<ScenarioFile>& info) { return info.param.name; });

}  // namespace
