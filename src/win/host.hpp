#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>

#include "platform/host.hpp"
#include "win/agent.hpp"
#include "win/registry.hpp"

// The platform inside the mail client's process: its application object, the character control
// and the timer hosted on a hidden window, the registry settings store, message boxes and the
// information panel, the local clock and a random source seeded from it.
namespace win {

class WinMessageBoxes : public platform::MessageBoxes {
public:
    void show(std::string_view text, std::int32_t style, std::string_view title) override;
};

// Timer1: WM_TIMER on a hidden message-only window, every interval while the window lives.
class WinTimer : public platform::Timer {
public:
    explicit WinTimer(std::int32_t interval_ms);
    ~WinTimer() override;
    WinTimer(const WinTimer&) = delete;
    WinTimer& operator=(const WinTimer&) = delete;
    std::int32_t interval_ms() override { return interval_ms_; }
    platform::Subscription on_tick(std::function<void()> handler) override {
        return tick_.subscribe(std::move(handler));
    }

    void raise_tick() { tick_.raise(); }

private:
    std::int32_t interval_ms_;
    HWND window_ = nullptr;
    platform::Event<> tick_;
};

// The host form seen as the information panel: a small window, created when first shown.
class WinPanel : public platform::Panel {
public:
    ~WinPanel() override;
    void show() override;
    void hide() override;
    HWND window() const { return window_; }

private:
    HWND window_ = nullptr;
    HFONT title_font_ = nullptr;
    HFONT version_font_ = nullptr;
};

class WinClock : public platform::Clock {
public:
    platform::LocalTime now() override;
};

// The scripting runtime's own generator: a 24-bit linear congruential sequence.
class WinRandom : public platform::RandomSource {
public:
    explicit WinRandom(platform::Clock& clock) : clock_(clock) {}
    void randomize() override;
    double next() override;

private:
    platform::Clock& clock_;
    std::uint32_t seed_ = 0x50000;
};

// Unregisters the window classes of the timer and the panel, registered with the first of each; called
// when the module unloads, so a later load registers them afresh with its own window procedures.
void unregister_window_classes();

class WinHost : public platform::Host {
public:
    WinHost();
    ~WinHost() override;

    // The application the mail client handed to the connection.
    void set_application(std::shared_ptr<platform::Application> application) { application_ = std::move(application); }

    std::shared_ptr<platform::Application> application() override;
    platform::AgentControl& agent() override { return agent_; }
    platform::Timer& timer() override { return timer_; }
    platform::Panel& panel() override { return panel_; }
    platform::SettingsStore& settings() override { return settings_; }
    platform::MessageBoxes& message_boxes() override { return boxes_; }
    platform::Clock& clock() override { return clock_; }
    platform::RandomSource& random() override { return random_; }

private:
    std::shared_ptr<platform::Application> application_;
    WinAgentControl agent_;
    WinTimer timer_;
    WinPanel panel_;
    RegistrySettings settings_;
    WinMessageBoxes boxes_;
    WinClock clock_;
    WinRandom random_{clock_};
};

}  // namespace win
