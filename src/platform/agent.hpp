#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/subscription.hpp"

// The character control and its loaded character.
namespace platform {

// Request status values.
inline constexpr std::int32_t kRequestComplete = 0;
inline constexpr std::int32_t kRequestFailed = 1;
inline constexpr std::int32_t kRequestPending = 2;
inline constexpr std::int32_t kRequestInterrupted = 3;
inline constexpr std::int32_t kRequestInProgress = 4;

// A queued action of the character. Two handles of the same request have the same id (the
// request's default property).
class Request {
public:
    virtual ~Request() = default;
    virtual std::int32_t id() = 0;
    virtual std::int32_t status() = 0;
};
using RequestPtr = std::shared_ptr<Request>;

class AgentCommand {
public:
    virtual ~AgentCommand() = default;
    virtual bool enabled() = 0;
    virtual void set_enabled(bool on) = 0;
    virtual bool visible() = 0;
    virtual void set_visible(bool on) = 0;
};

// The character's command set: its pop-up menu and voice grammar.
class AgentCommands {
public:
    virtual ~AgentCommands() = default;
    virtual void set_caption(std::string_view text) = 0;
    virtual void set_voice_caption(std::string_view text) = 0;
    virtual void set_voice(std::string_view text) = 0;
    // An argument not given keeps the control's default: no caption, no voice, enabled, visible.
    virtual std::shared_ptr<AgentCommand> add(std::string_view name, std::optional<std::string> caption,
                                              std::optional<std::string> voice, std::optional<bool> enabled,
                                              std::optional<bool> visible) = 0;
    // The command of that name; fails when there is none.
    virtual std::shared_ptr<AgentCommand> item(std::string_view name) = 0;
};

class Character {
public:
    virtual ~Character() = default;
    virtual RequestPtr show() = 0;
    virtual RequestPtr hide() = 0;
    virtual RequestPtr play(std::string_view animation) = 0;
    // Of "|"-separated alternatives the character speaks one.
    virtual RequestPtr speak(std::string_view text) = 0;
    virtual RequestPtr think(std::string_view text) = 0;
    virtual RequestPtr move_to(std::int16_t x, std::int16_t y) = 0;
    virtual RequestPtr gesture_at(std::int16_t x, std::int16_t y) = 0;
    // Removes that request from the queue; its completion (interrupted) comes after the event
    // being handled returns.
    virtual void stop(const RequestPtr& request) = 0;
    virtual void stop_all() = 0;
    virtual bool listen(bool on) = 0;
    virtual std::string name() = 0;
    virtual std::int16_t left() = 0;
    virtual void set_left(std::int16_t x) = 0;
    virtual std::int16_t top() = 0;
    virtual void set_top(std::int16_t y) = 0;
    virtual std::shared_ptr<AgentCommands> commands() = 0;
};

// What the command event carries: the command's name ("" when speech matched none) and the text
// heard ("" when it was chosen from the menu).
struct UserInput {
    std::string name;
    std::string voice;
};

// The character control hosted on the form (Agent1).
class AgentControl {
public:
    virtual ~AgentControl() = default;
    virtual void set_connected(bool on) = 0;
    // Loads the user's default character under `id`; fails when the server or character is missing.
    virtual void characters_load(std::string_view id) = 0;
    virtual std::shared_ptr<Character> character(std::string_view id) = 0;
    virtual void characters_unload(std::string_view id) = 0;
    // The name of the listening key, such as "Scroll Lock".
    virtual std::string speech_input_hot_key() = 0;
    virtual void set_property_sheet_visible(bool on) = 0;
    virtual void show_default_character_properties() = 0;

    virtual Subscription on_command(std::function<void(const UserInput&)> handler) = 0;
    virtual Subscription on_request_complete(std::function<void(const RequestPtr&)> handler) = 0;
    virtual Subscription on_listen_start(std::function<void(const std::string& character_id)> handler) = 0;
    virtual Subscription on_listen_complete(
        std::function<void(const std::string& character_id, std::int32_t cause)> handler) = 0;
};

}  // namespace platform
