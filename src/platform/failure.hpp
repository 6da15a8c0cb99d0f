#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

#include "platform/dialogs.hpp"
#include "platform/error.hpp"

// The three ways a procedure meets a failing platform call. Only PlatformError is caught: a
// programming error must never be swallowed here.
namespace platform {

// Skip and go on: the call is optional. Gives std::optional of the result (bool for void calls).
template <class Fn>
auto skip_on_failure(Fn&& fn) {
    using R = std::invoke_result_t<Fn>;
    if constexpr (std::is_void_v<R>) {
        try {
            fn();
            return true;
        } catch (const PlatformError&) {
            return false;
        }
    } else {
        try {
            return std::optional<R>(fn());
        } catch (const PlatformError&) {
            return std::optional<R>();
        }
    }
}

// Failure path: the first failing call abandons the rest of the body and runs the failure path,
// which may fail itself (it speaks or shows a message box) and is then cut short in turn.
// Returns true when the body ran to its end.
template <class Body, class OnFailure>
bool with_failure_path(Body&& body, OnFailure&& on_failure) {
    try {
        body();
        return true;
    } catch (const PlatformError& e) {
        skip_on_failure([&] { on_failure(e); });
        return false;
    }
}

// A message per statement: the step reports its own failure in a message box, critical icon and
// OK button, titled with the application title, and the next step runs.
template <class Step>
void report_each_failure(MessageBoxes& boxes, std::string_view prefix, Step&& step) {
    try {
        step();
    } catch (const PlatformError& e) {
        skip_on_failure([&] { boxes.show(std::string(prefix) + error_text(e), kCritical, kAppTitle); });
    }
}

}  // namespace platform
