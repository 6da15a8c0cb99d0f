#pragma once

#include <memory>
#include <nlohmann/json_fwd.hpp>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/office.hpp"
#include "platform/outlook.hpp"
#include "platform/system.hpp"
#include "sim/edge.hpp"
#include "sim/faults.hpp"
#include "sim/mailbox.hpp"
#include "sim/transcript.hpp"

namespace sim {

namespace detail {
struct Store;
}

// The simulated mail client: the store of a mailbox, its explorer and inspectors, and the objects
// the add-in reaches through platform::Application. The same item is always the same object.
//
// The user's operations below raise the mail client's events in the order of the scenario
// language; an unknown item or folder throws UsageError before anything happens.
class SimOutlook {
public:
    SimOutlook(Mailbox mailbox, Transcript& transcript, Faults& faults, Edge& edge, platform::Clock& clock);
    ~SimOutlook();
    SimOutlook(const SimOutlook&) = delete;
    SimOutlook& operator=(const SimOutlook&) = delete;

    std::shared_ptr<platform::Application> application();
    // The explorer's command bars; until they are set, asking the explorer for them fails.
    void set_command_bars(std::shared_ptr<platform::CommandBars> bars);
    std::string user_name() const;

    // The mail client starts with the mailbox's explorer (or none) active.
    void start();
    // Its explorer closes, then the application's Quit.
    void quit();
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
    // The answer to the next folder picker: a folder path, or nullopt for cancel.
    void pick(std::optional<std::string> path);
    void add_folder(std::string_view name);
    void remove_folder(std::string_view name);

    // `show item`: "m1 {...}"; `show folder`: "PATH ID ID ...".
    std::string show_item(std::string_view id) const;
    std::string show_folder(std::string_view path) const;

    bool has_item(std::string_view id) const;
    // The path of the folder the item is in; nullopt for an item in none (new, associated).
    std::optional<std::string> folder_of(std::string_view id) const;
    // "explorer", "inspector m1", "other" or "Nothing".
    std::string active_window_name() const;
    bool has_explorer() const;

private:
    std::unique_ptr<detail::Store> store_;
};

}  // namespace sim
