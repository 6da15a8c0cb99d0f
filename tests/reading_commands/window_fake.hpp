#pragma once

// FIXME: a stand-in for sim::SimPlatform while the simulator is being written: an explorer with a
// selection, item windows and a character, writing the simulator's transcript lines and failing
// through its fault injection. It reaches what a scenario cannot (a selection that fails to hand out
// its item, a window of a third kind) and keeps the reading commands and the tracking testable on
// their own. Move the flows to scenarios once the simulator runs them.

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "character/form.hpp"
#include "platform/host.hpp"
#include "sim/faults.hpp"
#include "sim/transcript.hpp"

namespace window_fake {

using namespace platform;
using sim::quote;

struct World {
    sim::Transcript transcript;
    sim::Faults faults{transcript};
    void check(std::string_view call) { faults.check(call); }
    void add(std::string_view who, const std::string& text) { transcript.add(who, text); }
};

[[noreturn]] inline void unsupported() { throw PlatformError(438, "Object doesn't support this property or method"); }

class FakeItem;

class FakeInspector : public Inspector {
public:
    FakeInspector(World& w, std::shared_ptr<Item> item, std::string id) : w_(w), item_(item), id_(std::move(id)) {}
    std::string type_name() override { return "Inspector"; }
    ItemPtr current_item() override { return item_.lock(); }
    void activate() override {
        w_.check("Activate");
        w_.add("outlook", "Activate " + id_);
    }
    void close(std::int32_t save_mode) override {
        w_.check("Close");
        w_.add("outlook", "Close " + id_ + " " + std::to_string(save_mode));
        closed.raise();
    }
    Subscription on_close(std::function<void()> handler) override { return closed.subscribe(std::move(handler)); }
    Event<> closed;

private:
    World& w_;
    std::weak_ptr<Item> item_;
    std::string id_;
};

class FakeItem : public Item, public std::enable_shared_from_this<FakeItem> {
public:
    FakeItem(World& w, std::string id) : w_(w), id_(std::move(id)) {}
    std::int32_t item_class() override { return kOlMail; }
    std::string entry_id() override {
        w_.check("EntryID");
        return id_;
    }
    std::string subject() override { unsupported(); }
    std::string body() override { unsupported(); }
    std::string html_body() override { unsupported(); }
    std::int32_t attachments_count() override { unsupported(); }
    bool unread() override { return unread_; }
    void set_unread(bool on) override {
        w_.check("UnRead");
        unread_ = on;
        w_.add("outlook", "UnRead " + id_ + (on ? " True" : " False"));
    }
    std::int32_t flag_status() override { unsupported(); }
    void set_flag_status(std::int32_t) override { unsupported(); }
    std::string flag_request() override { unsupported(); }
    void set_flag_request(std::string_view) override { unsupported(); }
    std::string sender_name() override { unsupported(); }
    Date received_time() override { unsupported(); }
    Date start() override { unsupported(); }
    bool all_day_event() override { unsupported(); }
    std::string full_name() override { unsupported(); }
    std::string company_name() override { unsupported(); }
    std::string home_telephone_number() override { unsupported(); }
    std::string business_telephone_number() override { unsupported(); }
    Date last_modification_time() override { unsupported(); }
    std::string type() override { unsupported(); }
    std::int32_t color() override { unsupported(); }
    std::string delegator() override { unsupported(); }
    std::string owner() override { unsupported(); }
    Date due_date() override { unsupported(); }
    std::int32_t sensitivity() override { unsupported(); }
    std::int32_t importance() override { unsupported(); }
    std::int32_t status() override { unsupported(); }
    std::int32_t percent_complete() override { unsupported(); }
    std::string organizer() override { unsupported(); }
    std::string required_attendees() override { unsupported(); }
    std::string optional_attendees() override { unsupported(); }
    std::string location() override { unsupported(); }
    void save() override {
        w_.check("Save");
        w_.add("outlook", "Save " + id_);
    }
    std::shared_ptr<Inspector> get_inspector() override {
        w_.check("GetInspector");
        w_.add("outlook", "GetInspector " + id_);
        if (!inspector) inspector = std::make_shared<FakeInspector>(w_, shared_from_this(), id_);
        return inspector;
    }
    void display() override { unsupported(); }
    void close(std::int32_t) override { unsupported(); }
    std::shared_ptr<Item> copy() override { unsupported(); }
    void move(const std::shared_ptr<Folder>&) override { unsupported(); }
    void delete_item() override { unsupported(); }
    void print_out() override { unsupported(); }
    std::shared_ptr<Item> forward() override { unsupported(); }
    std::shared_ptr<Item> reply() override { unsupported(); }
    std::shared_ptr<Item> reply_all() override { unsupported(); }
    std::shared_ptr<Item> get_associated_appointment(bool) override { unsupported(); }
    std::shared_ptr<Item> get_associated_task(bool) override { unsupported(); }
    std::shared_ptr<Item> respond(std::int32_t, bool, bool) override { unsupported(); }
    Subscription on_close(std::function<void(bool&)> handler) override { return closed.subscribe(std::move(handler)); }
    Subscription on_send(std::function<void(bool&)> handler) override { return sent.subscribe(std::move(handler)); }

    std::shared_ptr<FakeInspector> inspector;
    Event<bool&> closed;
    Event<bool&> sent;

private:
    World& w_;
    std::string id_;
    bool unread_ = true;
};

class FakeSelection : public Selection {
public:
    FakeSelection(World& w, std::vector<ItemPtr> items) : w_(w), items_(std::move(items)) {}
    std::int32_t count() override { return static_cast<std::int32_t>(items_.size()); }
    ItemPtr item(std::int32_t index) override {
        w_.check("Item");
        return items_.at(static_cast<std::size_t>(index - 1));
    }

private:
    World& w_;
    std::vector<ItemPtr> items_;
};

class FakeFolder : public Folder {
public:
    std::string name() override { return "Inbox"; }
    std::shared_ptr<Items> items() override { return nullptr; }
    std::int32_t unread_item_count() override { return 2; }
};

class FakeExplorer : public Explorer {
public:
    explicit FakeExplorer(World& w) : w_(w) {}
    std::string type_name() override { return "Explorer"; }
    std::shared_ptr<CommandBars> command_bars() override { unsupported(); }
    FolderPtr current_folder() override { return std::make_shared<FakeFolder>(); }
    std::shared_ptr<Selection> selection() override { return std::make_shared<FakeSelection>(w_, selected); }
    std::string current_view() override { return "Messages"; }
    Subscription on_close(std::function<void()> h) override { return closed.subscribe(std::move(h)); }
    Subscription on_folder_switch(std::function<void()> h) override { return folder_switch.subscribe(std::move(h)); }
    Subscription on_selection_change(std::function<void()> h) override {
        return selection_change.subscribe(std::move(h));
    }
    Subscription on_view_switch(std::function<void()> h) override { return view_switch.subscribe(std::move(h)); }

    std::vector<ItemPtr> selected;
    Event<> closed, folder_switch, selection_change, view_switch;

private:
    World& w_;
};

class OtherWindow : public Window {
public:
    std::string type_name() override { return "Reminder"; }
};

class FakeApplication : public Application {
public:
    explicit FakeApplication(World& w) : explorer(std::make_shared<FakeExplorer>(w)) { window = explorer; }
    std::shared_ptr<NameSpace> get_namespace(std::string_view) override { unsupported(); }
    std::shared_ptr<Explorer> active_explorer() override { return explorer; }
    std::shared_ptr<Inspector> active_inspector() override { return std::dynamic_pointer_cast<Inspector>(window); }
    std::shared_ptr<Window> active_window() override { return window; }
    ItemPtr create_item(std::int32_t) override { unsupported(); }
    Subscription on_new_mail(std::function<void()> h) override { return new_mail.subscribe(std::move(h)); }
    Subscription on_reminder(std::function<void(const ItemPtr&)> h) override {
        return reminder.subscribe(std::move(h));
    }
    Subscription on_item_send(std::function<void(const ItemPtr&, bool&)> h) override {
        return item_send.subscribe(std::move(h));
    }
    Subscription on_quit(std::function<void()>) override { return {}; }

    std::shared_ptr<FakeExplorer> explorer;
    std::shared_ptr<Window> window;
    Event<> new_mail;
    Event<const ItemPtr&> reminder;
    Event<const ItemPtr&, bool&> item_send;
};

class FakeRequest : public Request {
public:
    explicit FakeRequest(std::int32_t id) : id_(id) {}
    std::int32_t id() override { return id_; }
    std::int32_t status() override { return kRequestComplete; }

private:
    std::int32_t id_;
};

class FakeCharacter : public Character {
public:
    explicit FakeCharacter(World& w) : w_(w) {}
    RequestPtr show() override { return request("Show", "show"); }
    RequestPtr hide() override { return request("Hide", "hide"); }
    RequestPtr play(std::string_view a) override { return request("Play", "play " + quote(a)); }
    RequestPtr speak(std::string_view t) override { return request("Speak", "speak " + quote(t)); }
    RequestPtr think(std::string_view t) override { return request("Think", "think " + quote(t)); }
    RequestPtr move_to(std::int16_t, std::int16_t) override { unsupported(); }
    RequestPtr gesture_at(std::int16_t, std::int16_t) override { unsupported(); }
    void stop(const RequestPtr& r) override {
        w_.check("Stop");
        w_.add("agent", "stop #" + std::to_string(r->id()));
    }
    void stop_all() override {
        w_.check("StopAll");
        w_.add("agent", "stopall");
    }
    bool listen(bool) override { return true; }
    std::string name() override { return "Merlin"; }
    std::int16_t left() override { return 50; }
    void set_left(std::int16_t) override {}
    std::int16_t top() override { return 50; }
    void set_top(std::int16_t) override {}
    std::shared_ptr<AgentCommands> commands() override { unsupported(); }

private:
    RequestPtr request(std::string_view call, const std::string& text) {
        w_.check(call);
        auto r = std::make_shared<FakeRequest>(next_id_++);
        w_.add("agent", text + " #" + std::to_string(r->id()));
        return r;
    }
    World& w_;
    std::int32_t next_id_ = 1;
};

class FakeHost : public Host,
                 public AgentControl,
                 public Timer,
                 public Panel,
                 public SettingsStore,
                 public MessageBoxes,
                 public Clock,
                 public RandomSource {
public:
    std::shared_ptr<Application> application() override { return app; }
    AgentControl& agent() override { return *this; }
    Timer& timer() override { return *this; }
    Panel& panel() override { return *this; }
    SettingsStore& settings() override { return *this; }
    MessageBoxes& message_boxes() override { return *this; }
    Clock& clock() override { return *this; }
    RandomSource& random() override { return *this; }

    void set_connected(bool) override {}
    void characters_load(std::string_view) override {}
    std::shared_ptr<Character> character(std::string_view) override { return character_; }
    void characters_unload(std::string_view) override { world.add("agent", "unload \"CharacterID\""); }
    std::string speech_input_hot_key() override { return "Scroll Lock"; }
    void set_property_sheet_visible(bool) override {}
    void show_default_character_properties() override {}
    Subscription on_command(std::function<void(const UserInput&)>) override { return {}; }
    Subscription on_request_complete(std::function<void(const RequestPtr&)>) override { return {}; }
    Subscription on_listen_start(std::function<void(const std::string&)>) override { return {}; }
    Subscription on_listen_complete(std::function<void(const std::string&, std::int32_t)>) override { return {}; }

    std::int32_t interval_ms() override { return 65000; }
    Subscription on_tick(std::function<void()> h) override { return tick.subscribe(std::move(h)); }
    void show() override {}
    void hide() override {}
    std::string get_setting(std::string_view, std::string_view, std::string_view, std::string_view fallback) override {
        return std::string(fallback);
    }
    void save_setting(std::string_view, std::string_view, std::string_view key, std::string_view value) override {
        world.add("settings", std::string(key) + " " + quote(value));
    }
    void show(std::string_view text, std::int32_t, std::string_view title) override {
        world.add("msgbox", quote(title) + " " + quote(text));
    }
    LocalTime now() override { return {}; }
    void randomize() override {}
    double next() override { return random_value; }

    World world;
    std::shared_ptr<FakeApplication> app = std::make_shared<FakeApplication>(world);
    std::shared_ptr<FakeCharacter> character_ = std::make_shared<FakeCharacter>(world);
    Event<> tick;
    double random_value = 0.0;

    std::shared_ptr<FakeItem> item(const std::string& id) {
        auto& slot = items_[id];
        if (!slot) slot = std::make_shared<FakeItem>(world, id);
        return slot;
    }
    void select(const std::vector<std::string>& ids) {
        app->explorer->selected.clear();
        for (const auto& id : ids) app->explorer->selected.push_back(item(id));
        app->explorer->selection_change.raise();
    }
    // The user opens the item's window and it becomes the active window.
    void open(const std::string& id) {
        auto it = item(id);
        if (!it->inspector) it->inspector = std::make_shared<FakeInspector>(world, it, id);
        app->window = it->inspector;
    }
    // The user closes the item's window: the window's Close, then the item's.
    void close(const std::string& id) {
        auto it = item(id);
        if (it->inspector) it->inspector->closed.raise();
        bool cancel = false;
        it->closed.raise(cancel);
        app->window = app->explorer;
    }
    ItemPtr ptr(const std::string& id) { return item(id); }
    std::vector<std::string> take() { return world.transcript.take(); }

private:
    std::map<std::string, std::shared_ptr<FakeItem>> items_;
};

inline RequestPtr request(std::int32_t id) { return std::make_shared<FakeRequest>(id); }

// A form with the character up and the explorer tracked, as after a start, without the greeting.
inline void start(FakeHost& host, character::frmAgentCtrl& f) {
    f.oApp = host.app;
    f.oAgentChar = std::shared_ptr<Character>(host.character_);
    f.bAgentLoaded = true;
    f.sAckLine = "Ok!";
    f.oCurExplorer = host.app->explorer;
}

}  // namespace window_fake
