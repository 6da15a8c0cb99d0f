#pragma once

// FIXME: a stand-in for sim::SimPlatform while the simulator is being written: just enough of the
// platform for the lifecycle, writing the same transcript lines and failing through the same
// fault injection. Replace with the simulator once it exists.

#include <map>
#include <memory>
#include <string>
#include <vector>

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
    void add(std::string_view who, std::string text) { transcript.add(who, text); }
};

class FakeRequest : public Request {
public:
    explicit FakeRequest(std::int32_t id) : id_(id) {}
    std::int32_t id() override { return id_; }
    std::int32_t status() override { return status_; }
    std::int32_t status_ = kRequestPending;

private:
    std::int32_t id_;
};

class FakeCommands : public AgentCommands, public AgentCommand {
public:
    explicit FakeCommands(World& w) : w_(w) {}
    void set_caption(std::string_view) override { w_.check("Commands.Caption"); }
    void set_voice_caption(std::string_view) override { w_.check("Commands.VoiceCaption"); }
    void set_voice(std::string_view) override { w_.check("Commands.Voice"); }
    std::shared_ptr<AgentCommand> add(std::string_view, std::optional<std::string>, std::optional<std::string>,
                                      std::optional<bool>, std::optional<bool>) override {
        w_.check("Commands.Add");
        return nullptr;
    }
    std::shared_ptr<AgentCommand> item(std::string_view) override { throw PlatformError(5, "Invalid argument"); }
    bool enabled() override { return true; }
    void set_enabled(bool) override {}
    bool visible() override { return true; }
    void set_visible(bool) override {}

private:
    World& w_;
};

class FakeCharacter : public Character {
public:
    explicit FakeCharacter(World& w) : w_(w), commands_(std::make_shared<FakeCommands>(w)) {}
    RequestPtr show() override { return request("Show", "show"); }
    RequestPtr hide() override { return request("Hide", "hide"); }
    RequestPtr play(std::string_view a) override { return request("Play", "play " + quote(a)); }
    RequestPtr speak(std::string_view t) override { return request("Speak", "speak " + quote(t)); }
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
    }
    void stop_all() override {
        w_.check("StopAll");
        w_.add("agent", "stopall");
    }
    bool listen(bool on) override {
        w_.check("Listen");
        w_.add("agent", std::string("listen ") + (on ? "True" : "False"));
        return true;
    }
    std::string name() override {
        w_.check("Name");
        return "Merlin";
    }
    std::int16_t left() override {
        w_.check("Left");
        return left_;
    }
    void set_left(std::int16_t x) override {
        w_.check("Left");
        left_ = x;
        w_.add("agent", "left " + std::to_string(x));
    }
    std::int16_t top() override {
        w_.check("Top");
        return top_;
    }
    void set_top(std::int16_t y) override {
        w_.check("Top");
        top_ = y;
        w_.add("agent", "top " + std::to_string(y));
    }
    std::shared_ptr<AgentCommands> commands() override { return commands_; }

    std::vector<std::shared_ptr<FakeRequest>> queue;
    std::int32_t next_id = 1;

private:
    RequestPtr request(std::string_view call, std::string text) {
        w_.check(call);
        auto r = std::make_shared<FakeRequest>(next_id++);
        w_.add("agent", text + " #" + std::to_string(r->id()));
        queue.push_back(r);
        return r;
    }
    World& w_;
    std::int16_t left_ = 0;
    std::int16_t top_ = 0;
    std::shared_ptr<FakeCommands> commands_;
};

class FakeAgent : public AgentControl {
public:
    explicit FakeAgent(World& w) : w_(w) {}
    void set_connected(bool on) override {
        w_.check("Connected");
        w_.add("agent", std::string("connected ") + (on ? "True" : "False"));
    }
    void characters_load(std::string_view id) override {
        w_.check("Characters.Load");
        if (loaded) throw PlatformError(-2147213303, "The character is already loaded");
        w_.add("agent", "load " + quote(id));
        loaded = std::make_shared<FakeCharacter>(w_);
    }
    std::shared_ptr<Character> character(std::string_view) override {
        w_.check("Characters");
        if (!loaded) throw PlatformError(-2147213301, "The character is not loaded");
        return loaded;
    }
    void characters_unload(std::string_view id) override {
        w_.check("Characters.Unload");
        w_.add("agent", "unload " + quote(id));
        loaded.reset();
    }
    std::string speech_input_hot_key() override {
        w_.check("SpeechInput.HotKey");
        return "Scroll Lock";
    }
    void set_property_sheet_visible(bool) override {}
    void show_default_character_properties() override {}
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

class FakeButton : public CommandBarButton {
public:
    FakeButton(World& w, std::string kind, std::int32_t left) : w_(w), kind_(std::move(kind)), left_(left) {}
    std::string caption() override {
        w_.check("Caption");
        return caption_;
    }
    void set_caption(std::string_view t) override {
        set("Caption", quote(t));
        caption_ = t;
    }
    void set_begin_group(bool on) override { set("BeginGroup", on ? "True" : "False"); }
    void set_style(std::int32_t s) override { set("Style", std::to_string(s)); }
    std::int32_t state() override { return state_; }
    void set_state(std::int32_t s) override {
        set("State", std::to_string(s));
        state_ = s;
    }
    void set_tooltip_text(std::string_view t) override { set("TooltipText", quote(t)); }
    std::int32_t left() override { return left_; }
    std::int32_t top() override { return 40; }
    Subscription on_click(std::function<void()> h) override { return click.subscribe(h); }

    Event<> click;
    std::string caption_;
    std::int32_t state_ = 0;

private:
    void set(std::string_view property, const std::string& value) {
        w_.check(property);
        w_.add("office", kind_ + " " + std::string(property) + " " + value);
    }
    World& w_;
    std::string kind_;
    std::int32_t left_;
};

class FakeControls : public CommandBarControls, public CommandBar {
public:
    FakeControls(World& w, std::string bar, std::string kind) : w_(w), bar_(std::move(bar)), kind_(std::move(kind)) {}
    std::shared_ptr<CommandBarButton> item(std::string_view key) override {
        for (auto& b : buttons)
            if (b->caption_ == key) return b;
        throw PlatformError(5, "Invalid procedure call or argument");
    }
    std::shared_ptr<CommandBarButton> add(std::int32_t, bool) override {
        w_.check("Controls.Add");
        w_.add("office", "add " + kind_ + " " + quote(bar_));
        buttons.push_back(std::make_shared<FakeButton>(w_, kind_, 300));
        return buttons.back();
    }
    std::shared_ptr<CommandBarControls> controls() override {
        return std::shared_ptr<CommandBarControls>(std::shared_ptr<void>{}, this);
    }
    std::vector<std::shared_ptr<FakeButton>> buttons;

private:
    World& w_;
    std::string bar_;
    std::string kind_;
};

class FakeExplorer : public Explorer, public CommandBars {
public:
    explicit FakeExplorer(World& w) : advanced(w, "Advanced", "button"), tools(w, "Tools", "menu") {}
    std::string type_name() override { return "Explorer"; }
    std::shared_ptr<CommandBars> command_bars() override {
        return std::shared_ptr<CommandBars>(std::shared_ptr<void>{}, this);
    }
    std::shared_ptr<CommandBar> item(std::string_view name) override {
        if (name == "Advanced") return std::shared_ptr<CommandBar>(std::shared_ptr<void>{}, &advanced);
        if (name == "Tools") return std::shared_ptr<CommandBar>(std::shared_ptr<void>{}, &tools);
        throw PlatformError(5, "Invalid procedure call or argument");
    }
    FolderPtr current_folder() override { return nullptr; }
    std::shared_ptr<Selection> selection() override { return nullptr; }
    std::string current_view() override { return "Messages"; }
    Subscription on_close(std::function<void()> h) override { return close.subscribe(h); }
    Subscription on_folder_switch(std::function<void()>) override { return {}; }
    Subscription on_selection_change(std::function<void()>) override { return {}; }
    Subscription on_view_switch(std::function<void()>) override { return {}; }

    FakeControls advanced;
    FakeControls tools;
    Event<> close;
};

class FakeFolders : public Folders {
public:
    std::int32_t count() override { return 1; }
    Subscription on_folder_add(std::function<void(const FolderPtr&)>) override { return {}; }
    Subscription on_folder_change(std::function<void(const FolderPtr&)>) override { return {}; }
    Subscription on_folder_remove(std::function<void()>) override { return {}; }
};

class FakeNameSpace : public NameSpace {
public:
    explicit FakeNameSpace(World& w) : w_(w) {}
    std::shared_ptr<Folders> folders() override { return std::make_shared<FakeFolders>(); }
    std::string current_user() override {
        w_.check("CurrentUser");
        return "Ada Lovelace";
    }
    FolderPtr get_default_folder(std::int32_t) override { return nullptr; }
    FolderPtr pick_folder() override { return nullptr; }

private:
    World& w_;
};

class FakeApplication : public Application {
public:
    explicit FakeApplication(World& w, bool with_explorer) : w_(w) {
        if (with_explorer) explorer = std::make_shared<FakeExplorer>(w);
    }
    std::shared_ptr<NameSpace> get_namespace(std::string_view) override {
        w_.check("GetNamespace");
        return std::make_shared<FakeNameSpace>(w_);
    }
    std::shared_ptr<Explorer> active_explorer() override { return explorer; }
    std::shared_ptr<Inspector> active_inspector() override { return nullptr; }
    std::shared_ptr<Window> active_window() override { return explorer; }
    ItemPtr create_item(std::int32_t) override { return nullptr; }
    Subscription on_new_mail(std::function<void()>) override { return {}; }
    Subscription on_reminder(std::function<void(const ItemPtr&)>) override { return {}; }
    Subscription on_item_send(std::function<void(const ItemPtr&, bool&)>) override { return {}; }
    Subscription on_quit(std::function<void()>) override { return {}; }

    std::shared_ptr<FakeExplorer> explorer;

private:
    World& w_;
};

class FakeSettings : public SettingsStore {
public:
    explicit FakeSettings(World& w) : w_(w) {}
    std::string get_setting(std::string_view, std::string_view, std::string_view key,
                            std::string_view fallback) override {
        auto it = values.find(std::string(key));
        return it == values.end() ? std::string(fallback) : it->second;
    }
    void save_setting(std::string_view app, std::string_view section, std::string_view key,
                      std::string_view value) override {
        w_.check("SaveSetting");
        if (app != kAppTitle || section != "Settings") w_.add("error", "wrong store place");
        w_.add("settings", std::string(key) + " " + quote(value));
        values[std::string(key)] = value;
    }
    std::map<std::string, std::string> values;

private:
    World& w_;
};

class FakeHost : public Host, public Timer, public Panel, public MessageBoxes, public Clock, public RandomSource {
public:
    explicit FakeHost(bool with_explorer = true)
        : app(std::make_shared<FakeApplication>(world, with_explorer)), agent_(world), settings_(world) {}
    std::shared_ptr<Application> application() override { return app; }
    AgentControl& agent() override { return agent_; }
    Timer& timer() override { return *this; }
    Panel& panel() override { return *this; }
    SettingsStore& settings() override { return settings_; }
    MessageBoxes& message_boxes() override { return *this; }
    Clock& clock() override { return *this; }
    RandomSource& random() override { return *this; }

    std::int32_t interval_ms() override { return 65000; }
    Subscription on_tick(std::function<void()> h) override { return tick.subscribe(h); }
    void show() override { world.add("panel", "show"); }
    void hide() override { world.add("panel", "hide"); }
    void show(std::string_view text, std::int32_t style, std::string_view title) override {
        world.check("MsgBox");
        world.add("msgbox", quote(title) + " " + quote(text) + (style == kCritical ? "" : " (not critical)"));
    }
    LocalTime now() override { return {}; }
    void randomize() override {}
    double next() override { return 0; }

    // The character performs its next queued request: its completion reaches the form.
    void perform(std::int32_t status = kRequestComplete) {
        auto& queue = agent_.loaded->queue;
        auto r = queue.front();
        queue.erase(queue.begin());
        r->status_ = status;
        world.add("agent", "done #" + std::to_string(r->id()) + " " + std::to_string(status));
        agent_.request_complete.raise(r);
    }
    void perform_all() {
        while (agent_.loaded && !agent_.loaded->queue.empty()) perform();
    }
    std::vector<std::string> take() { return world.transcript.take(); }

    World world;
    std::shared_ptr<FakeApplication> app;
    FakeAgent agent_;
    FakeSettings settings_;
    Event<> tick;
};

}  // namespace fake
