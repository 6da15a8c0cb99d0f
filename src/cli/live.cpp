#include "cli/live.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <array>
#include <thread>
#include <utility>

#include "sim/edge.hpp"
#include "sim/sim_platform.hpp"

namespace cli {

namespace {

using namespace std::chrono_literals;
using Action = sim::QueuedRequest::Action;

struct AnimationTime {
    std::string_view name;
    std::chrono::milliseconds time;
};

// The animations the add-in plays, with how long each takes: greetings and gestures longer,
// the small turns to and from reading shorter.
constexpr std::array kAnimationTimes{
    AnimationTime{"Read", 800ms},
    AnimationTime{"ReadReturn", 600ms},
    AnimationTime{"Readreturn", 600ms},
    AnimationTime{"ReadContinued", 700ms},
    AnimationTime{"Announce", 1200ms},
    AnimationTime{"Congratulate", 1500ms},
    AnimationTime{"Congratulate_2", 1500ms},
    AnimationTime{"Greet", 1500ms},
    AnimationTime{"Wave", 1500ms},
    AnimationTime{"Pleased", 1000ms},
    AnimationTime{"GestureLeft", 900ms},
    AnimationTime{"DoMagic1", 1200ms},
    AnimationTime{"DoMagic2", 1200ms},
    AnimationTime{"GetAttention", 1000ms},
    AnimationTime{"GetAttentionReturn", 500ms},
    AnimationTime{"Explain", 1200ms},
    AnimationTime{"Uncertain", 1000ms},
    AnimationTime{"LookLeft", 600ms},
    AnimationTime{"LookLeftReturn", 400ms},
    AnimationTime{"LookRight", 600ms},
    AnimationTime{"LookRightReturn", 400ms},
    AnimationTime{"Think", 1200ms},
    AnimationTime{"Surprised", 1000ms},
    AnimationTime{"Suggest", 1000ms},
    AnimationTime{"Search", 1500ms},
    AnimationTime{"Confused", 1000ms},
    AnimationTime{"Acknowledge", 800ms},
    AnimationTime{"Decline", 900ms},
    AnimationTime{"Process", 1500ms},
    AnimationTime{"Write", 1200ms},
    AnimationTime{"WriteReturn", 500ms},
    AnimationTime{"StartListening", 400ms},
    AnimationTime{"StopListening", 400ms},
};
// An animation the table does not know.
constexpr auto kOtherAnimation = 800ms;
constexpr auto kShowOrHide = 600ms;
constexpr auto kMove = 700ms;
constexpr auto kGesture = 800ms;

// The voice's pace when nothing measures it: about 17 characters a second, and a breath.
constexpr auto kPerCharacter = 60ms;
constexpr auto kBreath = 150ms;

// The player is fed this far ahead of what is heard, and woken this often to be fed again: little
// enough that a cut is heard at once, enough that the audio never runs dry.
constexpr auto kFeedAhead = 150ms;
constexpr auto kFeedEvery = 50ms;

std::size_t samples_in(LiveCharacter::Clock::duration d, int sample_rate) {
    if (d <= LiveCharacter::Clock::duration::zero()) return 0;
    const auto us = std::chrono::duration_cast<std::chrono::microseconds>(d).count();
    return static_cast<std::size_t>(us * sample_rate / 1000000);
}

}  // namespace

std::chrono::milliseconds acting_time(const sim::QueuedRequest& request) {
    switch (request.action) {
        case Action::Show:
        case Action::Hide:
            return kShowOrHide;
        case Action::MoveTo:
            return kMove;
        case Action::GestureAt:
            return kGesture;
        case Action::Play:
            for (const auto& a : kAnimationTimes)
                if (a.name == request.text) return a.time;
            return kOtherAnimation;
        case Action::Speak:
        case Action::Think:
            return estimated_speaking_time(request.said);
    }
    return kOtherAnimation;
}

std::chrono::milliseconds estimated_speaking_time(std::string_view text) {
    return kBreath + kPerCharacter * static_cast<std::int64_t>(text.size());
}

bool is_speech(const sim::QueuedRequest& request) {
    return request.action == Action::Speak || request.action == Action::Think;
}


LiveCharacter::LiveCharacter(sim::SimPlatform& sim, Voice* voice) : sim_(sim), voice_(voice) {}

LiveCharacter::~LiveCharacter() = default;

bool LiveCharacter::idle() const { return !current_ && !sim_.sim_agent().head(); }

std::optional<LiveCharacter::Clock::time_point> LiveCharacter::deadline() const {
    if (!current_) {
        if (sim_.sim_agent().head()) return Clock::now();
        return std::nullopt;
    }
    if (!current_->length_known) return Clock::now() + kFeedEvery;
    const auto end = current_->start + current_->length;
    if (voice_ && current_->played < current_->total) return std::min(end, Clock::now() + kFeedEvery);
    return end;
}

void LiveCharacter::start(const sim::QueuedRequest& request, Clock::time_point at) {
    Performance p;
    p.id = request.id;
    p.start = at;
    p.speech = is_speech(request);
    if (voice_ && p.speech) {
        p.stream = voice_->stream(request.said);
        // The first samples come within a chunk of synthesis; the speech starts when they do.
        p.stream->take(p.unheard, 0, true);
        p.start = std::max(at, Clock::now());
        p.length_known = false;
    } else if (voice_) {
        p.length = acting_time(request);
        p.total = samples_in(p.length, voice_->sample_rate());
    } else {
        p.length = acting_time(request);
    }
    current_ = std::move(p);
    if (on_start_) on_start_(request);
}

void LiveCharacter::record_heard(Clock::time_point now) {
    auto& p = *current_;
    if (!p.speech) return;
    const auto heard = std::min(p.played, samples_in(now - p.start, voice_->sample_rate()));
    if (heard <= p.recorded) return;
    const auto n = heard - p.recorded;
    voice_->record(std::span(p.unheard).first(n));
    p.unheard.erase(p.unheard.begin(), p.unheard.begin() + static_cast<std::ptrdiff_t>(n));
    p.recorded = heard;
}

void LiveCharacter::feed(Clock::time_point now) {
    if (!voice_ || !current_) return;
    auto& p = *current_;
    const auto target = samples_in(now - p.start + kFeedAhead, voice_->sample_rate());
    if (p.stream) {
        const auto before = p.unheard.size();
        if (target > p.played) p.stream->take(p.unheard, target - p.played, false);
        const auto fresh = p.unheard.size() - before;
        voice_->play(std::span(p.unheard).subspan(before, fresh));
        p.played += fresh;
        if (p.stream->done()) {
            p.stream.reset();
            p.total = p.played;
            p.length = length_of(p.total, voice_->sample_rate());
            p.length_known = true;
        }
    } else if (target > p.played && p.played < p.total) {
        const auto n = std::min(target, p.total) - p.played;
        voice_->play(Samples(n, 0));
        p.played += n;
    }
    record_heard(now);
}

void LiveCharacter::cut(Clock::time_point now) {
    if (!current_) return;
    // What was heard until the cut is what the recording keeps; the synthesis stops with it.
    if (voice_) record_heard(now);
    current_.reset();
}

bool LiveCharacter::finish_if_due(Clock::time_point now) {
    if (!current_) return false;
    if (voice_) feed(now);
    if (!current_->length_known) return false;
    const auto end = current_->start + current_->length;
    if (now < end) return false;
    if (voice_) {
        feed(end + kFeedAhead);
        record_heard(end);
    }
    current_.reset();
    ++performed_;
    // The completion may queue the next request: it starts where this one ended, so the pace
    // does not drift with how late we woke.
    sim_.perform(1);
    if (auto head = sim_.sim_agent().head()) start(*head, end);
    return true;
}

void LiveCharacter::advance() {
    for (;;) {
        const auto now = Clock::now();
        const auto head = sim_.sim_agent().head();
        if (current_ && (!head || head->id != current_->id)) cut(now);
        if (finish_if_due(now)) continue;
        if (current_) {
            feed(now);
            return;
        }
        if (!head) return;
        start(*head, now);
    }
}

void LiveCharacter::perform(std::optional<std::int64_t> n) {
    if (n && *n < 0) throw sim::UsageError(fmt::format("cannot perform {} requests", *n));
    const auto from = performed_;
    for (;;) {
        advance();
        if (idle() || (n && performed_ - from >= *n)) return;
        auto wake = deadline();
        if (while_waiting_) {
            while_waiting_();
            const auto soon = Clock::now() + std::chrono::milliseconds(30);
            wake = wake ? std::min(*wake, soon) : soon;
        }
        if (wake) std::this_thread::sleep_until(*wake);
    }
}

void LiveCharacter::stop() { cut(Clock::now()); }

void LiveCharacter::on_start(StartObserver observer) { on_start_ = std::move(observer); }

void LiveCharacter::while_waiting(std::function<void()> look) { while_waiting_ = std::move(look); }

Recorder::Recorder(sim::SimPlatform& sim, Voice& voice) : sim_(sim) {
    sim_.sim_agent().on_perform([&voice](const sim::QueuedRequest& request, std::int32_t status) {
        // Only what the character performed to the end is heard; a request stopped before its
        // turn, or one that failed, never was.
        if (status != platform::kRequestComplete) return;
        if (is_speech(request)) return voice.say(request.said);
        voice.play(silence(acting_time(request), voice.sample_rate()));
    });
}

Recorder::~Recorder() { sim_.sim_agent().on_perform({}); }

}  // namespace cli
