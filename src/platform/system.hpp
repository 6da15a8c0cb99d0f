#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>

#include "platform/subscription.hpp"

namespace platform {

// A local wall-clock time, to the second, as the mail client reports its dates.
using LocalTime = std::chrono::local_seconds;
// A date property: empty when the item has none.
using Date = std::optional<LocalTime>;

class Clock {
public:
    virtual ~Clock() = default;
    virtual LocalTime now() = 0;
};

// The form's timer control: ticks every interval while enabled.
class Timer {
public:
    virtual ~Timer() = default;
    virtual std::int32_t interval_ms() = 0;
    virtual Subscription on_tick(std::function<void()> handler) = 0;
};

// The random source of the scripting runtime.
class RandomSource {
public:
    virtual ~RandomSource() = default;
    // Seeds the generator from the platform's clock (repeatable under a fixed seed in the simulator).
    virtual void randomize() = 0;
    // The next number in [0, 1).
    virtual double next() = 0;
};

}  // namespace platform
