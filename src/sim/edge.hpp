#pragma once

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/error.hpp"
#include "sim/transcript.hpp"

namespace sim {

// A scenario line or input file the simulator cannot use: an unknown command, item or folder.
// The command line prints it as a "! " line naming the file and line.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The platform edge: every event the simulator raises into the add-in goes through here.
// A PlatformError that escapes a handler is dropped, as the real platform drops it, but leaves an
// "error:" transcript line, so tests see the bug. When the outermost event returns, the hooks
// run: the character delivers the completions of the requests stopped meanwhile.
class Edge {
public:
    explicit Edge(Transcript& transcript) : transcript_(transcript) {}

    template <class Fn>
    void deliver(std::string_view event, Fn&& fn) {
        ++depth_;
        try {
            fn();
        } catch (const platform::PlatformError& e) {
            ++escaped_;
            transcript_.add("error", std::string(event) + " let a platform error escape: " + platform::error_text(e));
        }
        --depth_;
        if (depth_ == 0 && !running_hooks_) run_hooks();
    }

    void after_each_event(std::function<void()> hook) { hooks_.push_back(std::move(hook)); }
    bool inside_event() const { return depth_ > 0; }
    std::uint64_t escaped() const { return escaped_; }

private:
    void run_hooks() {
        running_hooks_ = true;
        for (auto& hook : hooks_) hook();
        running_hooks_ = false;
    }

    Transcript& transcript_;
    std::vector<std::function<void()>> hooks_;
    int depth_ = 0;
    bool running_hooks_ = false;
    std::uint64_t escaped_ = 0;
};

}  // namespace sim
