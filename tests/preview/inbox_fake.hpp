#pragma once

// A small Inbox, character and pair of controls for the preview's own tests: just what the preview
// touches, writing the simulator's transcript lines and failing through its fault injection. The
// scenarios cover the preview with the whole simulator; these reach what a scenario cannot (a
// count that disagrees with the flags, a failing cursor) and keep the preview testable on its own.

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "character/form.hpp"
#include "platform/host.hpp"
#include "sim/faults.hpp"
#include "sim/transcript.hpp"

namespace inbox_fake {

using namespace platform;
using sim::quote;

struct World {
    sim::Transcript transcript;
    sim::Faults faults{transcript};
    void check(std::string_view call) { faults.check(call); }
    void add(std::string_view who, const std::string& text) { transcript.add(who, text); }
};

[[noreturn]] inline void unsupported() { throw PlatformError(438, "Object doesn't support this property or method"); }

class FakeInspector : public Inspector {
public:
    FakeInspector(World& w, std::string id) : w_(w), id_(std::move(id)) {}
    std::string type_name() override { return "Inspector"; }
    ItemPtr current_item() override { return nullptr; }
    void activate() override {}
    void close(std::int32_t save_mode) override {
        w_.check("Close");
        w_.add("outlook", "Close " + id_ + " " + std::to_string(save_mode));
        closed.raise();
    }
    Subscription on_close(std::function<void()> handler) override { return closed.subscribe(std::move(handler)); }
    Event<> closed;

private:
    World& w_;
    std::string id_;
};

class FakeItem : public Item {
public:
    FakeItem(World& w, std::string id, int minute, bool unread)
        : w_(w), id_(std::move(id)), minute_(minute), unread_(unread) {}
    std::int32_t item_class() override { return kOlMail; }
    std::string entry_id() override {
        w_.check("EntryID");
        return id_;
    }
    std::string subject() override { return "Subject " + id_; }
    std::string body() override { return ""; }
    std::string html_body() override { return ""; }
    std::int32_t attachments_count() override { return 0; }
    bool unread() override {
        w_.check("UnRead");
        return unread_;
    }
    void set_unread(bool on) override { unread_ = on; }
    std::string sender_name() override { return "Sender " + id_; }
    Date received_time() override { return LocalTime{std::chrono::minutes{minute_}}; }
    std::shared_ptr<Inspector> get_inspector() override { return std::make_shared<FakeInspector>(w_, id_); }
    int minute() const { return minute_; }

    std::int32_t flag_status() override { unsupported(); }
    void set_flag_status(std::int32_t) override { unsupported(); }
    std::string flag_request() override { unsupported(); }
    void set_flag_request(std::string_view) override { unsupported(); }
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
    void save() override {}
    void display() override {}
    void close(std::int32_t) override {}
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
    Subscription on_close(std::function<void(bool&)>) override { return {}; }
    Subscription on_send(std::function<void(bool&)>) override { return {}; }

private:
    World& w_;
    std::string id_;
    int minute_;
    bool unread_;
};

// The cursor is a position in the sorted list, as the mail client keeps it: removing an item
// shifts the items after it under the cursor. Past either end it stands one off the list, so the
// next step in the other direction finds the item at that end.
class FakeItems : public Items {
public:
    explicit FakeItems(World& w) : w_(w) {}
    std::int32_t count() override { return static_cast<std::int32_t>(items.size()); }
    void sort(std::string_view property, bool descending) override {
        w_.check("Sort");
        w_.add("outlook", "Sort \"Inbox\" " + quote(property) + (descending ? " True" : " False"));
        std::stable_sort(items.begin(), items.end(), [&](const auto& a, const auto& b) {
            return descending ? a->minute() > b->minute() : a->minute() < b->minute();
        });
    }
    ItemPtr get_first() override { return at((w_.check("GetFirst"), 0)); }
    ItemPtr get_next() override { return at((w_.check("GetNext"), std::min(cursor_ + 1, size()))); }
    ItemPtr get_previous() override { return at((w_.check("GetPrevious"), std::max(cursor_ - 1, -1L))); }
    ItemPtr get_last() override { return at((w_.check("GetLast"), size() - 1)); }
    Subscription on_item_add(std::function<void(const ItemPtr&)> handler) override {
        return added.subscribe(std::move(handler));
    }
    Subscription on_item_remove(std::function<void()> handler) override {
        return removed.subscribe(std::move(handler));
    }

    std::vector<std::shared_ptr<FakeItem>> items;
    Event<const ItemPtr&> added;
    Event<> removed;

private:
    long size() const { return static_cast<long>(items.size()); }
    ItemPtr at(long index) {
        cursor_ = index;
        if (index < 0 || index >= size()) return nullptr;
        return items[static_cast<std::size_t>(index)];
    }
    World& w_;
    long cursor_ = -1;
};

class FakeFolder : public Folder {
public:
    explicit FakeFolder(World& w) : w_(w), list(std::make_shared<FakeItems>(w)) {}
    std::string name() override { return "Inbox"; }
    std::shared_ptr<Items> items() override { return list; }
    std::int32_t unread_item_count() override {
        w_.check("UnReadItemCount");
        if (count_override) return *count_override;
        return static_cast<std::int32_t>(
            std::count_if(list->items.begin(), list->items.end(), [](const auto& i) { return i->unread(); }));
    }

    World& w_;
    std::shared_ptr<FakeItems> list;
    std::optional<std::int32_t> count_override;  // a count that disagrees with the flags
};

class FakeNameSpace : public NameSpace {
public:
    explicit FakeNameSpace(World& w) : w_(w), inbox(std::make_shared<FakeFolder>(w)) {}
    std::shared_ptr<Folders> folders() override { unsupported(); }
    std::string current_user() override { return "Ada Lovelace"; }
    FolderPtr get_default_folder(std::int32_t which) override {
        w_.check("GetDefaultFolder");
        if (which != kOlFolderInbox) unsupported();
        return inbox;
    }
    FolderPtr pick_folder() override { unsupported(); }

    World& w_;
    std::shared_ptr<FakeFolder> inbox;
};

class FakeCommand : public AgentCommand {
public:
    FakeCommand(World& w, std::string name) : w_(w), name_(std::move(name)) {}
    bool enabled() override { return enabled_; }
    void set_enabled(bool on) override {
        enabled_ = on;
        w_.add("agent", "command " + quote(name_) + " Enabled " + (on ? "True" : "False"));
    }
    bool visible() override { return visible_; }
    void set_visible(bool on) override {
        visible_ = on;
        w_.add("agent", "command " + quote(name_) + " Visible " + (on ? "True" : "False"));
    }
    bool offered() const { return enabled_ && visible_; }

private:
    World& w_;
    std::string name_;
    bool enabled_ = true;
    bool visible_ = true;
};

class FakeCommands : public AgentCommands {
public:
    explicit FakeCommands(World& w) : w_(w) {}
    void set_caption(std::string_view) override {}
    void set_voice_caption(std::string_view) override {}
    void set_voice(std::string_view) override {}
    std::shared_ptr<AgentCommand> add(std::string_view, std::optional<std::string>, std::optional<std::string>,
                                      std::optional<bool>, std::optional<bool>) override {
        unsupported();
    }
    std::shared_ptr<AgentCommand> item(std::string_view name) override {
        auto& command = by_name[std::string(name)];
        if (!command) command = std::make_shared<FakeCommand>(w_, std::string(name));
        return command;
    }
    std::map<std::string, std::shared_ptr<FakeCommand>, std::less<>> by_name;

private:
    World& w_;
};

class FakeRequest : public Request {
public:
    explicit FakeRequest(std::int32_t id) : id_(id) {}
    std::int32_t id() override { return id_; }
    std::int32_t status() override { return kRequestPending; }

private:
    std::int32_t id_;
};

class FakeCharacter : public Character {
public:
    explicit FakeCharacter(World& w) : command_set(std::make_shared<FakeCommands>(w)), w_(w) {}
    RequestPtr show() override { return request("show"); }
    RequestPtr hide() override { return request("hide"); }
    RequestPtr play(std::string_view animation) override {
        w_.check("Play");
        return request("play " + quote(animation));
    }
    RequestPtr speak(std::string_view text) override {
        w_.check("Speak");
        return request("speak " + quote(text));
    }
    RequestPtr think(std::string_view text) override { return request("think " + quote(text)); }
    RequestPtr move_to(std::int16_t, std::int16_t) override { return request("moveto"); }
    RequestPtr gesture_at(std::int16_t, std::int16_t) override { return request("gestureat"); }
    void stop(const RequestPtr& r) override { w_.add("agent", "stop #" + std::to_string(r->id())); }
    void stop_all() override { w_.add("agent", "stopall"); }
    bool listen(bool) override { return true; }
    std::string name() override { return "Merlin"; }
    std::int16_t left() override { return 50; }
    void set_left(std::int16_t) override {}
    std::int16_t top() override { return 50; }
    void set_top(std::int16_t) override {}
    std::shared_ptr<AgentCommands> commands() override { return command_set; }

    std::shared_ptr<FakeCommands> command_set;

private:
    RequestPtr request(const std::string& what) {
        const auto id = ++last_id_;
        w_.add("agent", what + " #" + std::to_string(id));
        return std::make_shared<FakeRequest>(id);
    }
    World& w_;
    std::int32_t last_id_ = 0;
};

class FakeButton : public CommandBarButton {
public:
    FakeButton(World& w, std::string who) : w_(w), who_(std::move(who)) {}
    std::string caption() override { return caption_; }
    void set_caption(std::string_view text) override {
        w_.check("Caption");
        caption_ = text;
        w_.add("office", who_ + " Caption " + quote(text));
    }
    void set_begin_group(bool) override {}
    void set_style(std::int32_t) override {}
    std::int32_t state() override { return 0; }
    void set_state(std::int32_t) override {}
    void set_tooltip_text(std::string_view text) override { w_.add("office", who_ + " TooltipText " + quote(text)); }
    std::int32_t left() override { return 0; }
    std::int32_t top() override { return 0; }
    Subscription on_click(std::function<void()>) override { return {}; }

private:
    World& w_;
    std::string who_;
    std::string caption_ = "Agent";
};

// The form's controls and services; the preview needs only the character and a random source.
class FakeHost : public Host, public AgentControl, public Timer, public RandomSource {
public:
    std::shared_ptr<Application> application() override { unsupported(); }
    AgentControl& agent() override { return *this; }
    Timer& timer() override { return *this; }
    Panel& panel() override { unsupported(); }
    SettingsStore& settings() override { unsupported(); }
    MessageBoxes& message_boxes() override { unsupported(); }
    Clock& clock() override { unsupported(); }
    RandomSource& random() override { return *this; }

    void set_connected(bool) override {}
    void characters_load(std::string_view) override {}
    std::shared_ptr<Character> character(std::string_view) override { unsupported(); }
    void characters_unload(std::string_view) override {}
    std::string speech_input_hot_key() override { return "Scroll Lock"; }
    void set_property_sheet_visible(bool) override {}
    void show_default_character_properties() override {}
    Subscription on_command(std::function<void(const UserInput&)>) override { return {}; }
    Subscription on_request_complete(std::function<void(const RequestPtr&)>) override { return {}; }
    Subscription on_listen_start(std::function<void(const std::string&)>) override { return {}; }
    Subscription on_listen_complete(std::function<void(const std::string&, std::int32_t)>) override { return {}; }

    std::int32_t interval_ms() override { return 65000; }
    Subscription on_tick(std::function<void()>) override { return {}; }

    void randomize() override {}
    double next() override { return 0.5; }
};

// A loaded character over an Inbox of mail items: "id", received minute, unread.
struct Preview {
    struct Mail {
        std::string id;
        int minute;
        bool unread;
    };

    World world;
    FakeHost host;
    character::frmAgentCtrl f{host};
    std::shared_ptr<FakeCharacter> character = std::make_shared<FakeCharacter>(world);
    std::shared_ptr<FakeNameSpace> ns = std::make_shared<FakeNameSpace>(world);
    std::shared_ptr<FakeButton> button = std::make_shared<FakeButton>(world, "button");
    std::shared_ptr<FakeButton> menu = std::make_shared<FakeButton>(world, "menu");

    explicit Preview(const std::vector<Mail>& mails) {
        for (const auto& m : mails)
            ns->inbox->list->items.push_back(std::make_shared<FakeItem>(world, m.id, m.minute, m.unread));
        f.oAgentChar = std::shared_ptr<Character>(character);
        f.oNS = std::shared_ptr<NameSpace>(ns);
        f.oMyCB = button;
        f.oMyMB = menu;
        f.bAgentLoaded = true;
        f.sAckLine = "Ok!";
    }

    // The lines so far, without request numbers: the reading the preview starts queues requests of its own.
    std::vector<std::string> take() {
        auto lines = world.transcript.take();
        for (auto& line : lines) {
            const auto hash = line.rfind(" #");
            if (line.starts_with("agent: ") && hash != std::string::npos &&
                line.find_first_not_of("0123456789", hash + 2) == std::string::npos)
                line.erase(hash);
        }
        return lines;
    }
    FakeItems& inbox() { return *ns->inbox->list; }
    // The item deleted outside the add-in: the Inbox raises ItemRemove.
    void remove(const std::string& id) {
        auto& items = inbox().items;
        std::erase_if(items, [&](const auto& i) { return i->entry_id() == id; });
        inbox().removed.raise();
    }
    void mark_read(const std::string& id) {
        for (auto& i : inbox().items)
            if (i->entry_id() == id) i->set_unread(false);
    }
    std::string current() { return f.oCurReadItem ? f.oCurReadItem->entry_id() : "Nothing"; }
    bool offered(const std::string& command) {
        character->command_set->item(command);
        return character->command_set->by_name[command]->offered();
    }
};

}  // namespace inbox_fake
