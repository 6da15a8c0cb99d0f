#include "sim/faults.hpp"

#include <algorithm>

#include "platform/error.hpp"

namespace sim {

void Faults::fail(std::string call, std::optional<int> times) { failing_[std::move(call)] = times; }

void Faults::heal(std::string_view call) {
    if (auto it = failing_.find(call); it != failing_.end()) failing_.erase(it);
}

void Faults::heal_all() {
    failing_.clear();
    fail_at_.reset();
    fail_after_ = false;
}

void Faults::fail_call_number(std::uint64_t n, bool and_after) {
    fail_at_ = calls_ + n;
    fail_after_ = and_after;
}

void Faults::check(std::string_view call, std::span<const std::string> refused) {
    ++calls_;
    if (logging_) log_.emplace_back(call);
    if (fail_at_ && (calls_ == *fail_at_ || (fail_after_ && calls_ > *fail_at_))) hit(call);
    if (std::find(refused.begin(), refused.end(), call) != refused.end()) hit(call);
    auto it = failing_.find(call);
    if (it == failing_.end()) return;
    if (auto& left = it->second) {
        if (--*left <= 0) failing_.erase(it);
    }
    hit(call);
}

std::int32_t Faults::error_number(std::string_view call) {
    // The character control reports a missing server or character as a component that cannot be created.
    if (call == "Characters.Load") return 429;
    return 440;
}

std::string Faults::error_description(std::string_view call) {
    if (call == "Characters.Load") return "ActiveX component can't create object";
    return "Automation error";
}

void Faults::hit(std::string_view call) {
    ++hits_;
    transcript_.add("fault", call);
    throw platform::PlatformError(error_number(call), error_description(call));
}

}  // namespace sim
