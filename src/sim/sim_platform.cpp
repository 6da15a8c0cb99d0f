#include "sim/sim_platform.hpp"

#include <nlohmann/json.hpp>

#include "sim/agent.hpp"
#include "sim/dialogs.hpp"
#include "sim/mailbox.hpp"
#include "sim/office.hpp"
#include "sim/outlook.hpp"
#include "sim/settings_store.hpp"
#include "sim/system.hpp"

namespace sim {

namespace {

// The mail client loads its add-ins as it starts, and closes them as it closes.
constexpr std::int32_t kConnectAtStartup = 1;
constexpr std::int32_t kDisconnectAtShutdown = 0;

// Where the clock starts for a mailbox that does not say: a fixed time, so runs repeat.
constexpr platform::LocalTime kDefaultNow =
    std::chrono::local_days{std::chrono::year{2001} / 3 / 6} + std::chrono::hours{15} + std::chrono::minutes{5};

}  // namespace

SimPlatform::SimPlatform(Mailbox mailbox, SimOptions options) {
    clock_ = std::make_unique<VirtualClock>(mailbox.now.value_or(kDefaultNow));
    timer_ = std::make_unique<SimTimer>(*clock_, edge_, faults_);
    random_ = std::make_unique<SimRandom>(options.seed, *clock_, faults_);
    settings_ = options.settings_file ? std::make_unique<SettingsFile>(transcript_, faults_, *options.settings_file)
                                      : std::make_unique<SettingsFile>(transcript_, faults_);
    message_boxes_ = std::make_unique<SimMessageBoxes>(transcript_, faults_);
    panel_ = std::make_unique<SimPanel>(transcript_, faults_);
    agent_ = std::make_unique<SimAgent>(transcript_, faults_, edge_, options.seed);
    office_ = std::make_unique<SimOffice>(transcript_, faults_, edge_);
    outlook_ = std::make_unique<SimOutlook>(std::move(mailbox), transcript_, faults_, edge_, *clock_);
    outlook_->set_command_bars(office_->command_bars());
}

SimPlatform::~SimPlatform() = default;

std::shared_ptr<platform::Application> SimPlatform::application() { return outlook_->application(); }
platform::AgentControl& SimPlatform::agent() { return *agent_; }
platform::Timer& SimPlatform::timer() { return *timer_; }
platform::Panel& SimPlatform::panel() { return *panel_; }
platform::SettingsStore& SimPlatform::settings() { return *settings_; }
platform::MessageBoxes& SimPlatform::message_boxes() { return *message_boxes_; }
platform::Clock& SimPlatform::clock() { return *clock_; }
platform::RandomSource& SimPlatform::random() { return *random_; }

void SimPlatform::start(platform::Extensibility& addin) {
    if (addin_) throw UsageError("the mail client is running already");
    outlook_->start();
    addin_ = &addin;
    edge_.deliver("OnConnection", [&] { addin.OnConnection(outlook_->application(), kConnectAtStartup); });
    edge_.deliver("OnStartupComplete", [&] { addin.OnStartupComplete(); });
}

void SimPlatform::quit() {
    if (!addin_) throw UsageError("the mail client is not running");
    auto* addin = std::exchange(addin_, nullptr);
    outlook_->quit();
    edge_.deliver("OnBeginShutdown", [&] { addin->OnBeginShutdown(); });
    edge_.deliver("OnDisconnection", [&] { addin->OnDisconnection(kDisconnectAtShutdown); });
    // The client discards the temporary controls last, as it closes, so a restart adds them afresh.
    office_->discard_temporary();
}

void SimPlatform::click_button() { office_->click_button(); }
void SimPlatform::click_menu() { office_->click_menu(); }
void SimPlatform::folder(std::string_view path) { outlook_->folder(path); }
void SimPlatform::select(const std::vector<std::string>& ids) { outlook_->select(ids); }
void SimPlatform::select_none() { outlook_->select_none(); }
void SimPlatform::view(std::string_view name) { outlook_->view(name); }
void SimPlatform::open(std::string_view id) { outlook_->open(id); }
void SimPlatform::close(std::string_view id) { outlook_->close(id); }
void SimPlatform::activate_explorer() { outlook_->activate_explorer(); }
void SimPlatform::activate(std::string_view id) { outlook_->activate(id); }
void SimPlatform::activate_none() { outlook_->activate_none(); }
void SimPlatform::activate_other() { outlook_->activate_other(); }
void SimPlatform::close_explorer() { outlook_->close_explorer(); }
void SimPlatform::arrive(const nlohmann::json& item) { outlook_->arrive(item); }
void SimPlatform::remove(std::string_view id) { outlook_->remove(id); }
void SimPlatform::mark(std::string_view id, bool read) { outlook_->mark(id, read); }
void SimPlatform::reminder(std::string_view id) { outlook_->reminder(id); }
void SimPlatform::send(std::string_view id) { outlook_->send(id); }
void SimPlatform::pick(std::optional<std::string> path) { outlook_->pick(std::move(path)); }
void SimPlatform::add_folder(std::string_view name) { outlook_->add_folder(name); }
void SimPlatform::remove_folder(std::string_view name) { outlook_->remove_folder(name); }

void SimPlatform::say(std::string_view words) { agent_->say(words); }
void SimPlatform::menu(std::string_view name_or_caption) { agent_->menu(name_or_caption); }

void SimPlatform::perform(std::optional<std::int64_t> n) { agent_->perform(n); }

void SimPlatform::fail_next() { agent_->fail_next(); }
void SimPlatform::wait(std::int64_t seconds) { timer_->wait(seconds); }
void SimPlatform::tick() { timer_->tick(); }

void SimPlatform::fault(std::string call, std::optional<int> times) { faults_.fail(std::move(call), times); }
void SimPlatform::heal(std::string_view call) { faults_.heal(call); }
void SimPlatform::setting(std::string_view key, std::string_view value) { settings_->set(key, value); }

void SimPlatform::show_settings() {
    for (const auto& [key, value] : settings_->values()) transcript_.add("settings", key + " " + quote(value));
}

void SimPlatform::show_menu() {
    for (auto& line : agent_->menu_lines()) transcript_.raw(std::move(line));
}

void SimPlatform::show_item(std::string_view id) { transcript_.add("item", outlook_->show_item(id)); }
void SimPlatform::show_folder(std::string_view path) { transcript_.add("folder", outlook_->show_folder(path)); }

}  // namespace sim
