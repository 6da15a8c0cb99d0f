#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <nlohmann/json_fwd.hpp>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/host.hpp"
#include "sim/edge.hpp"
#include "sim/faults.hpp"
#include "sim/transcript.hpp"

// The whole simulated platform behind one object: the mail client, the character, the Office
// buttons, the settings store, the dialogs, the clock, the timer and the random source, sharing
// one transcript, one set of faults and one edge. Tests and the command line drive it through the
// same methods, one per command of the scenario language.
namespace sim {

struct Mailbox;
class SimOutlook;
class SimAgent;
class SimOffice;
class SettingsFile;
class SimMessageBoxes;
class SimPanel;
class VirtualClock;
class SimTimer;
class SimRandom;

// The seed of `dezaror run` and of tests, so every run repeats.
inline constexpr std::uint64_t kDefaultSeed = 1;

struct SimOptions {
    // The settings store's file; without one the store lives in memory and starts empty.
    std::optional<std::filesystem::path> settings_file;
    std::uint64_t seed = kDefaultSeed;
};

class SimPlatform : public platform::Host {
public:
    // Throws UsageError for a settings file that cannot be used; nothing is changed then.
    explicit SimPlatform(Mailbox mailbox, SimOptions options = {});
    ~SimPlatform() override;
    SimPlatform(const SimPlatform&) = delete;
    SimPlatform& operator=(const SimPlatform&) = delete;

    // platform::Host
    std::shared_ptr<platform::Application> application() override;
    platform::AgentControl& agent() override;
    platform::Timer& timer() override;
    platform::Panel& panel() override;
    platform::SettingsStore& settings() override;
    platform::MessageBoxes& message_boxes() override;
    platform::Clock& clock() override;
    platform::RandomSource& random() override;

    Transcript& transcript() { return transcript_; }
    Faults& faults() { return faults_; }
    Edge& edge() { return edge_; }
    SimOutlook& sim_outlook() { return *outlook_; }
    SimAgent& sim_agent() { return *agent_; }
    SimOffice& sim_office() { return *office_; }
    SettingsFile& settings_file() { return *settings_; }

    // The user in the mail client. Unknown items and folders throw UsageError before anything happens.
    // `start` starts the mail client and connects the add-in; `quit` closes its explorer, then shuts
    // the add-in down.
    void start(platform::Extensibility& addin);
    void quit();
    bool running() const { return addin_ != nullptr; }
    void click_button();
    void click_menu();
    void folder(std::string_view path);
    void select(const std::vector<std::string>& ids);
    void select_none();
    void view(std::string_view name);
    void open(std::string_view id);
    void close(std::string_view id);
    void activate_explorer();
    void activate(std::string_view id);
    void activate_none();
    void activate_other();
    void close_explorer();
    void arrive(const nlohmann::json& item);
    void remove(std::string_view id);
    void mark(std::string_view id, bool read);
    void reminder(std::string_view id);
    void send(std::string_view id);
    // The answer to the next folder picker: a folder, or nothing for a cancelled picker.
    void pick(std::optional<std::string> path);
    void add_folder(std::string_view name);
    void remove_folder(std::string_view name);

    // The user with the character.
    void say(std::string_view words);
    void menu(std::string_view name_or_caption);
    // Performs n queued requests, or with no n until the queue stays empty.
    void perform(std::optional<std::int64_t> n = std::nullopt);
    void perform_all() { perform(); }
    void fail_next();
    void wait(std::int64_t seconds);
    void tick();

    // Faults and inspection; each show_ adds its lines to the transcript.
    void fault(std::string call, std::optional<int> times = std::nullopt);
    void heal(std::string_view call);
    void setting(std::string_view key, std::string_view value);
    void show_settings();
    void show_menu();
    void show_item(std::string_view id);
    void show_folder(std::string_view path);

private:
    Transcript transcript_;
    Faults faults_{transcript_};
    Edge edge_{transcript_};
    std::unique_ptr<VirtualClock> clock_;
    std::unique_ptr<SimTimer> timer_;
    std::unique_ptr<SimRandom> random_;
    std::unique_ptr<SettingsFile> settings_;
    std::unique_ptr<SimMessageBoxes> message_boxes_;
    std::unique_ptr<SimPanel> panel_;
    std::unique_ptr<SimAgent> agent_;
    std::unique_ptr<SimOffice> office_;
    std::unique_ptr<SimOutlook> outlook_;
    platform::Extensibility* addin_ = nullptr;
};

}  // namespace sim
