#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace platform {

// A bound event handler: it stays bound exactly as long as the subscription lives.
class [[nodiscard]] Subscription {
public:
    Subscription() = default;
    explicit Subscription(std::function<void()> unbind) : unbind_(std::move(unbind)) {}
    Subscription(Subscription&& o) noexcept : unbind_(std::exchange(o.unbind_, {})) {}
    Subscription& operator=(Subscription o) noexcept {
        std::swap(unbind_, o.unbind_);
        return *this;
    }
    Subscription(const Subscription&) = delete;
    ~Subscription() { reset(); }
    void reset() noexcept {
        if (auto unbind = std::exchange(unbind_, {})) unbind();
    }
    explicit operator bool() const noexcept { return static_cast<bool>(unbind_); }

private:
    std::function<void()> unbind_;  // Runs in destructors, so it must swallow platform failures itself.
};

// An event source of a platform object. Handlers may unbind themselves or others while it is
// being raised: a handler unbound during delivery is not called afterwards, one bound during
// delivery waits for the next raise. The subscription may outlive the source.
template <class... Args>
class Event {
public:
    Subscription subscribe(std::function<void(Args...)> handler) {
        const std::uint64_t id = ++state_->next_id;
        state_->slots.push_back({id, std::make_shared<std::function<void(Args...)>>(std::move(handler))});
        return Subscription([weak = std::weak_ptr<State>(state_), id] {
            if (auto state = weak.lock()) {
                auto& slots = state->slots;
                slots.erase(std::remove_if(slots.begin(), slots.end(), [id](const Slot& s) { return s.id == id; }),
                            slots.end());
            }
        });
    }

    void raise(Args... args) {
        auto state = state_;  // A handler may destroy the object that owns this event.
        std::vector<std::uint64_t> ids;
        ids.reserve(state->slots.size());
        for (const auto& slot : state->slots) ids.push_back(slot.id);
        for (auto id : ids) {
            auto it = std::find_if(state->slots.begin(), state->slots.end(), [id](const Slot& s) { return s.id == id; });
            if (it == state->slots.end()) continue;
            auto handler = it->handler;  // Keep it alive while it runs, even if it unbinds itself.
            (*handler)(args...);
        }
    }

    bool empty() const { return state_->slots.empty(); }

private:
    struct Slot {
        std::uint64_t id;
        std::shared_ptr<std::function<void(Args...)>> handler;
    };
    struct State {
        std::uint64_t next_id = 0;
        std::vector<Slot> slots;
    };
    std::shared_ptr<State> state_ = std::make_shared<State>();
};

}  // namespace platform
