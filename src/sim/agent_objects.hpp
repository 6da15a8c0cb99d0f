#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/agent.hpp"
#include "sim/agent.hpp"
#include "sim/faults.hpp"
#include "sim/grammar.hpp"

// The objects the simulated character control hands out: its requests, the character, and the
// character's command set with its commands. Only the control's own files see them.
namespace sim {

namespace agent_detail {

// The character server's own error numbers for the misuses the simulator refuses.
inline constexpr std::int32_t kErrInvalidArgument = 5;
inline constexpr std::int32_t kErrNotLoaded = -2147213301;
inline constexpr std::int32_t kErrAlreadyLoaded = -2147213303;
inline constexpr std::int32_t kErrNotConnected = -2147213306;

[[noreturn]] void throw_not_loaded();
[[noreturn]] void throw_invalid(std::string_view what);

}  // namespace agent_detail

class SimAgent::SimRequest : public platform::Request {
public:
    SimRequest(Faults& faults, QueuedRequest request) : faults_(faults), request_(std::move(request)) {}
    std::int32_t id() override {
        faults_.check("ID");
        return request_.id;
    }
    std::int32_t status() override {
        faults_.check("Status");
        return status_;
    }

    const QueuedRequest& request() const { return request_; }
    std::int32_t status_ = platform::kRequestPending;

private:
    Faults& faults_;
    QueuedRequest request_;
};

class SimAgent::SimCommand : public platform::AgentCommand {
public:
    SimCommand(SimAgent& agent, std::shared_ptr<bool> alive, std::string name, std::optional<std::string> caption,
               std::optional<VoiceGrammar> voice, bool enabled, bool visible);

    bool enabled() override;
    void set_enabled(bool on) override;
    bool visible() override;
    void set_visible(bool on) override;

    bool in_menu() const { return caption.has_value() && is_visible; }

    const std::string name;
    const std::optional<std::string> caption;
    const std::optional<VoiceGrammar> voice;
    bool is_enabled;
    bool is_visible;

private:
    void use(std::string_view call);
    SimAgent& agent_;
    std::shared_ptr<bool> alive_;
};

class SimAgent::SimCommands : public platform::AgentCommands {
public:
    SimCommands(SimAgent& agent, std::shared_ptr<bool> alive) : agent_(agent), alive_(std::move(alive)) {}

    void set_caption(std::string_view text) override { set("Caption", text); }
    void set_voice_caption(std::string_view text) override { set("VoiceCaption", text); }
    void set_voice(std::string_view text) override { set("Voice", text); }
    std::shared_ptr<platform::AgentCommand> add(std::string_view name, std::optional<std::string> caption,
                                                std::optional<std::string> voice, std::optional<bool> enabled,
                                                std::optional<bool> visible) override;
    std::shared_ptr<platform::AgentCommand> item(std::string_view name) override;

    std::shared_ptr<SimCommand> find(std::string_view name) const;

    std::vector<std::shared_ptr<SimCommand>> commands;  // in the order added: the menu's order

private:
    void set(std::string_view property, std::string_view text);
    void use(std::string_view call);
    SimAgent& agent_;
    std::shared_ptr<bool> alive_;
};

class SimAgent::SimCharacter : public platform::Character {
public:
    explicit SimCharacter(SimAgent& agent);

    platform::RequestPtr show() override;
    platform::RequestPtr hide() override;
    platform::RequestPtr play(std::string_view animation) override;
    platform::RequestPtr speak(std::string_view text) override;
    platform::RequestPtr think(std::string_view text) override;
    platform::RequestPtr move_to(std::int16_t x, std::int16_t y) override;
    platform::RequestPtr gesture_at(std::int16_t x, std::int16_t y) override;
    void stop(const platform::RequestPtr& request) override;
    void stop_all() override;
    bool listen(bool on) override;
    std::string name() override;
    std::int16_t left() override;
    void set_left(std::int16_t x) override;
    std::int16_t top() override;
    void set_top(std::int16_t y) override;
    std::shared_ptr<platform::AgentCommands> commands() override;

    std::shared_ptr<bool> alive;  // false once unloaded: the handles the add-in still holds then fail
    std::shared_ptr<SimCommands> command_set;

private:
    using Action = QueuedRequest::Action;
    platform::RequestPtr request(std::string_view call, Action action, std::string_view text = {}, std::int16_t x = 0,
                                 std::int16_t y = 0);
    void use(std::string_view call);
    SimAgent& agent_;
};

}  // namespace sim
