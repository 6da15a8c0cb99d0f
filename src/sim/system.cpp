#include "sim/system.hpp"

#include <fmt/format.h>

namespace sim {

namespace {

constexpr std::chrono::seconds kInterval{SimTimer::kIntervalMs / 1000};

}  // namespace

void VirtualClock::advance(std::chrono::seconds by) {
    if (by.count() > 0) now_ += by;
}

std::int32_t SimTimer::interval_ms() {
    faults_.check("Interval");
    return kIntervalMs;
}

void SimTimer::wait(std::int64_t seconds) {
    if (seconds < 0) throw UsageError(fmt::format("cannot wait {} seconds: time does not go back", seconds));
    const auto end = clock_.elapsed() + std::chrono::seconds(seconds);
    for (;;) {
        const auto next_mark = (clock_.elapsed() / kInterval + 1) * kInterval;
        if (next_mark > end) break;
        clock_.advance(next_mark - clock_.elapsed());
        tick();
    }
    clock_.advance(end - clock_.elapsed());
}

void SimTimer::tick() {
    edge_.deliver("Timer1.Timer", [&] { tick_.raise(); });
}

SimRandom::SimRandom(std::uint64_t seed, VirtualClock& clock, Faults& faults)
    : seed_(seed), clock_(clock), faults_(faults), generator_(seed) {}

void SimRandom::randomize() {
    faults_.check("Randomize");
    const auto now = static_cast<std::uint64_t>(clock_.now().time_since_epoch().count());
    std::seed_seq mixed{static_cast<std::uint32_t>(seed_), static_cast<std::uint32_t>(seed_ >> 32),
                        static_cast<std::uint32_t>(now), static_cast<std::uint32_t>(now >> 32)};
    generator_.seed(mixed);
}

double SimRandom::next() {
    faults_.check("Rnd");
    // The top 53 bits as a fraction: the same numbers from every standard library, unlike
    // std::uniform_real_distribution, whose algorithm each library chooses.
    return static_cast<double>(generator_() >> 11) * 0x1.0p-53;
}

}  // namespace sim
