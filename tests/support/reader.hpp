#pragma once

// A started form over an Inbox of given items, for tests of what reading composes for each kind
// of item: the items are JSON objects as in a mailbox file, so any class, property, associated
// appointment or task, and "fail" list can be had.

#include <initializer_list>
#include <nlohmann/json.hpp>
#include <string_view>
#include <vector>

#include "character/form.hpp"
#include "reading/current_item.hpp"
#include "sim/mailbox.hpp"
#include "sim/sim_platform.hpp"
#include "support/items.hpp"
#include "support/started_form.hpp"

namespace support {

inline sim::Mailbox inbox_mailbox(const std::vector<nlohmann::json>& items) {
    const nlohmann::json root = {
        {"user", "Ada Lovelace"},
        {"now", "2001-03-06T15:05:00"},
        {"explorer", {{"folder", "Inbox"}, {"view", "Messages"}, {"selection", nlohmann::json::array()}}},
        {"folders", {{{"name", "Inbox"}, {"inbox", true}, {"items", items}}}}};
    return sim::load_mailbox(root.dump(), "test mailbox");
}

// The clock stands at Tuesday, 6 March 2001, 15:05; the character is loaded and idle, the
// acknowledgement is "Ok!" and the reading mode is an ordinary reading's.
struct Reader {
    Reader(std::initializer_list<nlohmann::json> items)
        : sim{inbox_mailbox(std::vector<nlohmann::json>(items))}, started{started_form(sim)} {
        f.sAckLine = "Ok!";
        f.iReadMode = 4;
    }

    // The item becomes the current one and is prepared, as a reading command does.
    void prepare(std::string_view id) {
        f.oCurReadItem = item(sim, id);
        as_event(sim, [&] { reading::PrepReadItem(f); });
    }
    template <class Procedure>
    void run(Procedure procedure) {
        as_event(sim, [&] { procedure(f); });
    }

    sim::SimPlatform sim;
    Started started;
    character::frmAgentCtrl& f = started.form();
};

}  // namespace support
