#pragma once

// The simulated mail client's objects, shared by outlook.cpp and outlook_items.cpp; nothing outside
// src/sim/outlook*.cpp includes this.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/outlook.hpp"
#include "sim/edge.hpp"
#include "sim/faults.hpp"
#include "sim/mailbox.hpp"
#include "sim/transcript.hpp"

namespace sim::detail {

class SimItem;
class SimItems;
class SimFolder;
class SimInspector;
class SimExplorer;
class SimApplication;
class SimNameSpace;
class SimFolders;
class OtherWindow;
struct Store;

using ItemHandle = std::shared_ptr<SimItem>;

// The late-bound "Object doesn't support this property or method".
inline constexpr std::int32_t kNotSupported = 438;
// MAPI's "not found", as a 32-bit number.
inline constexpr std::int32_t kNotFound = static_cast<std::int32_t>(0x8004010F);
inline constexpr std::int32_t kAutomationError = 440;

[[noreturn]] void throw_not_supported();
[[noreturn]] void throw_error(std::int32_t number, const std::string& description);

// Whether items of class `cls` have the member `name` on the object model.
bool class_supports(std::int32_t cls, std::string_view name);

class SimItem : public platform::Item, public std::enable_shared_from_this<SimItem> {
public:
    SimItem(Store& store, ItemRecord record) : store_(store), record_(std::move(record)) {}

    ItemRecord& record() { return record_; }
    const std::string& id() const { return record_.entry_id; }
    SimFolder* folder() const { return folder_; }
    void set_folder(SimFolder* folder) { folder_ = folder; }
    bool gone() const { return gone_; }
    void set_gone() { gone_ = true, folder_ = nullptr; }
    int next_copy_number() { return ++copies_; }
    platform::Event<bool&>& close_event() { return close_; }
    platform::Event<bool&>& send_event() { return send_; }

    std::int32_t item_class() override;
    std::string entry_id() override;
    std::string subject() override { return text("Subject"); }
    std::string body() override { return text("Body"); }
    std::string html_body() override { return text("HTMLBody"); }
    std::int32_t attachments_count() override { return number("Attachments"); }
    bool unread() override { return flag("UnRead"); }
    void set_unread(bool on) override;
    std::int32_t flag_status() override { return number("FlagStatus"); }
    void set_flag_status(std::int32_t status) override;
    std::string flag_request() override { return text("FlagRequest"); }
    void set_flag_request(std::string_view text) override;

    std::string sender_name() override { return text("SenderName"); }
    platform::Date received_time() override { return date("ReceivedTime"); }
    platform::Date start() override { return date("Start"); }
    bool all_day_event() override { return flag("AllDayEvent"); }
    std::string full_name() override { return text("FullName"); }
    std::string company_name() override { return text("CompanyName"); }
    std::string home_telephone_number() override { return text("HomeTelephoneNumber"); }
    std::string business_telephone_number() override { return text("BusinessTelephoneNumber"); }
    platform::Date last_modification_time() override { return date("LastModificationTime"); }
    std::string type() override { return text("Type"); }
    std::int32_t color() override { return number("Color"); }
    std::string delegator() override { return text("Delegator"); }
    std::string owner() override { return text("Owner"); }
    platform::Date due_date() override { return date("DueDate"); }
    std::int32_t sensitivity() override { return number("Sensitivity"); }
    std::int32_t importance() override { return number("Importance"); }
    std::int32_t status() override { return number("Status"); }
    std::int32_t percent_complete() override { return number("PercentComplete"); }
    std::string organizer() override { return text("Organizer"); }
    std::string required_attendees() override { return text("RequiredAttendees"); }
    std::string optional_attendees() override { return text("OptionalAttendees"); }
    std::string location() override { return text("Location"); }

    void save() override;
    std::shared_ptr<platform::Inspector> get_inspector() override;
    void display() override;
    void close(std::int32_t save_mode) override;
    std::shared_ptr<platform::Item> copy() override;
    void move(const std::shared_ptr<platform::Folder>& destination) override;
    void delete_item() override;
    void print_out() override;
    std::shared_ptr<platform::Item> forward() override { return answer("Forward", "FW: "); }
    std::shared_ptr<platform::Item> reply() override { return answer("Reply", "RE: "); }
    std::shared_ptr<platform::Item> reply_all() override { return answer("ReplyAll", "RE: "); }
    std::shared_ptr<platform::Item> get_associated_appointment(bool add_to_calendar) override;
    std::shared_ptr<platform::Item> get_associated_task(bool add_to_task_list) override;
    std::shared_ptr<platform::Item> respond(std::int32_t response, bool no_ui, bool additional_text_dialog) override;

    platform::Subscription on_close(std::function<void(bool& cancel)> handler) override {
        return close_.subscribe(std::move(handler));
    }
    platform::Subscription on_send(std::function<void(bool& cancel)> handler) override {
        return send_.subscribe(std::move(handler));
    }

    // The start of every member: the injected fault, then the item's existence, then the class.
    void enter(std::string_view member);

private:
    std::string text(std::string_view name);
    std::int32_t number(std::string_view name);
    bool flag(std::string_view name);
    platform::Date date(std::string_view name);
    std::shared_ptr<platform::Item> answer(std::string_view member, std::string_view prefix);
    std::shared_ptr<platform::Item> associated(std::string_view member, bool appointment);

    Store& store_;
    ItemRecord record_;
    SimFolder* folder_ = nullptr;  // none for a new unsaved item, an associated object, a deleted item
    bool gone_ = false;
    int copies_ = 0;
    platform::Event<bool&> close_;
    platform::Event<bool&> send_;
};

class SimFolder : public platform::Folder, public std::enable_shared_from_this<SimFolder> {
public:
    SimFolder(Store& store, std::string name, SimFolder* parent, std::vector<std::string> refuse)
        : store_(store), name_(std::move(name)), parent_(parent), refuse_(std::move(refuse)) {}

    std::string name() override;
    std::shared_ptr<platform::Items> items() override;
    std::int32_t unread_item_count() override;

    std::string path() const { return parent_ ? parent_->path() + "/" + name_ : name_; }
    const std::string& plain_name() const { return name_; }
    const std::vector<std::string>& refused() const { return refuse_; }
    std::vector<ItemHandle>& contents() { return items_; }
    std::vector<std::shared_ptr<SimFolder>>& children() { return children_; }
    SimFolder* find_child(std::string_view name);

    // The item enters or leaves the folder; every live Items collection follows at once, and the
    // returned collections are the ones whose ItemAdd or ItemRemove the caller then raises.
    std::vector<std::shared_ptr<SimItems>> add(const ItemHandle& item);
    std::vector<std::shared_ptr<SimItems>> take(const ItemHandle& item);
    void check(std::string_view call);

private:
    std::vector<std::shared_ptr<SimItems>> live();

    Store& store_;
    std::string name_;
    SimFolder* parent_;
    std::vector<std::string> refuse_;
    std::vector<ItemHandle> items_;  // in arrival order
    std::vector<std::shared_ptr<SimFolder>> children_;
    std::vector<std::weak_ptr<SimItems>> collections_;
};

// One Items collection: its own order and cursor over the folder's items when it was taken, kept
// current as items come and go.
class SimItems : public platform::Items {
public:
    SimItems(Store& store, std::shared_ptr<SimFolder> folder, std::vector<ItemHandle> items)
        : store_(store), folder_(std::move(folder)), items_(std::move(items)) {}

    std::int32_t count() override;
    void sort(std::string_view property, bool descending) override;
    platform::ItemPtr get_first() override;
    platform::ItemPtr get_next() override;
    platform::ItemPtr get_previous() override;
    platform::ItemPtr get_last() override;
    platform::Subscription on_item_add(std::function<void(const platform::ItemPtr&)> handler) override {
        return item_add_.subscribe(std::move(handler));
    }
    platform::Subscription on_item_remove(std::function<void()> handler) override {
        return item_remove_.subscribe(std::move(handler));
    }

    void insert(const ItemHandle& item);
    void erase(const ItemHandle& item);
    platform::Event<const platform::ItemPtr&>& item_add_event() { return item_add_; }
    platform::Event<>& item_remove_event() { return item_remove_; }

private:
    platform::ItemPtr at_cursor() const;

    Store& store_;
    std::shared_ptr<SimFolder> folder_;
    std::vector<ItemHandle> items_;
    // From -1 (before the first) to size() (past the last).
    std::ptrdiff_t cursor_ = -1;
    std::optional<std::string> sort_property_;
    bool descending_ = false;
    platform::Event<const platform::ItemPtr&> item_add_;
    platform::Event<> item_remove_;
};

class SimInspector : public platform::Inspector {
public:
    SimInspector(Store& store, ItemHandle item) : store_(store), item_(std::move(item)) {}

    std::string type_name() override { return "Inspector"; }
    platform::ItemPtr current_item() override;
    void activate() override;
    void close(std::int32_t save_mode) override;
    platform::Subscription on_close(std::function<void()> handler) override {
        return close_.subscribe(std::move(handler));
    }

    const ItemHandle& item() const { return item_; }
    bool displayed() const { return displayed_; }
    void set_displayed() { displayed_ = true; }
    bool closed() const { return closed_; }
    // The window goes: the inspector's Close, then the item's Close, as the mail client raises them.
    void shut();

private:
    Store& store_;
    ItemHandle item_;
    bool displayed_ = false;
    bool closed_ = false;
    platform::Event<> close_;
};

class SimExplorer : public platform::Explorer {
public:
    SimExplorer(Store& store, SimFolder* folder, std::string view)
        : store_(store), folder_(folder), view_(std::move(view)) {}

    std::string type_name() override { return "Explorer"; }
    std::shared_ptr<platform::CommandBars> command_bars() override;
    platform::FolderPtr current_folder() override;
    std::shared_ptr<platform::Selection> selection() override;
    std::string current_view() override;
    platform::Subscription on_close(std::function<void()> handler) override {
        return close_.subscribe(std::move(handler));
    }
    platform::Subscription on_folder_switch(std::function<void()> handler) override {
        return folder_switch_.subscribe(std::move(handler));
    }
    platform::Subscription on_selection_change(std::function<void()> handler) override {
        return selection_change_.subscribe(std::move(handler));
    }
    platform::Subscription on_view_switch(std::function<void()> handler) override {
        return view_switch_.subscribe(std::move(handler));
    }

    SimFolder* folder() const { return folder_; }
    void set_folder(SimFolder* folder) { folder_ = folder; }
    void set_view(std::string view) { view_ = std::move(view); }
    std::vector<ItemHandle>& selected() { return selected_; }
    bool closed() const { return closed_; }
    void set_closed() { closed_ = true; }
    platform::Event<>& close_event() { return close_; }
    platform::Event<>& folder_switch_event() { return folder_switch_; }
    platform::Event<>& selection_change_event() { return selection_change_; }
    platform::Event<>& view_switch_event() { return view_switch_; }

private:
    void enter(std::string_view member);

    Store& store_;
    SimFolder* folder_;
    std::string view_;
    std::vector<ItemHandle> selected_;
    bool closed_ = false;
    platform::Event<> close_, folder_switch_, selection_change_, view_switch_;
};

// A window of another kind (a calendar pop-up, a dialog), for `activate other`.
class OtherWindow : public platform::Window {
public:
    std::string type_name() override { return "Reminder"; }
};

class SimFolders : public platform::Folders {
public:
    explicit SimFolders(Store& store) : store_(store) {}
    std::int32_t count() override;
    platform::Subscription on_folder_add(std::function<void(const platform::FolderPtr&)> handler) override {
        return add_.subscribe(std::move(handler));
    }
    platform::Subscription on_folder_change(std::function<void(const platform::FolderPtr&)> handler) override {
        return change_.subscribe(std::move(handler));
    }
    platform::Subscription on_folder_remove(std::function<void()> handler) override {
        return remove_.subscribe(std::move(handler));
    }
    platform::Event<const platform::FolderPtr&>& add_event() { return add_; }
    platform::Event<>& remove_event() { return remove_; }

private:
    Store& store_;
    platform::Event<const platform::FolderPtr&> add_, change_;
    platform::Event<> remove_;
};

class SimNameSpace : public platform::NameSpace {
public:
    explicit SimNameSpace(Store& store) : store_(store) {}
    std::shared_ptr<platform::Folders> folders() override;
    std::string current_user() override;
    platform::FolderPtr get_default_folder(std::int32_t which) override;
    platform::FolderPtr pick_folder() override;

private:
    Store& store_;
};

class SimApplication : public platform::Application {
public:
    explicit SimApplication(Store& store) : store_(store) {}
    std::shared_ptr<platform::NameSpace> get_namespace(std::string_view type) override;
    std::shared_ptr<platform::Explorer> active_explorer() override;
    std::shared_ptr<platform::Inspector> active_inspector() override;
    std::shared_ptr<platform::Window> active_window() override;
    platform::ItemPtr create_item(std::int32_t type) override;
    platform::Subscription on_new_mail(std::function<void()> handler) override {
        return new_mail_.subscribe(std::move(handler));
    }
    platform::Subscription on_reminder(std::function<void(const platform::ItemPtr&)> handler) override {
        return reminder_.subscribe(std::move(handler));
    }
    platform::Subscription on_item_send(std::function<void(const platform::ItemPtr&, bool& cancel)> handler) override {
        return item_send_.subscribe(std::move(handler));
    }
    platform::Subscription on_quit(std::function<void()> handler) override {
        return quit_.subscribe(std::move(handler));
    }

    platform::Event<>& new_mail_event() { return new_mail_; }
    platform::Event<const platform::ItemPtr&>& reminder_event() { return reminder_; }
    platform::Event<const platform::ItemPtr&, bool&>& item_send_event() { return item_send_; }
    platform::Event<>& quit_event() { return quit_; }

private:
    Store& store_;
    platform::Event<> new_mail_;
    platform::Event<const platform::ItemPtr&> reminder_;
    platform::Event<const platform::ItemPtr&, bool&> item_send_;
    platform::Event<> quit_;
};

enum class ActiveKind { None, Explorer, Inspector, Other };

// Everything the simulated mail client knows, shared by its objects.
struct Store {
    Store(Transcript& t, Faults& f, Edge& e, platform::Clock& c) : transcript(t), faults(f), edge(e), clock(c) {}

    Transcript& transcript;
    Faults& faults;
    Edge& edge;
    platform::Clock& clock;

    std::string user;
    std::optional<ExplorerRecord> start_explorer;
    std::vector<std::shared_ptr<SimFolder>> folders;          // top level
    std::vector<std::shared_ptr<SimFolder>> removed_folders;  // kept so their items' folder pointers stay valid
    SimFolder* inbox = nullptr;
    std::unordered_map<std::string, ItemHandle> items;                          // every item that exists, by EntryID
    std::unordered_map<std::string, std::shared_ptr<SimInspector>> inspectors;  // open ones, by item
    std::shared_ptr<SimExplorer> explorer;
    ActiveKind active = ActiveKind::None;
    std::shared_ptr<SimInspector> active_inspector;  // the last inspector made active, while open
    std::shared_ptr<platform::CommandBars> command_bars;
    std::optional<std::optional<std::string>> pick_answer;
    int answers = 0;    // r1, r2, ...
    int new_items = 0;  // n1, n2, ...

    std::shared_ptr<SimApplication> application;
    std::shared_ptr<SimNameSpace> name_space;
    std::shared_ptr<SimFolders> top_folders;
    std::shared_ptr<OtherWindow> other_window = std::make_shared<OtherWindow>();

    void print(std::string_view text) { transcript.add("outlook", text); }
    SimFolder* folder_at(std::string_view path);
    SimFolder* deleted_items() { return find_top("Deleted Items"); }
    SimFolder* find_top(std::string_view name);
    std::shared_ptr<SimFolder> shared(SimFolder* folder);
    // A fresh id for a new item: `base` followed by the first number not yet taken from `counter` on.
    std::string fresh_id(std::string_view base, int& counter);
    ItemHandle adopt(ItemRecord record, SimFolder* folder);
    // The appointment or task behind a meeting item or task request ("m5.appointment"); nullptr when gone.
    ItemHandle associated(SimItem& owner, bool appointment);

    // Moves an item between folders (either may be none) and raises ItemRemove on the source's
    // collections, then ItemAdd on the destination's, each inside the call.
    void relocate(const ItemHandle& item, SimFolder* to);
    // Deletes as the mail client does: into Deleted Items, or for good from there or without one.
    void delete_item(const ItemHandle& item);
    void forget(const ItemHandle& item);
    std::shared_ptr<SimInspector> inspector_for(const ItemHandle& item);
    void make_active(const std::shared_ptr<SimInspector>& inspector);
    void inspector_closed(const SimInspector& inspector);
};

}  // namespace sim::detail
