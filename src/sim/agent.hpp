#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/agent.hpp"
#include "sim/edge.hpp"
#include "sim/faults.hpp"
#include "sim/transcript.hpp"

// The simulated character control: one loadable character with a queue of requests that it
// performs only when asked (`done`), a command set with a pop-up menu and voice grammars, and the
// listening key (`say`).
namespace sim {

// A request as the character holds it, for tests and for whoever performs the queue aloud.
struct QueuedRequest {
    enum class Action { Show, Hide, Play, Speak, Think, MoveTo, GestureAt };
    std::int32_t id = 0;
    Action action = Action::Show;
    std::string text;  // the animation, or the text spoken or thought
    // Of the "|"-separated alternatives of a Speak or Think text, the one the character says; it
    // is drawn when the request is queued, so whoever performs it aloud knows it from the start.
    std::string said;
    std::int16_t x = 0;
    std::int16_t y = 0;
};

// The name the simulated user's default character answers `Name` with.
inline constexpr std::string_view kCharacterName = "Dezzy";
// The listening key of the simulated speech input.
inline constexpr std::string_view kListeningKey = "Scroll Lock";
// ListenComplete's cause when the user lets go of the listening key.
inline constexpr std::int32_t kListenUserReleasedKey = 4;

class SimAgent : public platform::AgentControl {
public:
    // `seed` seeds the character's own choice among the alternatives of a text, apart from the
    // add-in's random source, so speaking aloud or not never changes what the add-in draws.
    SimAgent(Transcript& transcript, Faults& faults, Edge& edge, std::uint64_t seed = 1);
    ~SimAgent() override;
    SimAgent(const SimAgent&) = delete;
    SimAgent& operator=(const SimAgent&) = delete;

    // platform::AgentControl. Loading needs the control connected first, as a character can only
    // come from the server; a second load of the same id, or a use of an id not loaded, fails.
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

    // `done [N]`: performs n queued requests, or with no n until the queue stays empty. Each prints
    // `agent: done #N STATUS` and raises RequestComplete. Throws UsageError for a negative n. No
    // count ends it: a reading of a long message is performed to its last piece.
    void perform(std::optional<std::int64_t> n = std::nullopt);
    void perform_all() { perform(); }
    // `fail next`: the next request performed completes with status 1.
    void fail_next() { fail_next_ = true; }
    // `say WORDS`: ListenStart, the interrupted speech's completion, Command, ListenComplete.
    // Nothing happens while no character is loaded: there is nobody to listen.
    void say(std::string_view words);
    // `menu NAME`: the command chosen by name or caption; throws UsageError for one that is not
    // in the menu, or when no character is loaded.
    void menu(std::string_view name_or_caption);
    // `show menu`: one `menu: CAPTION` line per entry, in order, greyed ones marked.
    std::vector<std::string> menu_lines() const;
    // The completions of stopped requests, delivered now. The edge does this after every event;
    // a caller that drove the add-in directly, outside any event, calls it before looking.
    void deliver_stopped();

    // The enabled command whose voice grammar `words` matches best, or "" for none.
    std::string command_heard(std::string_view words) const;
    // The commands a user can say now, as (name, voice text): enabled and visible ones with a
    // voice text, in the order added. Empty while no character is loaded.
    std::vector<std::pair<std::string, std::string>> voice_commands() const;

    bool connected() const { return connected_; }
    bool loaded() const { return static_cast<bool>(character_); }
    bool shown() const { return shown_; }
    bool listening() const { return listening_; }
    std::int16_t x() const { return left_; }
    std::int16_t y() const { return top_; }
    std::vector<QueuedRequest> queue() const;
    // The request the character performs now or next: the head of its queue.
    std::optional<QueuedRequest> head() const;
    // The texts of the Speak requests the character completed, in order.
    const std::vector<std::string>& spoken() const { return spoken_; }
    // The alternatives the character said for the Speak and Think requests it completed, in order.
    const std::vector<std::string>& said() const { return said_; }
    // Whether `spoken` and `said` keep what is completed from now on; a reading of a long message that
    // only prints what is said as it is said need not hold it all.
    void keep_said(bool keep) { keep_said_ = keep; }

    // Called for every request the character performs or drops, before its completion is raised:
    // the command line speaks the text aloud or paces the prompt with it.
    void on_perform(std::function<void(const QueuedRequest&, std::int32_t status)> observer) {
        observer_ = std::move(observer);
    }

private:
    class SimRequest;
    class SimCommand;
    class SimCommands;
    class SimCharacter;

    std::shared_ptr<SimRequest> queue_request(QueuedRequest request);
    void complete(const std::shared_ptr<SimRequest>& request, std::int32_t status);
    void stop_queued(std::int32_t id);
    void stop_all_queued();
    void require_character(std::string_view id) const;
    const SimCommand* find_menu_command(std::string_view name_or_caption) const;

    Transcript& transcript_;
    Faults& faults_;
    Edge& edge_;
    bool connected_ = false;
    std::string character_id_;
    std::shared_ptr<SimCharacter> character_;
    std::int32_t next_request_ = 1;
    std::deque<std::shared_ptr<SimRequest>> queue_;
    std::deque<std::shared_ptr<SimRequest>> stopped_;
    bool fail_next_ = false;
    bool shown_ = false;
    bool listening_ = false;
    std::int16_t left_ = 0;
    std::int16_t top_ = 0;
    std::vector<std::string> spoken_;
    std::vector<std::string> said_;
    bool keep_said_ = true;
    std::mt19937_64 choices_;
    std::function<void(const QueuedRequest&, std::int32_t)> observer_;

    platform::Event<const platform::UserInput&> command_;
    platform::Event<const platform::RequestPtr&> request_complete_;
    platform::Event<const std::string&> listen_start_;
    platform::Event<const std::string&, std::int32_t> listen_complete_;
};

}  // namespace sim
