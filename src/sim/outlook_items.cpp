// Items, folders and Items collections of the simulated mail client.

#include <algorithm>
#include <cassert>
#include <initializer_list>
#include <limits>

#include "platform/object_ref.hpp"
#include "sim/outlook_objects.hpp"

namespace sim::detail {

namespace {

using platform::kOlAppointment, platform::kOlContact, platform::kOlJournal, platform::kOlMail, platform::kOlNote,
    platform::kOlPost, platform::kOlReport, platform::kOlRemote, platform::kOlTask;

bool one_of(std::int32_t cls, std::initializer_list<std::int32_t> classes) {
    return std::find(classes.begin(), classes.end(), cls) != classes.end();
}
bool meeting(std::int32_t cls) {
    return cls >= platform::kOlMeetingRequest && cls <= platform::kOlMeetingResponseTentative;
}
bool task_request(std::int32_t cls) {
    return cls >= platform::kOlTaskRequest && cls <= platform::kOlTaskRequestDecline;
}

std::string bool_text(bool on) { return on ? "True" : "False"; }

// The sort key of one item: dates and numbers order by value, texts by their bytes.
struct SortKey {
    std::int64_t number = 0;
    std::string text;
    auto operator<=>(const SortKey&) const = default;
};

SortKey sort_key(const ItemRecord& record, std::string_view property) {
    const auto* value = record.properties.find(property);
    if (!value) {
        // Absent values order as the least: no date before every date, as "" and 0 do.
        return {std::numeric_limits<std::int64_t>::min(), {}};
    }
    if (const auto* date = std::get_if<platform::Date>(value))
        return {*date ? date->value().time_since_epoch().count() : std::numeric_limits<std::int64_t>::min(), {}};
    if (const auto* number = std::get_if<std::int32_t>(value)) return {*number, {}};
    if (const auto* flag = std::get_if<bool>(value)) return {*flag ? 1 : 0, {}};
    return {0, std::get<std::string>(*value)};
}

}  // namespace

void throw_not_supported() {
    throw platform::PlatformError(kNotSupported, "Object doesn't support this property or method");
}

void throw_error(std::int32_t number, const std::string& description) {
    throw platform::PlatformError(number, description);
}

bool class_supports(std::int32_t cls, std::string_view name) {
    // Every item has these.
    static constexpr std::string_view kCommon[] = {"Class",
                                                   "EntryID",
                                                   "Subject",
                                                   "Body",
                                                   "Save",
                                                   "Display",
                                                   "GetInspector",
                                                   "Close",
                                                   "Copy",
                                                   "Move",
                                                   "Delete",
                                                   "PrintOut",
                                                   "LastModificationTime"};
    if (std::find(std::begin(kCommon), std::end(kCommon), name) != std::end(kCommon)) return true;
    // Notes carry little beyond their text and colour.
    if (name == "Attachments" || name == "UnRead" || name == "Importance" || name == "Sensitivity")
        return cls != kOlNote;
    if (name == "HTMLBody") return one_of(cls, {kOlMail, kOlPost});
    if (name == "SenderName" || name == "ReceivedTime")
        return one_of(cls, {kOlMail, kOlPost, kOlReport, kOlRemote}) || meeting(cls) || task_request(cls);
    if (name == "FlagStatus" || name == "FlagRequest") return one_of(cls, {kOlMail, kOlPost}) || meeting(cls);
    if (name == "Forward")
        return one_of(cls, {kOlAppointment, kOlContact, kOlJournal, kOlMail, kOlPost, kOlTask}) || meeting(cls) ||
               task_request(cls);
    if (name == "Reply" || name == "ReplyAll") return one_of(cls, {kOlJournal, kOlMail, kOlPost}) || meeting(cls);
    if (name == "Start") return one_of(cls, {kOlAppointment, kOlJournal});
    if (name == "AllDayEvent" || name == "Organizer" || name == "RequiredAttendees" || name == "OptionalAttendees" ||
        name == "Location")
        return cls == kOlAppointment;
    if (name == "FullName" || name == "CompanyName" || name == "HomeTelephoneNumber" ||
        name == "BusinessTelephoneNumber")
        return cls == kOlContact;
    if (name == "Type") return cls == kOlJournal;
    if (name == "Color") return cls == kOlNote;
    if (name == "Delegator" || name == "Owner" || name == "DueDate" || name == "Status" || name == "PercentComplete")
        return cls == kOlTask;
    if (name == "GetAssociatedAppointment") return meeting(cls);
    if (name == "GetAssociatedTask") return task_request(cls);
    if (name == "Respond") return one_of(cls, {kOlAppointment, kOlTask});
    return false;
}

// ---- SimItem ----

void SimItem::enter(std::string_view member) {
    store_.faults.check(member, record_.fail);
    if (gone_) throw_error(kAutomationError, "The item has been moved or deleted.");
    if (!class_supports(record_.item_class, member)) throw_not_supported();
}

std::int32_t SimItem::item_class() {
    enter("Class");
    return record_.item_class;
}

std::string SimItem::entry_id() {
    enter("EntryID");
    return record_.entry_id;
}

std::string SimItem::text(std::string_view name) {
    enter(name);
    return record_.properties.text(name);
}

std::int32_t SimItem::number(std::string_view name) {
    enter(name);
    return record_.properties.number(name);
}

bool SimItem::flag(std::string_view name) {
    enter(name);
    return record_.properties.flag(name);
}

platform::Date SimItem::date(std::string_view name) {
    enter(name);
    return record_.properties.date(name);
}

void SimItem::set_unread(bool on) {
    enter("UnRead");
    record_.properties.set("UnRead", on);
    store_.print("UnRead " + id() + " " + bool_text(on));
}

void SimItem::set_flag_status(std::int32_t status) {
    enter("FlagStatus");
    record_.properties.set("FlagStatus", status);
    store_.print("FlagStatus " + id() + " " + std::to_string(status));
}

void SimItem::set_flag_request(std::string_view text) {
    enter("FlagRequest");
    record_.properties.set("FlagRequest", std::string(text));
    store_.print("FlagRequest " + id() + " " + quote(text));
}

void SimItem::save() {
    enter("Save");
    store_.print("Save " + id());
}

std::shared_ptr<platform::Inspector> SimItem::get_inspector() {
    enter("GetInspector");
    store_.print("GetInspector " + id());
    return store_.inspector_for(shared_from_this());
}

void SimItem::display() {
    enter("Display");
    store_.print("Display " + id());
    auto inspector = store_.inspector_for(shared_from_this());
    inspector->set_displayed();
    store_.make_active(inspector);
}

void SimItem::close(std::int32_t save_mode) {
    enter("Close");
    store_.print("Close " + id() + " " + std::to_string(save_mode));
    const auto self = shared_from_this();
    if (auto it = store_.inspectors.find(id()); it != store_.inspectors.end()) {
        auto inspector = it->second;
        inspector->shut();
        return;
    }
    // Without a window the item still reports that it was closed.
    store_.edge.deliver("Item.Close", [&] {
        bool cancel = false;
        close_.raise(cancel);
    });
}

std::shared_ptr<platform::Item> SimItem::copy() {
    enter("Copy");
    if (!folder_) throw_error(kAutomationError, "The item is not in a folder and cannot be copied.");
    ItemRecord record = record_;
    // A copy is an item of its own: the faults given for the original stay with the original.
    record.fail.clear();
    const auto base = id() + ".copy";
    record.entry_id = store_.fresh_id(base, copies_);
    store_.print("Copy " + id() + " -> " + record.entry_id);
    auto copy = store_.adopt(std::move(record), nullptr);
    store_.relocate(copy, folder_);
    return copy;
}

void SimItem::move(const std::shared_ptr<platform::Folder>& destination) {
    // The item's own faults and the destination's refusals meet in one call.
    std::vector<std::string> refused = record_.fail;
    auto* to = dynamic_cast<SimFolder*>(destination.get());
    if (to) refused.insert(refused.end(), to->refused().begin(), to->refused().end());
    store_.faults.check("Move", refused);
    if (gone_) throw_error(kAutomationError, "The item has been moved or deleted.");
    if (!to) platform::throw_object_not_set();
    store_.print("Move " + id() + " " + quote(to->path()));
    if (to == folder_) return;
    store_.relocate(shared_from_this(), to);
}

void SimItem::delete_item() {
    enter("Delete");
    store_.print("Delete " + id());
    store_.delete_item(shared_from_this());
}

void SimItem::print_out() {
    enter("PrintOut");
    store_.print("PrintOut " + id());
}

std::shared_ptr<platform::Item> SimItem::answer(std::string_view member, std::string_view prefix) {
    enter(member);
    ItemRecord record;
    record.entry_id = store_.fresh_id("r", store_.answers);
    record.item_class = platform::kOlMail;
    record.properties.set("Subject", std::string(prefix) + record_.properties.text("Subject"));
    record.properties.set("Body", record_.properties.text("Body"));
    record.properties.set("LastModificationTime", platform::Date{store_.clock.now()});
    store_.print(std::string(member) + " " + id() + " -> " + record.entry_id);
    return store_.adopt(std::move(record), nullptr);
}

std::shared_ptr<platform::Item> SimItem::associated(std::string_view member, bool appointment) {
    enter(member);
    auto object = store_.associated(*this, appointment);
    if (!object) throw_error(kNotFound, "The operation failed. An object could not be found.");
    return object;
}

std::shared_ptr<platform::Item> SimItem::get_associated_appointment(bool) {
    return associated("GetAssociatedAppointment", true);
}

std::shared_ptr<platform::Item> SimItem::get_associated_task(bool) { return associated("GetAssociatedTask", false); }

std::shared_ptr<platform::Item> SimItem::respond(std::int32_t response, bool no_ui, bool additional_text_dialog) {
    enter("Respond");
    store_.print("Respond " + id() + " " + std::to_string(response) + " " + bool_text(no_ui) + " " +
                 bool_text(additional_text_dialog));
    return nullptr;
}

// ---- SimFolder ----

void SimFolder::check(std::string_view call) { store_.faults.check(call, refuse_); }

std::string SimFolder::name() {
    check("Name");
    return name_;
}

std::shared_ptr<platform::Items> SimFolder::items() {
    check("Items");
    auto collection = std::make_shared<SimItems>(store_, shared_from_this(), items_);
    collections_.push_back(collection);
    return collection;
}

std::int32_t SimFolder::unread_item_count() {
    check("UnReadItemCount");
    return static_cast<std::int32_t>(std::count_if(
        items_.begin(), items_.end(), [](const ItemHandle& item) { return item->record().properties.flag("UnRead"); }));
}

SimFolder* SimFolder::find_child(std::string_view name) {
    for (auto& child : children_)
        if (child->name_ == name) return child.get();
    return nullptr;
}

std::vector<std::shared_ptr<SimItems>> SimFolder::live() {
    std::erase_if(collections_, [](const std::weak_ptr<SimItems>& weak) { return weak.expired(); });
    std::vector<std::shared_ptr<SimItems>> alive;
    alive.reserve(collections_.size());
    for (const auto& weak : collections_)
        if (auto collection = weak.lock()) alive.push_back(std::move(collection));
    return alive;
}

std::vector<std::shared_ptr<SimItems>> SimFolder::add(const ItemHandle& item) {
    items_.push_back(item);
    item->set_folder(this);
    auto collections = live();
    for (auto& collection : collections) collection->insert(item);
    return collections;
}

std::vector<std::shared_ptr<SimItems>> SimFolder::take(const ItemHandle& item) {
    std::erase(items_, item);
    item->set_folder(nullptr);
    auto collections = live();
    for (auto& collection : collections) collection->erase(item);
    return collections;
}

// ---- SimItems ----

std::int32_t SimItems::count() {
    folder_->check("Items.Count");
    return static_cast<std::int32_t>(items_.size());
}

void SimItems::sort(std::string_view property, bool descending) {
    folder_->check("Sort");
    std::string_view name = property;
    if (name.size() >= 2 && name.front() == '[' && name.back() == ']') name = name.substr(1, name.size() - 2);
    if (!property_kind(name))
        throw_error(kAutomationError, "The property \"" + std::string(property) + "\" is unknown.");
    store_.print("Sort " + quote(folder_->path()) + " " + quote(property) + " " + bool_text(descending));
    sort_property_ = std::string(name);
    descending_ = descending;
    std::vector<std::pair<SortKey, ItemHandle>> keyed;
    keyed.reserve(items_.size());
    for (auto& item : items_) keyed.emplace_back(sort_key(item->record(), name), std::move(item));
    std::stable_sort(keyed.begin(), keyed.end(), [descending](const auto& a, const auto& b) {
        return descending ? b.first < a.first : a.first < b.first;
    });
    for (std::size_t i = 0; i < keyed.size(); ++i) items_[i] = std::move(keyed[i].second);
    cursor_ = -1;
}

platform::ItemPtr SimItems::at_cursor() const {
    if (cursor_ < 0 || cursor_ >= static_cast<std::ptrdiff_t>(items_.size())) return nullptr;
    return items_[static_cast<std::size_t>(cursor_)];
}

platform::ItemPtr SimItems::get_first() {
    folder_->check("GetFirst");
    cursor_ = 0;
    return at_cursor();
}

platform::ItemPtr SimItems::get_last() {
    folder_->check("GetLast");
    cursor_ = static_cast<std::ptrdiff_t>(items_.size()) - 1;
    return at_cursor();
}

platform::ItemPtr SimItems::get_next() {
    folder_->check("GetNext");
    if (cursor_ < static_cast<std::ptrdiff_t>(items_.size())) ++cursor_;
    return at_cursor();
}

platform::ItemPtr SimItems::get_previous() {
    folder_->check("GetPrevious");
    if (cursor_ >= 0) --cursor_;
    return at_cursor();
}

void SimItems::insert(const ItemHandle& item) {
    auto at = items_.end();
    if (sort_property_) {
        // After its equals, as a stable sort of the folder would place the newest item.
        const auto key = sort_key(item->record(), *sort_property_);
        at = std::partition_point(items_.begin(), items_.end(), [&](const ItemHandle& other) {
            const auto other_key = sort_key(other->record(), *sort_property_);
            return descending_ ? !(other_key < key) : !(key < other_key);
        });
    }
    const auto position = at - items_.begin();
    items_.insert(at, item);
    if (position <= cursor_) ++cursor_;
}

void SimItems::erase(const ItemHandle& item) {
    const auto it = std::find(items_.begin(), items_.end(), item);
    if (it == items_.end()) return;
    const auto position = it - items_.begin();
    items_.erase(it);
    // The cursor stays on its position, which now holds the item that followed the removed one;
    // the preview finds out from this that its item went.
    if (position < cursor_) --cursor_;
}

// ---- Store ----

SimFolder* Store::find_top(std::string_view name) {
    for (auto& folder : folders)
        if (folder->plain_name() == name) return folder.get();
    return nullptr;
}

SimFolder* Store::folder_at(std::string_view path) {
    SimFolder* folder = nullptr;
    std::size_t start = 0;
    while (true) {
        const auto slash = path.find('/', start);
        const auto name = path.substr(start, slash == std::string_view::npos ? std::string_view::npos : slash - start);
        folder = folder ? folder->find_child(name) : find_top(name);
        if (!folder || slash == std::string_view::npos) return folder;
        start = slash + 1;
    }
}

std::shared_ptr<SimFolder> Store::shared(SimFolder* folder) { return folder ? folder->shared_from_this() : nullptr; }

std::string Store::fresh_id(std::string_view base, int& counter) {
    while (true) {
        auto id = std::string(base) + std::to_string(++counter);
        if (!items.contains(id)) return id;
    }
}

ItemHandle Store::adopt(ItemRecord record, SimFolder* folder) {
    auto id = record.entry_id;
    auto item = std::make_shared<SimItem>(*this, std::move(record));
    items.emplace(std::move(id), item);
    if (folder) {
        folder->contents().push_back(item);
        item->set_folder(folder);
    }
    return item;
}

ItemHandle Store::associated(SimItem& owner, bool appointment) {
    const auto& record = appointment ? owner.record().appointment : owner.record().task;
    if (!record) return nullptr;
    // Named after its item, and the same object each time it is asked for.
    const auto name = owner.id() + (appointment ? ".appointment" : ".task");
    if (auto it = items.find(name); it != items.end()) return it->second;
    ItemRecord object;
    object.entry_id = name;
    object.item_class = appointment ? platform::kOlAppointment : platform::kOlTask;
    object.properties = record->properties;
    object.fail = record->fail;
    return adopt(std::move(object), nullptr);
}

void Store::relocate(const ItemHandle& item, SimFolder* to) {
    std::vector<std::shared_ptr<SimItems>> removed, added;
    if (auto* from = item->folder()) removed = from->take(item);
    if (to) added = to->add(item);
    // A moved item leaves the explorer's selection quietly; the snapshots handed out keep it.
    if (explorer && item->folder() != explorer->folder()) std::erase(explorer->selected(), item);
    for (auto& collection : removed) edge.deliver("Items.ItemRemove", [&] { collection->item_remove_event().raise(); });
    const platform::ItemPtr as_item = item;
    for (auto& collection : added) edge.deliver("Items.ItemAdd", [&] { collection->item_add_event().raise(as_item); });
}

void Store::forget(const ItemHandle& item) {
    items.erase(item->id());
    item->set_gone();
}

void Store::delete_item(const ItemHandle& item) {
    auto* bin = deleted_items();
    if (bin && item->folder() && item->folder() != bin) {
        relocate(item, bin);
        return;
    }
    // Gone for good: it leaves its folder's collections first, then the store.
    if (auto* from = item->folder()) {
        auto removed = from->take(item);
        forget(item);
        if (explorer) std::erase(explorer->selected(), item);
        for (auto& collection : removed)
            edge.deliver("Items.ItemRemove", [&] { collection->item_remove_event().raise(); });
        return;
    }
    forget(item);
}

}  // namespace sim::detail
