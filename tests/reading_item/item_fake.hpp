#pragma once

// FIXME: a stand-in for sim::SimPlatform while the simulator is being written: items of every class
// with the properties the announcement and the body read, a character with its command switches,
// the clock and the message boxes, writing the simulator's transcript lines and failing through its
// fault injection. Move these tests onto the simulator once it exists.

#include <chrono>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <variant>

#include "character/form.hpp"
#include "platform/host.hpp"
#include "reading/current_item.hpp"
#include "sim/faults.hpp"
#include "sim/transcript.hpp"

namespace item_fake {

using namespace platform;
using sim::quote;

struct World {
    sim::Transcript transcript;
    sim::Faults faults{transcript};
};

// A local time from its parts.
inline LocalTime at(int year, unsigned month, unsigned day, int hour = 0, int minute = 0) {
    using namespace std::chrono;
    return local_days{std::chrono::year{year} / month / day} + hours{hour} + minutes{minute};
}

using Value = std::variant<std::string, std::int32_t, bool, Date>;

// An item of any class. A property not given reads as the mailbox file's default ("", 0, false, no date); a name
// in `failing` throws, as an item's "fail" list does.
class FakeItem : public Item, public std::enable_shared_from_this<FakeItem> {
public:
    FakeItem(World& w, std::string id, std::int32_t item_class) : w_(w), id_(std::move(id)), class_(item_class) {}

    std::shared_ptr<FakeItem> set(const std::string& name, Value value) {
        values_[name] = std::move(value);
        return shared_from_this();
    }
    std::shared_ptr<FakeItem> fail(const std::string& name) {
        failing_.insert(name);
        return shared_from_this();
    }

    std::int32_t item_class() override { return get<std::int32_t>("Class", class_); }
    std::string entry_id() override { return get<std::string>("EntryID", id_); }
    std::string subject() override { return get<std::string>("Subject"); }
    std::string body() override { return get<std::string>("Body"); }
    std::string html_body() override { return get<std::string>("HTMLBody"); }
    std::int32_t attachments_count() override { return get<std::int32_t>("Attachments"); }
    bool unread() override { return get<bool>("UnRead"); }
    void set_unread(bool) override { unsupported(); }
    std::int32_t flag_status() override { return get<std::int32_t>("FlagStatus"); }
    void set_flag_status(std::int32_t) override { unsupported(); }
    std::string flag_request() override { return get<std::string>("FlagRequest"); }
    void set_flag_request(std::string_view) override { unsupported(); }
    std::string sender_name() override { return get<std::string>("SenderName"); }
    Date received_time() override { return get<Date>("ReceivedTime"); }
    Date start() override { return get<Date>("Start"); }
    bool all_day_event() override { return get<bool>("AllDayEvent"); }
    std::string full_name() override { return get<std::string>("FullName"); }
    std::string company_name() override { return get<std::string>("CompanyName"); }
    std::string home_telephone_number() override { return get<std::string>("HomeTelephoneNumber"); }
    std::string business_telephone_number() override { return get<std::string>("BusinessTelephoneNumber"); }
    Date last_modification_time() override { return get<Date>("LastModificationTime"); }
    std::string type() override { return get<std::string>("Type"); }
    std::int32_t color() override { return get<std::int32_t>("Color"); }
    std::string delegator() override { return get<std::string>("Delegator"); }
    std::string owner() override { return get<std::string>("Owner"); }
    Date due_date() override { return get<Date>("DueDate"); }
    std::int32_t sensitivity() override { return get<std::int32_t>("Sensitivity"); }
    std::int32_t importance() override { return get<std::int32_t>("Importance", 1); }
    std::int32_t status() override { return get<std::int32_t>("Status"); }
    std::int32_t percent_complete() override { return get<std::int32_t>("PercentComplete"); }
    std::string organizer() override { return get<std::string>("Organizer"); }
    std::string required_attendees() override { return get<std::string>("RequiredAttendees"); }
    std::string optional_attendees() override { return get<std::string>("OptionalAttendees"); }
    std::string location() override { return get<std::string>("Location"); }

    void save() override { unsupported(); }
    std::shared_ptr<Inspector> get_inspector() override { unsupported(); }
    void display() override { unsupported(); }
    void close(std::int32_t) override { unsupported(); }
    std::shared_ptr<Item> copy() override { unsupported(); }
    void move(const std::shared_ptr<Folder>&) override { unsupported(); }
    void delete_item() override { unsupported(); }
    void print_out() override { unsupported(); }
    std::shared_ptr<Item> forward() override { unsupported(); }
    std::shared_ptr<Item> reply() override { unsupported(); }
    std::shared_ptr<Item> reply_all() override { unsupported(); }

    std::shared_ptr<Item> get_associated_appointment(bool add) override {
        return associated("GetAssociatedAppointment", add);
    }
    std::shared_ptr<Item> get_associated_task(bool add) override { return associated("GetAssociatedTask", add); }
    std::shared_ptr<Item> respond(std::int32_t, bool, bool) override { unsupported(); }

    Subscription on_close(std::function<void(bool&)> handler) override { return closed.subscribe(std::move(handler)); }
    Subscription on_send(std::function<void(bool&)> handler) override { return sent.subscribe(std::move(handler)); }

    // The user closes the item's window.
    void user_close() {
        bool cancel = false;
        closed.raise(cancel);
    }

    // The appointment or task behind a meeting or task request item; none means it is gone.
    std::shared_ptr<FakeItem> behind;
    // How often the add-in asked for it.
    int associated_asks = 0;
    Event<bool&> closed;
    Event<bool&> sent;

private:
    [[noreturn]] static void unsupported() {
        throw PlatformError(438, "Object doesn't support this property or method");
    }

    void check(const std::string& name) {
        w_.faults.check(name);
        if (failing_.contains(name))
            throw PlatformError(sim::Faults::error_number(name), sim::Faults::error_description(name));
    }

    template <class T>
    T get(const std::string& name, T fallback = T{}) {
        check(name);
        auto it = values_.find(name);
        return it == values_.end() ? fallback : std::get<T>(it->second);
    }

    std::shared_ptr<Item> associated(const std::string& name, bool add) {
        check(name);
        ++associated_asks;
        if (add) throw PlatformError(5, "the announcement must not add to the calendar or task list");
        if (!behind) throw PlatformError(-2147221233, "The item could not be found");
        return behind;
    }

    World& w_;
    std::string id_;
    std::int32_t class_;
    std::map<std::string, Value> values_;
    std::set<std::string> failing_;
};

class FakeRequest : public Request {
public:
    explicit FakeRequest(std::int32_t id) : id_(id) {}
    std::int32_t id() override { return id_; }
    std::int32_t status() override { return kRequestPending; }

private:
    std::int32_t id_;
};

class FakeCommand : public AgentCommand {
public:
    FakeCommand(World& w, std::string name) : w_(w), name_(std::move(name)) {}
    bool enabled() override { return enabled_; }
    void set_enabled(bool on) override { set("Enabled", on, enabled_); }
    bool visible() override { return visible_; }
    void set_visible(bool on) override { set("Visible", on, visible_); }

private:
    void set(const char* property, bool on, bool& field) {
        w_.faults.check(std::string("Commands.") + property);
        field = on;
        w_.transcript.add("agent", "command " + quote(name_) + " " + property + (on ? " True" : " False"));
    }
    World& w_;
    std::string name_;
    bool enabled_ = false;
    bool visible_ = false;
};

class FakeCommands : public AgentCommands {
public:
    explicit FakeCommands(World& w) : w_(w) {
        for (auto name : {"AcceptItem", "DeclineItem", "TentativeItem"})
            commands_[name] = std::make_shared<FakeCommand>(w, name);
    }
    void set_caption(std::string_view) override {}
    void set_voice_caption(std::string_view) override {}
    void set_voice(std::string_view) override {}
    std::shared_ptr<AgentCommand> add(std::string_view, std::optional<std::string>, std::optional<std::string>,
                                      std::optional<bool>, std::optional<bool>) override {
        throw PlatformError(5, "not here");
    }
    std::shared_ptr<AgentCommand> item(std::string_view name) override {
        w_.faults.check("Commands");
        auto it = commands_.find(std::string(name));
        if (it == commands_.end()) throw PlatformError(-2147213307, "The command was not found");
        return it->second;
    }

private:
    World& w_;
    std::map<std::string, std::shared_ptr<FakeCommand>> commands_;
};

class FakeCharacter : public Character {
public:
    explicit FakeCharacter(World& w) : w_(w), commands_(std::make_shared<FakeCommands>(w)) {}
    RequestPtr show() override { return request("Show", "show"); }
    RequestPtr hide() override { return request("Hide", "hide"); }
    RequestPtr play(std::string_view a) override { return request("Play", "play " + quote(a)); }
    RequestPtr speak(std::string_view t) override { return request("Speak", "speak " + quote(t)); }
    RequestPtr think(std::string_view t) override { return request("Think", "think " + quote(t)); }
    RequestPtr move_to(std::int16_t, std::int16_t) override { return request("MoveTo", "moveto"); }
    RequestPtr gesture_at(std::int16_t, std::int16_t) override { return request("GestureAt", "gestureat"); }
    void stop(const RequestPtr& r) override { w_.transcript.add("agent", "stop #" + std::to_string(r->id())); }
    void stop_all() override { w_.transcript.add("agent", "stopall"); }
    bool listen(bool) override { return true; }
    std::string name() override { return "Merlin"; }
    std::int16_t left() override { return 0; }
    void set_left(std::int16_t) override {}
    std::int16_t top() override { return 0; }
    void set_top(std::int16_t) override {}
    std::shared_ptr<AgentCommands> commands() override { return commands_; }

private:
    RequestPtr request(std::string_view call, const std::string& text) {
        w_.faults.check(call);
        auto r = std::make_shared<FakeRequest>(next_id_++);
        w_.transcript.add("agent", text + " #" + std::to_string(r->id()));
        return r;
    }
    World& w_;
    std::int32_t next_id_ = 1;
    std::shared_ptr<FakeCommands> commands_;
};

class FakeAgent : public AgentControl {
public:
    void set_connected(bool) override {}
    void characters_load(std::string_view) override {}
    std::shared_ptr<Character> character(std::string_view) override { return nullptr; }
    void characters_unload(std::string_view) override {}
    std::string speech_input_hot_key() override { return "Scroll Lock"; }
    void set_property_sheet_visible(bool) override {}
    void show_default_character_properties() override {}
    Subscription on_command(std::function<void(const UserInput&)>) override { return {}; }
    Subscription on_request_complete(std::function<void(const RequestPtr&)>) override { return {}; }
    Subscription on_listen_start(std::function<void(const std::string&)>) override { return {}; }
    Subscription on_listen_complete(std::function<void(const std::string&, std::int32_t)>) override { return {}; }
};

// The platform under a form whose character is up: the clock stands at Tuesday, 6 March 2001, 15:05.
class FakeHost : public Host, public Timer, public Panel, public MessageBoxes, public Clock, public RandomSource {
public:
    std::shared_ptr<Application> application() override { return nullptr; }
    AgentControl& agent() override { return agent_; }
    Timer& timer() override { return *this; }
    Panel& panel() override { return *this; }
    SettingsStore& settings() override { throw PlatformError(5, "not here"); }
    MessageBoxes& message_boxes() override { return *this; }
    Clock& clock() override { return *this; }
    RandomSource& random() override { return *this; }

    std::int32_t interval_ms() override { return 65000; }
    Subscription on_tick(std::function<void()>) override { return {}; }
    void show() override {}
    void hide() override {}
    void show(std::string_view text, std::int32_t style, std::string_view title) override {
        world.transcript.add("msgbox",
                             quote(title) + " " + quote(text) + (style == kCritical ? "" : " (not critical)"));
    }
    LocalTime now() override { return clock_now; }
    void randomize() override {}
    double next() override { return 0; }

    std::shared_ptr<FakeItem> item(std::string id, std::int32_t item_class) {
        return std::make_shared<FakeItem>(world, std::move(id), item_class);
    }
    std::vector<std::string> take() { return world.transcript.take(); }

    World world;
    LocalTime clock_now = at(2001, 3, 6, 15, 5);
    std::shared_ptr<FakeCharacter> character = std::make_shared<FakeCharacter>(world);

private:
    FakeAgent agent_;
};

// A form whose character is loaded, reading outside the preview.
struct Started {
    FakeHost host;
    character::frmAgentCtrl f{host};
    Started() {
        f.oAgentChar = std::shared_ptr<Character>(host.character);
        f.bAgentLoaded = true;
        f.iReadMode = 4;
    }
    // The item becomes the current one and is prepared, as a reading command does.
    void prepare(const std::shared_ptr<FakeItem>& item) {
        f.oCurReadItem = std::shared_ptr<Item>(item);
        reading::PrepReadItem(f);
    }
};

}  // namespace item_fake
