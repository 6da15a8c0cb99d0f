#include "sim/outlook.hpp"

#include <algorithm>
#include <nlohmann/json.hpp>

#include "sim/outlook_objects.hpp"

namespace sim {

namespace detail {

// ---- SimInspector ----

platform::ItemPtr SimInspector::current_item() {
    store_.faults.check("CurrentItem");
    return item_;
}

void SimInspector::activate() {
    store_.faults.check("Activate");
    if (closed_) throw_error(kAutomationError, "The window has been closed.");
    store_.print("Activate " + item_->id());
    displayed_ = true;
    store_.make_active(store_.inspectors.at(item_->id()));
}

void SimInspector::close(std::int32_t save_mode) {
    store_.faults.check("Close");
    // A window closed already has nothing left to close; it raises no second Close.
    if (closed_) return;
    store_.print("Close " + item_->id() + " " + std::to_string(save_mode));
    shut();
}

void SimInspector::shut() {
    if (closed_) return;
    closed_ = true;
    // The store lets go of the window here, and it may be the last to hold it.
    std::shared_ptr<SimInspector> keep;
    if (auto it = store_.inspectors.find(item_->id()); it != store_.inspectors.end() && it->second.get() == this)
        keep = it->second;
    store_.inspector_closed(*this);
    const auto item = item_;
    store_.edge.deliver("Inspector.Close", [&] { close_.raise(); });
    store_.edge.deliver("Item.Close", [&] {
        bool cancel = false;
        item->close_event().raise(cancel);
    });
}

// ---- SimExplorer ----

void SimExplorer::enter(std::string_view member) {
    store_.faults.check(member);
    if (closed_) throw_error(kAutomationError, "The explorer has been closed.");
}

std::shared_ptr<platform::CommandBars> SimExplorer::command_bars() {
    enter("CommandBars");
    if (!store_.command_bars) throw_error(kAutomationError, "Automation error");
    return store_.command_bars;
}

platform::FolderPtr SimExplorer::current_folder() {
    enter("CurrentFolder");
    return store_.shared(folder_);
}

namespace {
// What the explorer had selected when asked; later moves and deletions leave it as it is.
class SimSelection : public platform::Selection {
public:
    SimSelection(Faults& faults, std::vector<platform::ItemPtr> items) : faults_(faults), items_(std::move(items)) {}
    std::int32_t count() override {
        faults_.check("Selection.Count");
        return static_cast<std::int32_t>(items_.size());
    }
    platform::ItemPtr item(std::int32_t index) override {
        faults_.check("Selection.Item");
        if (index < 1 || index > static_cast<std::int32_t>(items_.size())) throw_error(9, "Subscript out of range");
        return items_[static_cast<std::size_t>(index - 1)];
    }

private:
    Faults& faults_;
    std::vector<platform::ItemPtr> items_;
};
}  // namespace

std::shared_ptr<platform::Selection> SimExplorer::selection() {
    enter("Selection");
    return std::make_shared<SimSelection>(store_.faults,
                                          std::vector<platform::ItemPtr>(selected_.begin(), selected_.end()));
}

std::string SimExplorer::current_view() {
    enter("CurrentView");
    return view_;
}

// ---- SimFolders, SimNameSpace, SimApplication ----

std::int32_t SimFolders::count() {
    store_.faults.check("Folders.Count");
    return static_cast<std::int32_t>(store_.folders.size());
}

std::shared_ptr<platform::Folders> SimNameSpace::folders() {
    store_.faults.check("Folders");
    return store_.top_folders;
}

std::string SimNameSpace::current_user() {
    store_.faults.check("CurrentUser");
    return store_.user;
}

platform::FolderPtr SimNameSpace::get_default_folder(std::int32_t which) {
    store_.faults.check("GetDefaultFolder");
    constexpr std::int32_t kOlFolderDeletedItems = 3;
    SimFolder* folder = nullptr;
    if (which == platform::kOlFolderInbox) folder = store_.inbox;
    if (which == kOlFolderDeletedItems) folder = store_.deleted_items();
    if (!folder) throw_error(kNotFound, "The operation failed. An object could not be found.");
    return store_.shared(folder);
}

platform::FolderPtr SimNameSpace::pick_folder() {
    store_.faults.check("PickFolder");
    // The user answers once; a picker nobody prepared an answer for is cancelled.
    auto answer = std::exchange(store_.pick_answer, std::nullopt).value_or(std::nullopt);
    SimFolder* folder = answer ? store_.folder_at(*answer) : nullptr;
    store_.print(folder ? "PickFolder -> " + quote(folder->path()) : "PickFolder -> Nothing");
    return store_.shared(folder);
}

std::shared_ptr<platform::NameSpace> SimApplication::get_namespace(std::string_view type) {
    store_.faults.check("GetNamespace");
    if (type != "MAPI") throw_error(kAutomationError, "Automation error");
    return store_.name_space;
}

std::shared_ptr<platform::Explorer> SimApplication::active_explorer() {
    store_.faults.check("ActiveExplorer");
    return store_.explorer;
}

std::shared_ptr<platform::Inspector> SimApplication::active_inspector() {
    store_.faults.check("ActiveInspector");
    return store_.active_inspector;
}

std::shared_ptr<platform::Window> SimApplication::active_window() {
    store_.faults.check("ActiveWindow");
    switch (store_.active) {
        case ActiveKind::Explorer:
            return store_.explorer;
        case ActiveKind::Inspector:
            return store_.active_inspector;
        case ActiveKind::Other:
            return store_.other_window;
        case ActiveKind::None:
            break;
    }
    return nullptr;
}

platform::ItemPtr SimApplication::create_item(std::int32_t type) {
    store_.faults.check("CreateItem");
    static constexpr std::int32_t kClasses[] = {platform::kOlMail, platform::kOlAppointment, platform::kOlContact,
                                                platform::kOlTask, platform::kOlJournal,     platform::kOlNote,
                                                platform::kOlPost};
    if (type < 0 || type >= static_cast<std::int32_t>(std::size(kClasses)))
        throw_error(5, "Invalid procedure call or argument");
    ItemRecord record;
    record.entry_id = store_.fresh_id("n", store_.new_items);
    record.item_class = kClasses[type];
    record.properties.set("LastModificationTime", platform::Date{store_.clock.now()});
    store_.print("CreateItem " + std::to_string(type) + " -> " + record.entry_id);
    return store_.adopt(std::move(record), nullptr);
}

// ---- Store: windows ----

std::shared_ptr<SimInspector> Store::inspector_for(const ItemHandle& item) {
    auto& inspector = inspectors[item->id()];
    if (!inspector) inspector = std::make_shared<SimInspector>(*this, item);
    return inspector;
}

void Store::make_active(const std::shared_ptr<SimInspector>& inspector) {
    active_inspector = inspector;
    active = ActiveKind::Inspector;
}

void Store::inspector_closed(const SimInspector& inspector) {
    inspectors.erase(inspector.item()->id());
    if (active_inspector.get() != &inspector) return;
    // The explorer comes to the front when there is one.
    active_inspector.reset();
    if (active == ActiveKind::Inspector) active = explorer ? ActiveKind::Explorer : ActiveKind::None;
}

namespace {

// The record's items move into the store: a long message's body is not held twice.
void build_folder(Store& store, FolderRecord& record, SimFolder* parent, std::vector<std::shared_ptr<SimFolder>>& into) {
    auto folder = std::make_shared<SimFolder>(store, record.name, parent, record.refuse);
    into.push_back(folder);
    if (record.inbox) store.inbox = folder.get();
    for (auto& item : record.items) store.adopt(std::move(item), folder.get());
    for (auto& child : record.folders) build_folder(store, child, folder.get(), folder->children());
}

}  // namespace

}  // namespace detail

using detail::ActiveKind;
using detail::ItemHandle;
using detail::SimFolder;

namespace {

ItemHandle known_item(detail::Store& store, std::string_view id) {
    if (auto it = store.items.find(std::string(id)); it != store.items.end()) return it->second;
    // An associated object is known by its item's name before the add-in first asks for it.
    for (const std::string_view suffix : {".appointment", ".task"}) {
        if (!id.ends_with(suffix)) continue;
        auto owner = store.items.find(std::string(id.substr(0, id.size() - suffix.size())));
        if (owner == store.items.end()) continue;
        if (auto object = store.associated(*owner->second, suffix == ".appointment")) return object;
    }
    throw UsageError("no item \"" + std::string(id) + "\"");
}

SimFolder* known_folder(detail::Store& store, std::string_view path) {
    auto* folder = store.folder_at(path);
    if (!folder) throw UsageError("no folder \"" + std::string(path) + "\"");
    return folder;
}

detail::SimExplorer& open_explorer(detail::Store& store) {
    if (!store.explorer) throw UsageError("the mail client has no explorer window");
    return *store.explorer;
}

}  // namespace

SimOutlook::SimOutlook(Mailbox mailbox, Transcript& transcript, Faults& faults, Edge& edge, platform::Clock& clock)
    : store_(std::make_unique<detail::Store>(transcript, faults, edge, clock)) {
    auto& s = *store_;
    s.user = std::move(mailbox.user);
    s.start_explorer = std::move(mailbox.explorer);
    for (auto& folder : mailbox.folders) detail::build_folder(s, folder, nullptr, s.folders);
    // A store built in code may name its Inbox without flagging it.
    if (!s.inbox) s.inbox = s.find_top("Inbox");
    s.application = std::make_shared<detail::SimApplication>(s);
    s.name_space = std::make_shared<detail::SimNameSpace>(s);
    s.top_folders = std::make_shared<detail::SimFolders>(s);
}

SimOutlook::~SimOutlook() = default;

std::shared_ptr<platform::Application> SimOutlook::application() { return store_->application; }

void SimOutlook::set_command_bars(std::shared_ptr<platform::CommandBars> bars) {
    store_->command_bars = std::move(bars);
}

std::string SimOutlook::user_name() const { return store_->user; }

void SimOutlook::start() {
    auto& s = *store_;
    s.active = ActiveKind::None;
    if (!s.start_explorer) return;
    const auto& record = *s.start_explorer;
    auto* folder = record.folder.empty() ? s.inbox : s.folder_at(record.folder);
    if (!folder && record.folder.empty()) throw UsageError("the store has no Inbox for the explorer to show");
    if (!folder) throw UsageError("the explorer's folder \"" + record.folder + "\" does not exist");
    s.explorer = std::make_shared<detail::SimExplorer>(s, folder, record.view);
    for (const auto& id : record.selection) {
        auto it = s.items.find(id);
        if (it != s.items.end() && it->second->folder() == folder) s.explorer->selected().push_back(it->second);
    }
    s.active = ActiveKind::Explorer;
}

void SimOutlook::quit() {
    auto& s = *store_;
    if (s.explorer) close_explorer();
    s.edge.deliver("Application.Quit", [&] { s.application->quit_event().raise(); });
}

void SimOutlook::close_explorer() {
    auto& s = *store_;
    auto explorer = s.explorer;
    if (!explorer) throw UsageError("the mail client has no explorer window");
    s.explorer.reset();
    explorer->set_closed();
    if (s.active == ActiveKind::Explorer) s.active = s.active_inspector ? ActiveKind::Inspector : ActiveKind::None;
    s.edge.deliver("Explorer.Close", [&] { explorer->close_event().raise(); });
}

void SimOutlook::folder(std::string_view path) {
    auto& s = *store_;
    auto& explorer = open_explorer(s);
    auto* folder = known_folder(s, path);
    explorer.set_folder(folder);
    // The new folder's selection is reported by a later SelectionChange.
    explorer.selected().clear();
    s.edge.deliver("Explorer.FolderSwitch", [&] { explorer.folder_switch_event().raise(); });
}

void SimOutlook::select(const std::vector<std::string>& ids) {
    auto& s = *store_;
    auto& explorer = open_explorer(s);
    std::vector<ItemHandle> items;
    for (const auto& id : ids) {
        auto item = known_item(s, id);
        if (item->folder() != explorer.folder())
            throw UsageError("the item " + id + " is not in the explorer's folder \"" + explorer.folder()->path() +
                             "\"");
        items.push_back(std::move(item));
    }
    explorer.selected() = std::move(items);
    s.edge.deliver("Explorer.SelectionChange", [&] { explorer.selection_change_event().raise(); });
}

void SimOutlook::select_none() { select({}); }

void SimOutlook::view(std::string_view name) {
    auto& s = *store_;
    auto& explorer = open_explorer(s);
    explorer.set_view(std::string(name));
    s.edge.deliver("Explorer.ViewSwitch", [&] { explorer.view_switch_event().raise(); });
}

void SimOutlook::open(std::string_view id) {
    auto& s = *store_;
    auto inspector = s.inspector_for(known_item(s, id));
    inspector->set_displayed();
    s.make_active(inspector);
}

void SimOutlook::close(std::string_view id) {
    auto& s = *store_;
    known_item(s, id);
    auto it = s.inspectors.find(std::string(id));
    if (it == s.inspectors.end() || !it->second->displayed())
        throw UsageError("the item " + std::string(id) + " is not open");
    auto inspector = it->second;
    inspector->shut();
}

void SimOutlook::activate_explorer() {
    open_explorer(*store_);
    store_->active = ActiveKind::Explorer;
}

void SimOutlook::activate(std::string_view id) {
    auto& s = *store_;
    known_item(s, id);
    auto it = s.inspectors.find(std::string(id));
    if (it == s.inspectors.end() || !it->second->displayed())
        throw UsageError("the item " + std::string(id) + " is not open");
    s.make_active(it->second);
}

void SimOutlook::activate_none() { store_->active = ActiveKind::None; }

void SimOutlook::activate_other() { store_->active = ActiveKind::Other; }

void SimOutlook::arrive(const nlohmann::json& object) {
    auto& s = *store_;
    if (!s.inbox) throw UsageError("the store has no Inbox");
    ItemRecord record;
    try {
        record = item_from_json(object);
    } catch (const MailboxError& e) {
        throw UsageError(e.place.empty() ? e.problem : e.place + ": " + e.problem);
    }
    if (s.items.contains(record.entry_id)) throw UsageError("an item \"" + record.entry_id + "\" exists already");
    // New mail is unread and received now unless the line says otherwise.
    if (!record.properties.has("ReceivedTime")) record.properties.set("ReceivedTime", platform::Date{s.clock.now()});
    if (!record.properties.has("UnRead")) record.properties.set("UnRead", true);
    auto item = s.adopt(std::move(record), nullptr);
    s.relocate(item, s.inbox);
    s.edge.deliver("Application.NewMail", [&] { s.application->new_mail_event().raise(); });
}

void SimOutlook::remove(std::string_view id) {
    auto& s = *store_;
    auto item = known_item(s, id);
    if (!item->folder()) throw UsageError("the item " + std::string(id) + " is in no folder");
    s.delete_item(item);
}

void SimOutlook::mark(std::string_view id, bool read) {
    known_item(*store_, id)->record().properties.set("UnRead", !read);
}

void SimOutlook::reminder(std::string_view id) {
    auto& s = *store_;
    const platform::ItemPtr item = known_item(s, id);
    s.edge.deliver("Application.Reminder", [&] { s.application->reminder_event().raise(item); });
}

void SimOutlook::send(std::string_view id) {
    auto& s = *store_;
    auto item = known_item(s, id);
    const platform::ItemPtr as_item = item;
    bool cancel = false;
    s.edge.deliver("Application.ItemSend", [&] { s.application->item_send_event().raise(as_item, cancel); });
    // A handler that cancels keeps the item from going out.
    if (cancel) return;
    s.edge.deliver("Item.Send", [&] { item->send_event().raise(cancel); });
}

void SimOutlook::pick(std::optional<std::string> path) {
    if (path) known_folder(*store_, *path);
    store_->pick_answer = std::move(path);
}

void SimOutlook::add_folder(std::string_view name) {
    auto& s = *store_;
    if (name.empty() || name.find('/') != std::string_view::npos)
        throw UsageError("a folder name cannot be empty or contain \"/\"");
    if (s.find_top(name)) throw UsageError("a folder \"" + std::string(name) + "\" exists already");
    auto folder = std::make_shared<SimFolder>(s, std::string(name), nullptr, std::vector<std::string>{});
    s.folders.push_back(folder);
    const platform::FolderPtr added = folder;
    s.edge.deliver("Folders.FolderAdd", [&] { s.top_folders->add_event().raise(added); });
}

void SimOutlook::remove_folder(std::string_view name) {
    auto& s = *store_;
    auto* folder = s.find_top(name);
    if (!folder) throw UsageError("no top-level folder \"" + std::string(name) + "\"");
    if (s.explorer && s.explorer->folder() == folder)
        throw UsageError("the explorer shows \"" + std::string(name) + "\"; switch it to another folder first");
    // Everything inside goes with it.
    std::vector<SimFolder*> pending{folder};
    while (!pending.empty()) {
        auto* f = pending.back();
        pending.pop_back();
        for (auto& item : std::vector<ItemHandle>(f->contents())) s.forget(item);
        for (auto& child : f->children()) pending.push_back(child.get());
    }
    if (s.inbox == folder) s.inbox = nullptr;
    auto it = std::find_if(s.folders.begin(), s.folders.end(), [&](const auto& f) { return f.get() == folder; });
    s.removed_folders.push_back(*it);
    s.folders.erase(it);
    s.edge.deliver("Folders.FolderRemove", [&] { s.top_folders->remove_event().raise(); });
}

std::string SimOutlook::show_item(std::string_view id) const {
    auto item = known_item(*store_, id);
    return item->id() + " " + to_json(item->record());
}

std::string SimOutlook::show_folder(std::string_view path) const {
    auto* folder = known_folder(*store_, path);
    std::string text = folder->path();
    for (const auto& item : folder->contents()) text += " " + item->id();
    return text;
}

bool SimOutlook::has_item(std::string_view id) const { return store_->items.contains(std::string(id)); }

std::optional<std::string> SimOutlook::folder_of(std::string_view id) const {
    auto* folder = known_item(*store_, id)->folder();
    if (!folder) return std::nullopt;
    return folder->path();
}

std::string SimOutlook::active_window_name() const {
    switch (store_->active) {
        case ActiveKind::Explorer:
            return "explorer";
        case ActiveKind::Inspector:
            return "inspector " + store_->active_inspector->item()->id();
        case ActiveKind::Other:
            return "other";
        case ActiveKind::None:
            break;
    }
    return "Nothing";
}

bool SimOutlook::has_explorer() const { return store_->explorer != nullptr; }

}  // namespace sim
