#include "sim/mailbox.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <array>
#include <cassert>
#include <charconv>
#include <chrono>
#include <limits>
#include <nlohmann/json.hpp>
#include <set>
#include <utility>

namespace sim {

using nlohmann::json;

namespace {

struct PropertyInfo {
    std::string_view name;
    PropertyKind kind;
};

// In the order `show item` prints them: the state the add-in changes comes first, so a transcript
// shows the effect of a command at the start of the line.
constexpr std::array<PropertyInfo, 29> kProperties{{
    {"UnRead", PropertyKind::Flag},
    {"FlagStatus", PropertyKind::Number},
    {"FlagRequest", PropertyKind::Text},
    {"SenderName", PropertyKind::Text},
    {"Subject", PropertyKind::Text},
    {"ReceivedTime", PropertyKind::Date},
    {"Body", PropertyKind::Text},
    {"HTMLBody", PropertyKind::Text},
    {"Attachments", PropertyKind::Number},
    {"Start", PropertyKind::Date},
    {"AllDayEvent", PropertyKind::Flag},
    {"FullName", PropertyKind::Text},
    {"CompanyName", PropertyKind::Text},
    {"HomeTelephoneNumber", PropertyKind::Text},
    {"BusinessTelephoneNumber", PropertyKind::Text},
    {"LastModificationTime", PropertyKind::Date},
    {"Type", PropertyKind::Text},
    {"Color", PropertyKind::Number},
    {"Delegator", PropertyKind::Text},
    {"Owner", PropertyKind::Text},
    {"DueDate", PropertyKind::Date},
    {"Sensitivity", PropertyKind::Number},
    {"Importance", PropertyKind::Number},
    {"Status", PropertyKind::Number},
    {"PercentComplete", PropertyKind::Number},
    {"Organizer", PropertyKind::Text},
    {"RequiredAttendees", PropertyKind::Text},
    {"OptionalAttendees", PropertyKind::Text},
    {"Location", PropertyKind::Text},
}};

bool is_meeting(std::int32_t cls) {
    return cls >= platform::kOlMeetingRequest && cls <= platform::kOlMeetingResponseTentative;
}
bool is_task_request(std::int32_t cls) {
    return cls >= platform::kOlTaskRequest && cls <= platform::kOlTaskRequestDecline;
}

std::string kind_name(PropertyKind kind) {
    switch (kind) {
        case PropertyKind::Text:
            return "a string";
        case PropertyKind::Number:
            return "a whole number";
        case PropertyKind::Flag:
            return "true or false";
        case PropertyKind::Date:
            return "a date like \"2001-03-06T12:30:00\" or null";
    }
    return "";
}

std::string join(std::string_view base, std::string_view key) {
    if (base.empty()) return std::string(key);
    return std::string(base) + "." + std::string(key);
}

std::string index(std::string_view base, std::size_t i) { return std::string(base) + "[" + std::to_string(i) + "]"; }

// Validation errors carry only the place; load_mailbox adds the file.
[[noreturn]] void refuse(std::string place, std::string problem) {
    throw MailboxError("", 0, std::move(place), std::move(problem));
}

std::string shown(const json& value) {
    auto text = value.dump();
    if (text.size() > 40) text = text.substr(0, 37) + "...";
    return text;
}

PropertyValue property_value(const json& value, PropertyKind kind, const std::string& place) {
    switch (kind) {
        case PropertyKind::Text:
            if (value.is_string()) return value.get<std::string>();
            break;
        case PropertyKind::Number:
            if (value.is_number_integer()) {
                const auto n = value.get<std::int64_t>();
                if (value.is_number_unsigned() && value.get<std::uint64_t>() > std::numeric_limits<std::int32_t>::max())
                    break;
                if (n >= std::numeric_limits<std::int32_t>::min() && n <= std::numeric_limits<std::int32_t>::max())
                    return static_cast<std::int32_t>(n);
            }
            break;
        case PropertyKind::Flag:
            if (value.is_boolean()) return value.get<bool>();
            break;
        case PropertyKind::Date:
            if (value.is_null()) return platform::Date{};
            if (value.is_string()) {
                if (auto date = parse_date(value.get_ref<const std::string&>())) return platform::Date{*date};
                refuse(place, shown(value) + " is not a date like \"2001-03-06T12:30:00\"");
            }
            break;
    }
    refuse(place, shown(value) + " should be " + kind_name(kind));
}

std::vector<std::string> string_list(const json& value, const std::string& place) {
    if (!value.is_array()) refuse(place, "should be a list of names");
    std::vector<std::string> names;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (!value[i].is_string()) refuse(index(place, i), shown(value[i]) + " should be a string");
        names.push_back(value[i].get<std::string>());
    }
    return names;
}

// A property of an item or associated object; false when `key` is not a property.
bool read_property(Properties& properties, const std::string& key, const json& value, const std::string& place) {
    const auto kind = property_kind(key);
    if (!kind) return false;
    // null is the absent value: the default reads the same.
    if (value.is_null()) return true;
    properties.set(key, property_value(value, *kind, place));
    return true;
}

AssociatedRecord associated_from_json(const json& object, const std::string& place) {
    if (!object.is_object()) refuse(place, "should be an object or null");
    AssociatedRecord record;
    for (const auto& [key, value] : object.items()) {
        const auto at = join(place, key);
        if (key == "fail") {
            record.fail = string_list(value, at);
        } else if (!read_property(record.properties, key, value, at)) {
            refuse(at, "unknown property \"" + key + "\"");
        }
    }
    return record;
}

ItemRecord item_at(const json& object, const std::string& place) {
    if (!object.is_object()) refuse(place, "an item should be an object");
    const auto id = object.find("EntryID");
    if (id == object.end()) refuse(place, "the item has no EntryID");
    if (!id->is_string()) refuse(join(place, "EntryID"), shown(*id) + " should be a string");
    const auto& entry_id = id->get_ref<const std::string&>();
    // Ids are words in the scenario language.
    if (entry_id.empty() || entry_id.find_first_of(" \t\r\n#") != std::string::npos)
        refuse(join(place, "EntryID"), shown(*id) + " should be one word without blanks or #");
    const auto cls = object.find("Class");
    if (cls == object.end()) refuse(place, "the item " + entry_id + " has no Class");

    ItemRecord item;
    item.entry_id = entry_id;
    item.item_class = std::get<std::int32_t>(property_value(*cls, PropertyKind::Number, join(place, "Class")));
    for (const auto& [key, value] : object.items()) {
        const auto at = join(place, key);
        if (key == "EntryID" || key == "Class") continue;
        if (key == "fail") {
            item.fail = string_list(value, at);
        } else if (key == "appointment") {
            if (!is_meeting(item.item_class)) refuse(at, "only meeting items (Class 53 to 57) have an appointment");
            if (!value.is_null()) item.appointment = associated_from_json(value, at);
        } else if (key == "task") {
            if (!is_task_request(item.item_class)) refuse(at, "only task requests (Class 49 to 52) have a task");
            if (!value.is_null()) item.task = associated_from_json(value, at);
        } else if (!read_property(item.properties, key, value, at)) {
            refuse(at, "unknown property \"" + key + "\"");
        }
    }
    return item;
}

class Loader {
public:
    Mailbox load(const json& root) {
        if (!root.is_object()) refuse("", "the mailbox should be a JSON object");
        Mailbox mailbox;
        for (const auto& [key, value] : root.items()) {
            if (key == "user") {
                if (!value.is_string()) refuse("user", shown(value) + " should be a string");
                mailbox.user = value.get<std::string>();
            } else if (key == "now") {
                auto now = property_value(value, PropertyKind::Date, "now");
                mailbox.now = std::get<platform::Date>(now);
            } else if (key == "explorer" || key == "folders") {
                continue;  // after the folders are known
            } else {
                refuse(key, "unknown key \"" + key + "\"");
            }
        }
        if (const auto folders = root.find("folders"); folders != root.end())
            mailbox.folders = folder_list(*folders, "folders", "");
        if (inboxes_ > 1) refuse("folders", "more than one folder has \"inbox\": true");
        if (const auto explorer = root.find("explorer"); explorer != root.end()) {
            mailbox.explorer = explorer->is_null() ? std::nullopt : std::optional(explorer_at(*explorer, mailbox));
        }
        return mailbox;
    }

private:
    std::vector<FolderRecord> folder_list(const json& list, const std::string& place, const std::string& parent) {
        if (!list.is_array()) refuse(place, "should be a list of folders");
        std::vector<FolderRecord> folders;
        std::set<std::string, std::less<>> names;
        for (std::size_t i = 0; i < list.size(); ++i) {
            auto folder = folder_at(list[i], index(place, i), parent);
            if (!names.insert(folder.name).second)
                refuse(index(place, i) + ".name", "a second folder named \"" + folder.name + "\" in the same folder");
            folders.push_back(std::move(folder));
        }
        return folders;
    }

    FolderRecord folder_at(const json& object, const std::string& place, const std::string& parent) {
        if (!object.is_object()) refuse(place, "a folder should be an object");
        FolderRecord folder;
        const auto name = object.find("name");
        if (name == object.end()) refuse(place, "the folder has no name");
        if (!name->is_string() || name->get_ref<const std::string&>().empty() ||
            name->get_ref<const std::string&>().find('/') != std::string::npos)
            refuse(join(place, "name"), shown(*name) + " should be a non-empty string without \"/\"");
        folder.name = name->get<std::string>();
        const auto path = parent.empty() ? folder.name : parent + "/" + folder.name;
        paths_.insert(path);
        for (const auto& [key, value] : object.items()) {
            const auto at = join(place, key);
            if (key == "name") continue;
            if (key == "inbox") {
                if (!value.is_boolean()) refuse(at, shown(value) + " should be true or false");
                folder.inbox = value.get<bool>();
                if (folder.inbox) ++inboxes_, inbox_path_ = path;
            } else if (key == "refuse") {
                folder.refuse = string_list(value, at);
            } else if (key == "items") {
                if (!value.is_array()) refuse(at, "should be a list of items");
                for (std::size_t i = 0; i < value.size(); ++i) {
                    auto item = item_at(value[i], index(at, i));
                    if (!ids_.emplace(item.entry_id, path).second)
                        refuse(index(at, i) + ".EntryID", "a second item with the EntryID \"" + item.entry_id + "\"");
                    folder.items.push_back(std::move(item));
                }
            } else if (key == "folders") {
                folder.folders = folder_list(value, at, path);
            } else {
                refuse(at, "unknown key \"" + key + "\"");
            }
        }
        return folder;
    }

    ExplorerRecord explorer_at(const json& object, const Mailbox& mailbox) {
        if (!object.is_object()) refuse("explorer", "should be an object or null");
        ExplorerRecord explorer;
        for (const auto& [key, value] : object.items()) {
            const auto at = join("explorer", key);
            if (key == "folder" || key == "view") {
                if (!value.is_string()) refuse(at, shown(value) + " should be a string");
                (key == "folder" ? explorer.folder : explorer.view) = value.get<std::string>();
            } else if (key == "selection") {
                explorer.selection = string_list(value, at);
            } else {
                refuse(at, "unknown key \"" + key + "\"");
            }
        }
        const bool has_inbox = inboxes_ == 1 || std::any_of(mailbox.folders.begin(), mailbox.folders.end(),
                                                            [](const FolderRecord& f) { return f.name == "Inbox"; });
        if (explorer.folder.empty() && !has_inbox)
            refuse("explorer.folder", "no folder given and the store has no Inbox");
        if (!explorer.folder.empty() && !paths_.contains(explorer.folder))
            refuse("explorer.folder", "no folder \"" + explorer.folder + "\"");
        const auto shown_folder = explorer.folder.empty() ? (inboxes_ == 1 ? inbox_path_ : "Inbox") : explorer.folder;
        for (std::size_t i = 0; i < explorer.selection.size(); ++i) {
            const auto& id = explorer.selection[i];
            const auto it = ids_.find(id);
            if (it == ids_.end()) refuse(index("explorer.selection", i), "no item \"" + id + "\"");
            if (it->second != shown_folder)
                refuse(index("explorer.selection", i),
                       "the item " + id + " is not in the folder \"" + shown_folder + "\"");
        }
        return explorer;
    }

    std::map<std::string, std::string, std::less<>> ids_;  // EntryID -> folder path
    std::set<std::string, std::less<>> paths_;
    int inboxes_ = 0;
    std::string inbox_path_;
};

std::string line_message(const json::parse_error& e) {
    // nlohmann words it "[json.exception.parse_error.101] parse error at line 3, column 5: syntax error ...".
    std::string_view text = e.what();
    if (const auto at = text.find("parse error"); at != std::string_view::npos) text.remove_prefix(at);
    return "malformed JSON: " + std::string(text);
}

// nlohmann's message without its "[json.exception.NAME.NUMBER] " prefix.
std::string without_exception_id(const json::exception& e) {
    std::string_view text = e.what();
    if (const auto end = text.find("] "); text.starts_with("[json.exception") && end != std::string_view::npos)
        text.remove_prefix(end + 2);
    return std::string(text);
}

int line_of(std::string_view text, std::size_t byte) {
    byte = std::min(byte, text.size());
    return 1 + static_cast<int>(std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(byte), '\n'));
}

json value_json(const PropertyValue& value) {
    return std::visit(
        [](const auto& v) -> json {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, platform::Date>) {
                if (!v) return nullptr;
                return format_date(v);
            } else {
                return v;
            }
        },
        value);
}

void append_properties(std::string& out, const Properties& properties) {
    for (const auto& info : kProperties) {
        const auto* value = properties.find(info.name);
        if (!value) continue;
        out += ", ";
        out += json(info.name).dump();
        out += ": ";
        out += value_json(*value).dump();
    }
}

void append_associated(std::string& out, std::string_view key, const AssociatedRecord& record) {
    out += ", \"";
    out += key;
    out += "\": {";
    std::string inner;
    append_properties(inner, record.properties);
    if (!inner.empty()) out += inner.substr(2);  // without the leading ", "
    out += "}";
}

}  // namespace

std::optional<PropertyKind> property_kind(std::string_view name) {
    for (const auto& info : kProperties)
        if (info.name == name) return info.kind;
    return std::nullopt;
}

void Properties::set(std::string_view name, PropertyValue value) {
    assert(property_kind(name) && static_cast<std::size_t>(*property_kind(name)) == value.index() &&
           "a property takes a value of its own kind");
    if (auto it = values_.find(name); it != values_.end()) {
        it->second = std::move(value);
        return;
    }
    values_.emplace(std::string(name), std::move(value));
}

void Properties::erase(std::string_view name) {
    if (auto it = values_.find(name); it != values_.end()) values_.erase(it);
}

const PropertyValue* Properties::find(std::string_view name) const {
    auto it = values_.find(name);
    return it == values_.end() ? nullptr : &it->second;
}

std::string Properties::text(std::string_view name) const {
    const auto* value = find(name);
    return value ? std::get<std::string>(*value) : std::string();
}

std::int32_t Properties::number(std::string_view name) const {
    const auto* value = find(name);
    return value ? std::get<std::int32_t>(*value) : 0;
}

bool Properties::flag(std::string_view name) const {
    const auto* value = find(name);
    return value ? std::get<bool>(*value) : false;
}

platform::Date Properties::date(std::string_view name) const {
    const auto* value = find(name);
    return value ? std::get<platform::Date>(*value) : platform::Date{};
}

namespace {
std::string error_text(const std::string& file, int line, const std::string& place, const std::string& problem) {
    std::string text = file;
    if (line > 0) text += ":" + std::to_string(line);
    if (!place.empty()) text += (text.empty() ? "" : ": ") + place;
    return text + (text.empty() ? "" : ": ") + problem;
}
}  // namespace

MailboxError::MailboxError(std::string file_name, int line_number, std::string where, std::string what_is_wrong)
    : UsageError(error_text(file_name, line_number, where, what_is_wrong)),
      file(std::move(file_name)),
      line(line_number),
      place(std::move(where)),
      problem(std::move(what_is_wrong)) {}

Mailbox load_mailbox(std::string_view json_text, std::string_view file_name) {
    json root;
    try {
        root = json::parse(json_text.begin(), json_text.end());
    } catch (const json::parse_error& e) {
        throw MailboxError(std::string(file_name), line_of(json_text, e.byte == 0 ? 0 : e.byte - 1), "",
                           line_message(e));
    } catch (const json::exception& e) {
        // Refused for something other than its syntax, such as a number too large for any value: the
        // parser gives no position.
        throw MailboxError(std::string(file_name), 0, "", "malformed JSON: " + without_exception_id(e));
    }
    try {
        return Loader().load(root);
    } catch (const MailboxError& e) {
        throw MailboxError(std::string(file_name), 0, e.place, e.problem);
    }
}

ItemRecord item_from_json(const json& object) { return item_at(object, ""); }

std::string to_json(const ItemRecord& item) {
    std::string out = "{\"EntryID\": " + json(item.entry_id).dump() + ", \"Class\": " + std::to_string(item.item_class);
    append_properties(out, item.properties);
    if (item.appointment) append_associated(out, "appointment", *item.appointment);
    if (item.task) append_associated(out, "task", *item.task);
    return out + "}";
}

std::string format_date(const platform::Date& date) {
    if (!date) return "";
    const auto day = std::chrono::floor<std::chrono::days>(*date);
    const std::chrono::year_month_day ymd{day};
    const std::chrono::hh_mm_ss hms{*date - day};
    return fmt::format("{:04}-{:02}-{:02}T{:02}:{:02}:{:02}", static_cast<int>(ymd.year()),
                       static_cast<unsigned>(ymd.month()), static_cast<unsigned>(ymd.day()), hms.hours().count(),
                       hms.minutes().count(), hms.seconds().count());
}

std::optional<platform::LocalTime> parse_date(std::string_view text) {
    // Exactly YYYY-MM-DDTHH:MM:SS.
    if (text.size() != 19 || text[4] != '-' || text[7] != '-' || text[10] != 'T' || text[13] != ':' || text[16] != ':')
        return std::nullopt;
    auto field = [&](std::size_t at, std::size_t width) -> std::optional<int> {
        int value = 0;
        const auto* first = text.data() + at;
        const auto [end, ec] = std::from_chars(first, first + width, value);
        if (ec != std::errc() || end != first + width) return std::nullopt;
        return value;
    };
    const auto y = field(0, 4), mo = field(5, 2), d = field(8, 2), h = field(11, 2), mi = field(14, 2),
               s = field(17, 2);
    if (!y || !mo || !d || !h || !mi || !s) return std::nullopt;
    const std::chrono::year_month_day ymd{std::chrono::year(*y), std::chrono::month(static_cast<unsigned>(*mo)),
                                          std::chrono::day(static_cast<unsigned>(*d))};
    if (!ymd.ok() || *h > 23 || *mi > 59 || *s > 59) return std::nullopt;
    return std::chrono::local_days(ymd) + std::chrono::hours(*h) + std::chrono::minutes(*mi) + std::chrono::seconds(*s);
}

}  // namespace sim
