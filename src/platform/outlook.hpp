#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/office.hpp"
#include "platform/subscription.hpp"
#include "platform/system.hpp"

// The mail client's object model: application, namespace, folders, items, windows.
namespace platform {

// Item classes (the mail client's object class numbers).
inline constexpr std::int32_t kOlAppointment = 26;
inline constexpr std::int32_t kOlContact = 40;
inline constexpr std::int32_t kOlDocument = 41;
inline constexpr std::int32_t kOlJournal = 42;
inline constexpr std::int32_t kOlMail = 43;
inline constexpr std::int32_t kOlNote = 44;
inline constexpr std::int32_t kOlPost = 45;
inline constexpr std::int32_t kOlReport = 46;
inline constexpr std::int32_t kOlRemote = 47;
inline constexpr std::int32_t kOlTask = 48;
inline constexpr std::int32_t kOlTaskRequest = 49;
inline constexpr std::int32_t kOlTaskRequestUpdate = 50;
inline constexpr std::int32_t kOlTaskRequestAccept = 51;
inline constexpr std::int32_t kOlTaskRequestDecline = 52;
inline constexpr std::int32_t kOlMeetingRequest = 53;
inline constexpr std::int32_t kOlMeetingCancellation = 54;
inline constexpr std::int32_t kOlMeetingResponseNegative = 55;
inline constexpr std::int32_t kOlMeetingResponsePositive = 56;
inline constexpr std::int32_t kOlMeetingResponseTentative = 57;

// CreateItem types.
inline constexpr std::int32_t kOlMailItem = 0;
inline constexpr std::int32_t kOlAppointmentItem = 1;
inline constexpr std::int32_t kOlContactItem = 2;
inline constexpr std::int32_t kOlTaskItem = 3;
inline constexpr std::int32_t kOlJournalItem = 4;
inline constexpr std::int32_t kOlNoteItem = 5;

// Close save modes.
inline constexpr std::int32_t kOlDiscard = 1;
inline constexpr std::int32_t kOlPromptForSave = 2;

// GetDefaultFolder
inline constexpr std::int32_t kOlFolderInbox = 6;

// Respond values.
inline constexpr std::int32_t kOlMeetingTentative = 2;
inline constexpr std::int32_t kOlMeetingAccepted = 3;
inline constexpr std::int32_t kOlMeetingDeclined = 4;
inline constexpr std::int32_t kOlTaskAccept = 2;
inline constexpr std::int32_t kOlTaskDecline = 3;

class Folder;
class Inspector;

// Any item of the mail client, reached late-bound: a property or method its class lacks fails
// with a platform error, as it does on the real object model.
class Item {
public:
    virtual ~Item() = default;

    virtual std::int32_t item_class() = 0;  // Class
    virtual std::string entry_id() = 0;
    virtual std::string subject() = 0;
    virtual std::string body() = 0;
    virtual std::string html_body() = 0;
    virtual std::int32_t attachments_count() = 0;  // Attachments.Count
    virtual bool unread() = 0;
    virtual void set_unread(bool on) = 0;
    virtual std::int32_t flag_status() = 0;
    virtual void set_flag_status(std::int32_t status) = 0;
    virtual std::string flag_request() = 0;
    virtual void set_flag_request(std::string_view text) = 0;

    // Per-class properties.
    virtual std::string sender_name() = 0;
    virtual Date received_time() = 0;
    virtual Date start() = 0;
    virtual bool all_day_event() = 0;
    virtual std::string full_name() = 0;
    virtual std::string company_name() = 0;
    virtual std::string home_telephone_number() = 0;
    virtual std::string business_telephone_number() = 0;
    virtual Date last_modification_time() = 0;
    virtual std::string type() = 0;  // a journal entry's type
    virtual std::int32_t color() = 0;
    virtual std::string delegator() = 0;
    virtual std::string owner() = 0;
    virtual Date due_date() = 0;
    virtual std::int32_t sensitivity() = 0;
    virtual std::int32_t importance() = 0;
    virtual std::int32_t status() = 0;
    virtual std::int32_t percent_complete() = 0;
    virtual std::string organizer() = 0;
    virtual std::string required_attendees() = 0;
    virtual std::string optional_attendees() = 0;
    virtual std::string location() = 0;

    virtual void save() = 0;
    virtual std::shared_ptr<Inspector> get_inspector() = 0;
    virtual void display() = 0;
    virtual void close(std::int32_t save_mode) = 0;
    // A new copy of the item in the item's own folder.
    virtual std::shared_ptr<Item> copy() = 0;
    virtual void move(const std::shared_ptr<Folder>& destination) = 0;
    virtual void delete_item() = 0;  // Delete
    virtual void print_out() = 0;
    virtual std::shared_ptr<Item> forward() = 0;
    virtual std::shared_ptr<Item> reply() = 0;
    virtual std::shared_ptr<Item> reply_all() = 0;

    // Meeting items and task requests: the appointment or task behind them; fails when it is gone.
    virtual std::shared_ptr<Item> get_associated_appointment(bool add_to_calendar) = 0;
    virtual std::shared_ptr<Item> get_associated_task(bool add_to_task_list) = 0;
    // On an associated appointment or task: answers the request.
    virtual std::shared_ptr<Item> respond(std::int32_t response, bool no_ui, bool additional_text_dialog) = 0;

    virtual Subscription on_close(std::function<void(bool& cancel)> handler) = 0;
    virtual Subscription on_send(std::function<void(bool& cancel)> handler) = 0;
};
using ItemPtr = std::shared_ptr<Item>;

// A folder's items as one collection object with its own sort order and cursor.
class Items {
public:
    virtual ~Items() = default;
    virtual std::int32_t count() = 0;
    virtual void sort(std::string_view property, bool descending) = 0;
    // The item at the new cursor position, or nullptr past either end.
    virtual ItemPtr get_first() = 0;
    virtual ItemPtr get_next() = 0;
    virtual ItemPtr get_previous() = 0;
    virtual ItemPtr get_last() = 0;
    virtual Subscription on_item_add(std::function<void(const ItemPtr&)> handler) = 0;
    virtual Subscription on_item_remove(std::function<void()> handler) = 0;
};

class Folder {
public:
    virtual ~Folder() = default;
    virtual std::string name() = 0;
    virtual std::shared_ptr<Items> items() = 0;
    virtual std::int32_t unread_item_count() = 0;
};
using FolderPtr = std::shared_ptr<Folder>;

// A folder collection (the namespace's top-level folders).
class Folders {
public:
    virtual ~Folders() = default;
    virtual std::int32_t count() = 0;
    virtual Subscription on_folder_add(std::function<void(const FolderPtr&)> handler) = 0;
    virtual Subscription on_folder_change(std::function<void(const FolderPtr&)> handler) = 0;
    virtual Subscription on_folder_remove(std::function<void()> handler) = 0;
};

class Selection {
public:
    virtual ~Selection() = default;
    virtual std::int32_t count() = 0;
    // 1-based.
    virtual ItemPtr item(std::int32_t index) = 0;
};

// A window of the mail client; its type name tells which kind.
class Window {
public:
    virtual ~Window() = default;
    virtual std::string type_name() = 0;  // "Explorer", "Inspector", or another kind
};

class Explorer : public Window {
public:
    virtual std::shared_ptr<CommandBars> command_bars() = 0;
    virtual FolderPtr current_folder() = 0;
    virtual std::shared_ptr<Selection> selection() = 0;
    virtual std::string current_view() = 0;
    virtual Subscription on_close(std::function<void()> handler) = 0;
    virtual Subscription on_folder_switch(std::function<void()> handler) = 0;
    virtual Subscription on_selection_change(std::function<void()> handler) = 0;
    virtual Subscription on_view_switch(std::function<void()> handler) = 0;
};

class Inspector : public Window {
public:
    virtual ItemPtr current_item() = 0;
    virtual void activate() = 0;
    virtual void close(std::int32_t save_mode) = 0;
    virtual Subscription on_close(std::function<void()> handler) = 0;
};

class NameSpace {
public:
    virtual ~NameSpace() = default;
    virtual std::shared_ptr<Folders> folders() = 0;
    // The current user's display name.
    virtual std::string current_user() = 0;
    virtual FolderPtr get_default_folder(std::int32_t which) = 0;
    // Shows the folder picker; nullptr when the user cancels.
    virtual FolderPtr pick_folder() = 0;
};

class Application {
public:
    virtual ~Application() = default;
    virtual std::shared_ptr<NameSpace> get_namespace(std::string_view type) = 0;
    // Each is nullptr when there is no such window.
    virtual std::shared_ptr<Explorer> active_explorer() = 0;
    virtual std::shared_ptr<Inspector> active_inspector() = 0;
    virtual std::shared_ptr<Window> active_window() = 0;
    virtual ItemPtr create_item(std::int32_t type) = 0;

    virtual Subscription on_new_mail(std::function<void()> handler) = 0;
    virtual Subscription on_reminder(std::function<void(const ItemPtr&)> handler) = 0;
    virtual Subscription on_item_send(std::function<void(const ItemPtr&, bool& cancel)> handler) = 0;
    virtual Subscription on_quit(std::function<void()> handler) = 0;
};

}  // namespace platform
