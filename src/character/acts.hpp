#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "character/form.hpp"
#include "platform/failure.hpp"

// The character's requests and the closing of windows that every subsystem makes as statements of their own:
// a failure is skipped and the caller goes on. Unqualified calls with the form find them, wherever they are made.
namespace character {

// An empty animation plays nothing, so that a row of data can leave one out.
inline void play(frmAgentCtrl& f, std::string_view animation) {
    if (animation.empty()) return;
    platform::skip_on_failure([&] { f.oAgentChar->play(animation); });
}

inline void speak(frmAgentCtrl& f, const std::string& text) {
    platform::skip_on_failure([&] { f.oAgentChar->speak(text); });
}

// Closes the window a field holds. Its Close handler may empty the field while the call runs, so the window is
// held here; an empty field fails as the platform would. The failure reaches the caller, whose style decides.
inline void close_window(const platform::WithEvents<platform::Inspector>& field, std::int32_t save_mode) {
    const platform::Ref<platform::Inspector> inspector = field.ptr();
    inspector->close(save_mode);
}

// The same, skipping a failure.
inline void close_window_or_skip(const platform::WithEvents<platform::Inspector>& field, std::int32_t save_mode) {
    platform::skip_on_failure([&] { close_window(field, save_mode); });
}

}  // namespace character
