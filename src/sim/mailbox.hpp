#pragma once

#include <cstdint>
#include <map>
#include <nlohmann/json_fwd.hpp>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "platform/outlook.hpp"
#include "platform/system.hpp"
#include "sim/edge.hpp"

// The simulated mail store as plain data: folders holding item records, read from a mailbox file
// or built in code (a mail importer fills an Inbox the same way).
namespace sim {

// How a property's value is typed in the mailbox file.
enum class PropertyKind { Text, Number, Flag, Date };

// The properties the simulated items carry, with their kinds; nullopt for a name we do not know.
std::optional<PropertyKind> property_kind(std::string_view name);

using PropertyValue = std::variant<std::string, std::int32_t, bool, platform::Date>;

// An item's properties by their object-model names. An absent text reads "", an absent number 0,
// an absent flag false, an absent date as no date.
class Properties {
public:
    // The value's kind must be the property's kind.
    void set(std::string_view name, PropertyValue value);
    void erase(std::string_view name);
    bool has(std::string_view name) const { return values_.find(name) != values_.end(); }
    const PropertyValue* find(std::string_view name) const;

    std::string text(std::string_view name) const;
    std::int32_t number(std::string_view name) const;
    bool flag(std::string_view name) const;
    platform::Date date(std::string_view name) const;

    bool empty() const { return values_.empty(); }

private:
    std::map<std::string, PropertyValue, std::less<>> values_;
};

// The appointment behind a meeting item or the task behind a task request.
struct AssociatedRecord {
    Properties properties;
    std::vector<std::string> fail;
};

struct ItemRecord {
    std::string entry_id;
    std::int32_t item_class = platform::kOlMail;
    Properties properties;
    // Members of this item that fail with a platform error every time ("Body", "Delete", ...).
    std::vector<std::string> fail;
    // Meeting items and task requests; empty when the associated object is gone.
    std::optional<AssociatedRecord> appointment;
    std::optional<AssociatedRecord> task;
};

struct FolderRecord {
    std::string name;
    bool inbox = false;
    std::vector<ItemRecord> items;
    std::vector<FolderRecord> folders;
    // Calls that fail for this folder every time; "Move" makes every move into it fail.
    std::vector<std::string> refuse;
};

struct ExplorerRecord {
    std::string folder;  // a folder path; empty for the Inbox
    std::string view = "Messages";
    std::vector<std::string> selection;
};

struct Mailbox {
    std::string user;
    std::optional<platform::LocalTime> now;
    // The main window at start; empty when the mail client starts without one.
    std::optional<ExplorerRecord> explorer = ExplorerRecord{};
    std::vector<FolderRecord> folders;
};

// A mailbox file or item the simulator cannot use. `place` is a JSON path such as
// `folders[0].items[2].ReceivedTime`; `line` is known only for malformed JSON.
struct MailboxError : UsageError {
    MailboxError(std::string file_name, int line_number, std::string where, std::string what_is_wrong);

    std::string file;
    int line;
    std::string place;
    std::string problem;
};

// Reads a mailbox file. Throws MailboxError naming `file_name` and the place; nothing is returned
// half-loaded.
Mailbox load_mailbox(std::string_view json_text, std::string_view file_name);

// One item as the mailbox file gives it (also an `arrive` line's item). Throws MailboxError with
// the place inside the object and no file.
ItemRecord item_from_json(const nlohmann::json& object);

// The item as one JSON line: EntryID, Class, the state the add-in changes (UnRead, FlagStatus,
// FlagRequest), then the other properties it has, then its associated appointment or task.
std::string to_json(const ItemRecord& item);

// "2001-03-06T12:30:00", or "" for no date.
std::string format_date(const platform::Date& date);
// Parses a local ISO 8601 time without a zone, to the second; nullopt when it is not one.
std::optional<platform::LocalTime> parse_date(std::string_view text);

}  // namespace sim
