#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// The application title: message box caption, settings application name, command set caption.
inline constexpr std::string_view kAppTitle = "Outlook Dezaror Agent";

// Message box style: the critical-stop icon with an OK button.
inline constexpr std::int32_t kCritical = 16;

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // Shows a modal message box and returns when the user closes it. An empty title shows the
    // component's default title.
    virtual void show(std::string_view text, std::int32_t style, std::string_view title) = 0;
};

// The host form seen as the small information panel.
class Panel {
public:
    virtual ~Panel() = default;
    virtual void show() = 0;  // non-modal, normal window state, with the focus
    virtual void hide() = 0;
};

}  // namespace platform
