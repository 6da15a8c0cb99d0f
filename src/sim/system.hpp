#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <random>

#include "platform/system.hpp"
#include "sim/edge.hpp"
#include "sim/faults.hpp"

// Time and chance under the scenario's control: a clock that moves only when told, the form's
// timer ticking on that clock, and a seeded random source, so that every run repeats.
namespace sim {

class VirtualClock : public platform::Clock {
public:
    explicit VirtualClock(platform::LocalTime start) : start_(start), now_(start) {}

    platform::LocalTime now() override { return now_; }

    // Time passes; it never goes back.
    void advance(std::chrono::seconds by);
    platform::LocalTime start() const { return start_; }
    std::chrono::seconds elapsed() const { return now_ - start_; }

private:
    platform::LocalTime start_;
    platform::LocalTime now_;
};

// The form's Timer1: enabled from the start, ticking every 65 seconds of the virtual clock,
// counted from the moment the clock started.
class SimTimer : public platform::Timer {
public:
    static constexpr std::int32_t kIntervalMs = 65000;

    SimTimer(VirtualClock& clock, Edge& edge, Faults& faults) : clock_(clock), edge_(edge), faults_(faults) {}

    std::int32_t interval_ms() override;
    platform::Subscription on_tick(std::function<void()> handler) override {
        return tick_.subscribe(std::move(handler));
    }

    // `wait SECONDS`: the clock moves on, and the timer ticks once at each 65-second mark it
    // passes, with the clock showing that mark. Throws UsageError for a negative time.
    void wait(std::int64_t seconds);
    // `tick`: one tick now, the clock unmoved.
    void tick();

private:
    VirtualClock& clock_;
    Edge& edge_;
    Faults& faults_;
    platform::Event<> tick_;
};

// The runtime's random source, seeded: `randomize` reseeds from the virtual clock mixed with the
// seed, so a run repeats under the same seed and starting time.
class SimRandom : public platform::RandomSource {
public:
    SimRandom(std::uint64_t seed, VirtualClock& clock, Faults& faults);

    void randomize() override;
    double next() override;

private:
    std::uint64_t seed_;
    VirtualClock& clock_;
    Faults& faults_;
    std::mt19937_64 generator_;
};

}  // namespace sim
