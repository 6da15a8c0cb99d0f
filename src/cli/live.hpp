#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "cli/voice.hpp"
#include "sim/agent.hpp"

namespace sim {
class SimPlatform;
}

// The character performing its requests as time passes: at the prompt and in the demo it speaks
// each text for as long as saying it takes, and a request stopped meanwhile is cut off at once.
namespace cli {

// How long the character takes over a request other than speech: each animation its own fixed
// time, so a tour has a believable rhythm.
std::chrono::milliseconds acting_time(const sim::QueuedRequest& request);
// How long saying `text` takes when no synthesizer measures it: about the pace of the voice.
std::chrono::milliseconds estimated_speaking_time(std::string_view text);

bool is_speech(const sim::QueuedRequest& request);

// Performs the character's requests in real time. Single-threaded: the owner calls `advance`
// whenever it wakes, and sleeps no longer than `deadline`.
class LiveCharacter {
public:
    using Clock = std::chrono::steady_clock;
    using StartObserver = std::function<void(const sim::QueuedRequest&)>;

    // `voice` may be null: then nothing is heard and speech lasts as long as estimated.
    LiveCharacter(sim::SimPlatform& sim, Voice* voice);
    ~LiveCharacter();
    LiveCharacter(const LiveCharacter&) = delete;
    LiveCharacter& operator=(const LiveCharacter&) = delete;

    // Catches up with the clock: cuts a request that left the head of the queue (stopped, or
    // interrupted by the listening key), completes the one whose time is up, starts the next.
    void advance();
    // When `advance` next has something to do; nothing while the character is idle.
    std::optional<Clock::time_point> deadline() const;
    // `done [N]` in real time: returns after n requests were performed, or when the queue is
    // empty: a long reading is performed to its end, however many pieces it has.
    void perform(std::optional<std::int64_t> n);
    bool idle() const;
    // Cuts what is being performed, as the program ends.
    void stop();
    // Called when a request begins being performed: as its sound starts.
    void on_start(StartObserver observer);
    // Called every few hundredths of a second while `perform` waits, for keys pressed meanwhile.
    void while_waiting(std::function<void()> look);

private:
    // A request being performed. With a voice, its sound is fed to the player a little ahead of
    // what is heard: speech as it is synthesised, so its length is known only once synthesis ends.
    struct Performance {
        std::int32_t id = 0;
        Clock::time_point start;
        Clock::duration length{};
        bool speech = false;
        std::unique_ptr<SpeechStream> stream;  // the speech still being synthesised
        std::size_t total = 0;                 // the silence's samples; speech's once synthesised
        bool length_known = true;
        std::size_t played = 0;  // samples handed to the player so far
        Samples unheard;         // speech handed to the player and not yet heard, so not yet recorded
        std::size_t recorded = 0;
    };

    // Records the speech heard by `now`.
    void record_heard(Clock::time_point now);

    void start(const sim::QueuedRequest& request, Clock::time_point at);
    void feed(Clock::time_point now);
    void cut(Clock::time_point now);
    // Completes the current performance; true when it was one.
    bool finish_if_due(Clock::time_point now);

    sim::SimPlatform& sim_;
    Voice* voice_;
    StartObserver on_start_;
    std::function<void()> while_waiting_;
    std::optional<Performance> current_;
    std::int64_t performed_ = 0;
};

// Outside real time (`dezaror run`): each request the character performs is heard, and its speech
// recorded, whole as `done` performs it; one stopped before it was performed is never heard.
class Recorder {
public:
    Recorder(sim::SimPlatform& sim, Voice& voice);
    ~Recorder();
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;

private:
    sim::SimPlatform& sim_;
};

}  // namespace cli
