#pragma once

#include <memory>
#include <vector>

#include "platform/agent.hpp"
#include "win/com.hpp"

namespace win {

// The character control's ProgID, under which the character server registers it.
inline constexpr std::string_view kAgentControlProgID = "Agent.Control.2";

// Agent1: the character control, created by its ProgID the first time the add-in calls it, since
// the form binds the control's events at once but needs the control only when the user clicks.
// A failed creation is tried again at the next call.
class WinAgentControl : public platform::AgentControl {
public:
    WinAgentControl() = default;
    ~WinAgentControl() override;
    WinAgentControl(const WinAgentControl&) = delete;
    WinAgentControl& operator=(const WinAgentControl&) = delete;

    void set_connected(bool on) override;
    void characters_load(std::string_view id) override;
    std::shared_ptr<platform::Character> character(std::string_view id) override;
    void characters_unload(std::string_view id) override;
    std::string speech_input_hot_key() override;
    void set_property_sheet_visible(bool on) override;
    void show_default_character_properties() override;

    platform::Subscription on_command(std::function<void(const platform::UserInput&)> handler) override;
    platform::Subscription on_request_complete(std::function<void(const platform::RequestPtr&)> handler) override;
    platform::Subscription on_listen_start(std::function<void(const std::string&)> handler) override;
    platform::Subscription on_listen_complete(std::function<void(const std::string&, std::int32_t)> handler) override;

private:
    const Dispatch& control();

    Dispatch control_;
    std::vector<platform::Subscription> sinks_;  // the control's events, bound while it lives
    platform::Event<const platform::UserInput&> command_;
    platform::Event<const platform::RequestPtr&> request_complete_;
    platform::Event<const std::string&> listen_start_;
    platform::Event<const std::string&, std::int32_t> listen_complete_;
};

// A request object of the character, as Speak, Hide and RequestComplete give it.
std::shared_ptr<platform::Request> make_request(ComPtr<IDispatch> request);

}  // namespace win
