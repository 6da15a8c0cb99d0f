#pragma once

// Builders for tests that drive the simulated platform: a mailbox, a connected add-in and a
// started form, each built in plain sight by the test that uses it.

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "addin/connect.hpp"
#include "character/form.hpp"
#include "sim/mailbox.hpp"
#include "sim/sim_platform.hpp"

namespace support {

// One user, one unread message in the Inbox, selected in the explorer.
inline constexpr std::string_view kTinyMailbox = R"({
  "user": "Ada Lovelace",
  "now": "2001-03-06T15:05:00",
  "explorer": {"folder": "Inbox", "view": "Messages", "selection": ["m1"]},
  "folders": [
    {"name": "Inbox", "inbox": true, "items": [
      {"EntryID": "m1", "Class": 43, "SenderName": "Bob Smith", "Subject": "Lunch",
       "ReceivedTime": "2001-03-06T12:30:00", "UnRead": true, "Body": "See you at noon."}
    ]}
  ]
})";

inline sim::Mailbox mailbox(std::string_view json = kTinyMailbox) { return sim::load_mailbox(json, "test mailbox"); }

// The add-in with its host form; the form lives as long as the add-in.
struct Started {
    std::unique_ptr<addin::Connect> addin;
    character::frmAgentCtrl& form() const { return *addin->form(); }
};

// The mail client started and the add-in connected; the character is not loaded yet.
inline Started connected(sim::SimPlatform& sim) {
    Started s{std::make_unique<addin::Connect>(sim)};
    sim.start(*s.addin);
    sim.transcript().clear();
    return s;
}

// Connected, the toolbar button clicked and every request performed: the character is loaded,
// greeted and idle, and the transcript is empty.
inline Started started_form(sim::SimPlatform& sim) {
    auto s = connected(sim);
    sim.click_button();
    sim.perform_all();
    sim.transcript().clear();
    return s;
}

// The transcript lines since the last take.
inline std::vector<std::string> take(sim::SimPlatform& sim) { return sim.transcript().take(); }

// Runs a direct call into the add-in as an event would: the completions of requests it stopped
// come after it returns.
template <class Fn>
void as_event(sim::SimPlatform& sim, Fn&& fn) {
    sim.edge().deliver("test", std::forward<Fn>(fn));
}

}  // namespace support
