#pragma once

// FIXME: a stand-in for sim::SimPlatform while the simulator is being written: the character control, its
// character and command set, the panel, the message boxes and the settings store, writing the transcript
// lines of the simulator and failing through its fault injection. The mail client is absent. Replace with
// the simulator and started_form once they exist.

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "character/form.hpp"
#include "platform/host.hpp"
#include "sim/faults.hpp"
#include "sim/transcript.hpp"

namespace fake {

using namespace platform;
using sim::quote;

struct World {
    sim::Transcript transcript;
    sim::Faults faults{transcript};
    void check(std::string_view call) { faults.check(call); }
    void add(std::string_view who, const std::string& text) { transcript.add(who, text); }
};

inline std::string yes_no(bool on) { return on ? "True" : "False"; }

class FakeRequest : public Request {
public:
    explicit FakeRequest(std::int32_t id) : id_(id) {}
    std::int32_t id() override { return id_; }
    std::int32_t status() override { return status_; }
    std::int32_t status_ = kRequestPending;
    bool is_speak = false;

private:
    std::int32_t id_;
};

class FakeCommand : public AgentCommand {
public:
    FakeCommand(World& w, std::string name, std::optional<bool> on, std::optional<bool> shown)
        : w_(w), name_(std::move(name)), enabled_(on.value_or(true)), visible_(shown.value_or(true)) {}
    bool enabled() override { return enabled_; }
    void set_enabled(bool on) override {
        w_.add("agent", "command " + quote(name_) + " Enabled " + yes_no(on));
        enabled_ = on;
    }
    bool visible() override { return visible_; }
    void set_visible(bool on) override {
        w_.add("agent", "command " + quote(name_) + " Visible " + yes_no(on));
        visible_ = on;
    }

private:
    World& w_;
    std::string name_;
    bool enabled_;
    bool visible_;
};

class FakeCommands : public AgentCommands {
public:
    explicit FakeCommands(World& w) : w_(w) {}
    void set_caption(std::string_view t) override { set("Caption", t); }
    void set_voice_caption(std::string_view t) override { set("VoiceCaption", t); }
    void set_voice(std::string_view t) override { set("Voice", t); }
    std::shared_ptr<AgentCommand> add(std::string_view name, std::optional<std::string> caption,
                                      std::optional<std::string> voice, std::optional<bool> enabled,
                                      std::optional<bool> visible) override {
        w_.check("Commands.Add");
        std::string line =
            "add " + quote(name) + " " + (caption ? quote(*caption) : "-") + " " + (voice ? quote(*voice) : "-");
        if (enabled) line += " " + yes_no(*enabled);
        if (visible) line += " " + yes_no(*visible);
        w_.add("agent", line);
        names.emplace_back(name);
        auto command = std::make_shared<FakeCommand>(w_, std::string(name), enabled, visible);
        by_name[std::string(name)] = command;
        return command;
    }
    std::shared_ptr<AgentCommand> item(std::string_view name) override {
        const auto it = by_name.find(std::string(name));
        if (it == by_name.end()) throw PlatformError(5, "Invalid procedure call or argument");
        return it->second;
    }
    std::vector<std::string> names;
    std::map<std::string, std::shared_ptr<FakeCommand>> by_name;

private:
    void set(std::string_view property, std::string_view text) {
        w_.check("Commands." + std::string(property));
        w_.add("agent", "commands " + std::string(property) + " " + quote(text));
    }
    World& w_;
};

class FakeCharacter : public Character {
public:
    explicit FakeCharacter(World& w) : w_(w), commands_(std::make_shared<FakeCommands>(w)) {}
    RequestPtr show() override { return request("Show", "show"); }
    RequestPtr hide() override { return request("Hide", "hide"); }
    RequestPtr play(std::string_view a) override { return request("Play", "play " + quote(a)); }
    RequestPtr speak(std::string_view t) override {
        auto r = request("Speak", "speak " + quote(t));
        r->is_speak = true;
        return r;
    }
    RequestPtr think(std::string_view t) override { return request("Think", "think " + quote(t)); }
    RequestPtr move_to(std::int16_t x, std::int16_t y) override {
        return request("MoveTo", "moveto " + std::to_string(x) + " " + std::to_string(y));
    }
    RequestPtr gesture_at(std::int16_t x, std::int16_t y) override {
        return request("GestureAt", "gestureat " + std::to_string(x) + " " + std::to_string(y));
    }
    void stop(const RequestPtr& r) override {
        w_.check("Stop");
        w_.add("agent", "stop #" + std::to_string(r->id()));
        remove_queued([&](FakeRequest& q) { return q.id() == r->id(); });
    }
    void stop_all() override {
        w_.check("StopAll");
        w_.add("agent", "stopall");
        remove_queued([](FakeRequest&) { return true; });
    }
    bool listen(bool on) override {
        w_.check("Listen");
        w_.add("agent", "listen " + yes_no(on));
        return true;
    }
    std::string name() override { return "Merlin"; }
    std::int16_t left() override { return 50; }
    void set_left(std::int16_t) override {}
    std::int16_t top() override { return 50; }
    void set_top(std::int16_t) override {}
    std::shared_ptr<AgentCommands> commands() override { return commands_; }

    std::shared_ptr<FakeCommands> command_set() { return commands_; }
    std::vector<std::shared_ptr<FakeRequest>> queue;
    std::vector<std::shared_ptr<FakeRequest>> stopped;  // completed (interrupted) after the event returns

private:
    template <class Pred>
    void remove_queued(Pred pred) {
        for (auto it = queue.begin(); it != queue.end();) {
            if (pred(**it)) {
                stopped.push_back(*it);
                it = queue.erase(it);
            } else {
                ++it;
            }
        }
    }
    std::shared_ptr<FakeRequest> request(std::string_view call, const std::string& text) {
        w_.check(call);
        auto r = std::make_shared<FakeRequest>(next_id_++);
        w_.add("agent", text + " #" + std::to_string(r->id()));
        queue.push_back(r);
        return r;
    }
    World& w_;
    std::int32_t next_id_ = 1;
    std::shared_ptr<FakeCommands> commands_;
};

class FakeAgent : public AgentControl {
public:
    explicit FakeAgent(World& w) : w_(w) {}
    void set_connected(bool on) override {
        w_.check("Connected");
        w_.add("agent", "connected " + yes_no(on));
    }
    void characters_load(std::string_view id) override {
        w_.check("Characters.Load");
        w_.add("agent", "load " + quote(id));
        loaded = std::make_shared<FakeCharacter>(w_);
    }
    std::shared_ptr<Character> character(std::string_view) override {
        if (!loaded) throw PlatformError(-2147213301, "The character is not loaded");
        return loaded;
    }
    void characters_unload(std::string_view id) override {
        w_.add("agent", "unload " + quote(id));
        loaded.reset();
    }
    std::string speech_input_hot_key() override { return "Scroll Lock"; }
    void set_property_sheet_visible(bool) override {
        w_.check("PropertySheet.Visible");
        w_.add("agent", "property sheet");
    }
    void show_default_character_properties() override {
        w_.check("ShowDefaultCharacterProperties");
        w_.add("agent", "character properties");
    }
    Subscription on_command(std::function<void(const UserInput&)> h) override { return command.subscribe(h); }
    Subscription on_request_complete(std::function<void(const RequestPtr&)> h) override {
        return request_complete.subscribe(h);
    }
    Subscription on_listen_start(std::function<void(const std::string&)> h) override {
        return listen_start.subscribe(h);
    }
    Subscription on_listen_complete(std::function<void(const std::string&, std::int32_t)> h) override {
        return listen_complete.subscribe(h);
    }

    std::shared_ptr<FakeCharacter> loaded;
    Event<const UserInput&> command;
    Event<const RequestPtr&> request_complete;
    Event<const std::string&> listen_start;
    Event<const std::string&, std::int32_t> listen_complete;

private:
    World& w_;
};

class FakeSettings : public SettingsStore {
public:
    std::string get_setting(std::string_view, std::string_view, std::string_view key,
                            std::string_view fallback) override {
        const auto it = values.find(std::string(key));
        return it == values.end() ? std::string(fallback) : it->second;
    }
    void save_setting(std::string_view, std::string_view, std::string_view key, std::string_view value) override {
        values[std::string(key)] = value;
    }
    std::map<std::string, std::string> values;
};

class FakeHost : public Host, public Timer, public Panel, public MessageBoxes, public Clock, public RandomSource {
public:
    FakeHost() : agent_(world) {}
    std::shared_ptr<Application> application() override { return nullptr; }
    AgentControl& agent() override { return agent_; }
    Timer& timer() override { return *this; }
    Panel& panel() override { return *this; }
    SettingsStore& settings() override { return settings_; }
    MessageBoxes& message_boxes() override { return *this; }
    Clock& clock() override { return *this; }
    RandomSource& random() override { return *this; }

    std::int32_t interval_ms() override { return 65000; }
    Subscription on_tick(std::function<void()> h) override { return tick.subscribe(h); }
    void show() override {
        world.check("Show");
        world.add("panel", "show");
    }
    void hide() override { world.add("panel", "hide"); }
    void show(std::string_view text, std::int32_t style, std::string_view title) override {
        world.check("MsgBox");
        world.add("msgbox", quote(title) + " " + quote(text) + (style == kCritical ? "" : " (not critical)"));
    }
    LocalTime now() override { return {}; }
    void randomize() override {}
    double next() override { return 0; }

    FakeCharacter& character() { return *agent_.loaded; }

    // The character performs its next queued request (with `status`), and its completion reaches the form.
    void perform(std::int32_t status = kRequestComplete) {
        auto& queue = character().queue;
        if (queue.empty()) return;
        auto r = queue.front();
        queue.erase(queue.begin());
        r->status_ = status;
        world.add("agent", "done #" + std::to_string(r->id()) + " " + std::to_string(status));
        deliver([&] { agent_.request_complete.raise(r); });
    }
    void perform(int n, std::int32_t status) {
        for (int i = 0; i < n; ++i) perform(status);
    }
    void perform_all() {
        for (int guard = 0; agent_.loaded && !character().queue.empty() && guard < 10000; ++guard) perform();
    }
    // The user holds the listening key, the recogniser takes `voice` for `name` ("" for none), and lets go.
    void say(const std::string& name, const std::string& voice) {
        deliver([&] { agent_.listen_start.raise("CharacterID"); });
        auto& queue = character().queue;
        if (!queue.empty() && queue.front()->is_speak) {
            auto r = queue.front();
            queue.erase(queue.begin());
            r->status_ = kRequestInterrupted;
            world.add("agent", "done #" + std::to_string(r->id()) + " 3");
            deliver([&] { agent_.request_complete.raise(r); });
        }
        deliver([&] { agent_.command.raise(UserInput{name, voice}); });
        deliver([&] { agent_.listen_complete.raise("CharacterID", 0); });
    }
    void menu(const std::string& name) {
        deliver([&] { agent_.command.raise(UserInput{name, ""}); });
    }
    // Runs an add-in call as an event would: requests it stopped complete after it returns.
    template <class Fn>
    void deliver(Fn&& fn) {
        fn();
        while (agent_.loaded && !character().stopped.empty()) {
            auto r = character().stopped.front();
            character().stopped.erase(character().stopped.begin());
            r->status_ = kRequestInterrupted;
            world.add("agent", "done #" + std::to_string(r->id()) + " 3");
            agent_.request_complete.raise(r);
        }
    }
    std::vector<std::string> take() { return world.transcript.take(); }

    World world;
    FakeAgent agent_;
    FakeSettings settings_;
    Event<> tick;
};

// A form whose character is loaded, as after a start, with nothing queued and an empty transcript.
inline std::unique_ptr<character::frmAgentCtrl> loaded_form(FakeHost& host) {
    auto f = std::make_unique<character::frmAgentCtrl>(host);
    host.agent_.characters_load("CharacterID");
    f->oAgentChar = std::shared_ptr<platform::Character>(host.agent_.loaded);
    f->bAgentLoaded = true;
    host.take();
    return f;
}

}  // namespace fake
