#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/subscription.hpp"

// The mail client's command bars: toolbars and menus, and the buttons on them.
namespace platform {

inline constexpr std::int32_t kControlButton = 1;       // Controls.Add Type
inline constexpr std::int32_t kButtonCaption = 2;       // Style: caption only
inline constexpr std::int32_t kButtonUp = 0;            // State
inline constexpr std::int32_t kButtonDown = -1;         // State

class CommandBarButton {
public:
    virtual ~CommandBarButton() = default;
    virtual std::string caption() = 0;
    virtual void set_caption(std::string_view text) = 0;
    virtual void set_begin_group(bool on) = 0;
    virtual void set_style(std::int32_t style) = 0;
    virtual std::int32_t state() = 0;
    virtual void set_state(std::int32_t state) = 0;
    virtual void set_tooltip_text(std::string_view text) = 0;
    // Screen position in pixels.
    virtual std::int32_t left() = 0;
    virtual std::int32_t top() = 0;
    virtual Subscription on_click(std::function<void()> handler) = 0;
};

class CommandBarControls {
public:
    virtual ~CommandBarControls() = default;
    // The control with that key (its caption); fails when there is none.
    virtual std::shared_ptr<CommandBarButton> item(std::string_view key) = 0;
    // Adds a control of `type` at the end of the bar; a temporary one goes when the client closes.
    virtual std::shared_ptr<CommandBarButton> add(std::int32_t type, bool temporary) = 0;
};

class CommandBar {
public:
    virtual ~CommandBar() = default;
    virtual std::shared_ptr<CommandBarControls> controls() = 0;
};

class CommandBars {
public:
    virtual ~CommandBars() = default;
    // The bar of that name ("Advanced", "Tools", "Menu Bar"); fails when there is none.
    virtual std::shared_ptr<CommandBar> item(std::string_view name) = 0;
};

}  // namespace platform
