#pragma once

// The simulated mail client's objects as the add-in holds them, for tests that put the form in a
// state no user command reaches directly: an item being read, a window the form believes open, a
// request still queued. Each is fetched through the platform, as the add-in would, and prints nothing.

#include <string>
#include <string_view>

#include "character/form.hpp"
#include "platform/outlook.hpp"
#include "sim/sim_platform.hpp"

namespace support {

// Mail to select, open and read (m1, m2, m9), two for the preview (p1, p2), a note and an
// appointment; nothing selected at start.
inline constexpr std::string_view kWindowsMailbox = R"({
  "user": "Ada Lovelace",
  "now": "2001-03-06T15:05:00",
  "explorer": {"folder": "Inbox", "view": "Messages", "selection": []},
  "folders": [
    {"name": "Inbox", "inbox": true, "items": [
      {"EntryID": "m1", "Class": 43, "SenderName": "Bob Smith", "Subject": "Lunch",
       "ReceivedTime": "2001-03-06T12:30:00", "UnRead": true, "Body": "See you at noon. Bring the map."},
      {"EntryID": "m2", "Class": 43, "SenderName": "Carol Jones", "Subject": "Plans",
       "ReceivedTime": "2001-03-06T13:00:00", "UnRead": true, "Body": "First line.\r\nSecond line."},
      {"EntryID": "m9", "Class": 43, "SenderName": "Dan", "Subject": "Old", "Body": "Read long ago."},
      {"EntryID": "p1", "Class": 43, "SenderName": "Eve", "Subject": "Preview one", "Body": "One."},
      {"EntryID": "p2", "Class": 43, "SenderName": "Fay", "Subject": "Preview two", "Body": "Two."},
      {"EntryID": "n1", "Class": 44, "Body": "Buy milk."},
      {"EntryID": "a1", "Class": 26, "Subject": "Dentist", "Start": "2001-03-07T09:00:00"}
    ]},
    {"name": "Archive", "items": []}
  ]
})";

// The Inbox item with this EntryID, or nullptr.
inline platform::ItemPtr item(sim::SimPlatform& sim, std::string_view id) {
    auto items = sim.application()->get_namespace("MAPI")->get_default_folder(platform::kOlFolderInbox)->items();
    for (auto i = items->get_first(); i; i = items->get_next())
        if (i->entry_id() == id) return i;
    return nullptr;
}

// An item's EntryID, "Nothing" for none: items are compared by identity, as the platform may hand
// out the same item twice.
inline std::string id_of(const platform::ItemPtr& item) { return item ? item->entry_id() : "Nothing"; }

// The item a window shows, "Nothing" for no window.
inline std::string id_of(const std::shared_ptr<platform::Inspector>& window) {
    return window ? id_of(window->current_item()) : "Nothing";
}

// The user opens the item in its own window; the window, as the add-in would get it.
inline std::shared_ptr<platform::Inspector> open_window(sim::SimPlatform& sim, std::string_view id) {
    sim.open(id);
    return sim.application()->active_inspector();
}

// A request queued on the form's character, as a reading leaves one; the transcript is left as it was.
inline platform::RequestPtr queued_request(sim::SimPlatform& sim, character::frmAgentCtrl& f) {
    auto lines = sim.transcript().take();
    auto request = f.oAgentChar->think("...");
    sim.transcript().clear();
    for (auto& line : lines) sim.transcript().raw(std::move(line));
    return request;
}

}  // namespace support
