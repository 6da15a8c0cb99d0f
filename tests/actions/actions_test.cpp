#include "actions/actions.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "actions/item_action.hpp"
#include "addin/connect.hpp"
#include "sim/agent.hpp"
#include "sim/mailbox.hpp"
#include "sim/sim_platform.hpp"

namespace {

using ::testing::AllOf;
using ::testing::Contains;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

constexpr std::string_view kMailbox = R"({
  "user": "Ada Lovelace",
  "now": "2001-03-06T15:05:00",
  "explorer": {"folder": "Inbox", "view": "Messages", "selection": []},
  "folders": [
    {"name": "Inbox", "inbox": true, "items": [
      {"EntryID": "m1", "Class": 43, "SenderName": "Bob Smith", "Subject": "Lunch",
       "ReceivedTime": "2001-03-06T09:00:00", "UnRead": true, "Body": "See you at noon. Bring the map."},
      {"EntryID": "m2", "Class": 43, "SenderName": "Carol Jones", "Subject": "Report",
       "ReceivedTime": "2001-03-06T10:00:00", "UnRead": true, "Body": "The report is done. It is on the share."},
      {"EntryID": "tr1", "Class": 49, "SenderName": "Frank Hall", "Subject": "Budget",
       "ReceivedTime": "2001-03-05T12:00:00", "Body": "Please do the budget.",
       "task": {"Subject": "Budget", "Owner": "Ada Lovelace"}}
    ]},
    {"name": "Archive", "items": []}
  ]
})";

// The add-in started on the simulator with the character up and its greeting done.
struct Started {
    sim::SimPlatform sim{sim::load_mailbox(kMailbox, "actions_test.json")};
    addin::Connect addin{sim};
    character::frmAgentCtrl& f;

    Started() : f(start(sim, addin)) { sim.transcript().clear(); }

    static character::frmAgentCtrl& start(sim::SimPlatform& sim, addin::Connect& addin) {
        sim.start(addin);
        sim.click_button();
        sim.perform_all();
        return *addin.form();
    }

    // A procedure called straight from a test runs outside any event: the stopped requests' completions
    // are delivered by hand, as the platform does after an event.
    void run(const std::function<void(character::frmAgentCtrl&)>& procedure) {
        procedure(f);
        sim.sim_agent().deliver_stopped();
    }

    std::vector<std::string> take() { return sim.transcript().take(); }
};

// A mailbox whose Inbox holds `count` read messages d1, d2, ...
std::string many_messages(int count) {
    std::string json = R"({"user": "Ada Lovelace", "now": "2001-03-06T15:05:00",
      "explorer": {"folder": "Inbox", "view": "Messages", "selection": []},
      "folders": [{"name": "Inbox", "inbox": true, "items": [)";
    for (int i = 1; i <= count; ++i) {
        if (i > 1) json += ',';
        json += R"({"EntryID": "d)" + std::to_string(i) + R"(", "Class": 43, "Subject": "Note"})";
    }
    return json + "]}, {\"name\": \"Deleted Items\", \"items\": []}]}";
}

// The animation after a deletion comes from the platform's random source: over many deletions with
// the simulator's seed, each of the five comes about one time in five, and no other is played.
TEST(Deletion, EachOfTheFiveAnimationsComesAboutOneTimeInFive) {
    constexpr int kDeletions = 1500;
    sim::SimPlatform sim{sim::load_mailbox(many_messages(kDeletions), "many.json")};
    addin::Connect addin{sim};
    sim.start(addin);
    sim.click_button();
    sim.perform_all();
    sim.transcript().clear();
    std::map<std::string, int> seen;
    for (int i = 1; i <= kDeletions; ++i) {
        sim.select({"d" + std::to_string(i)});
        sim.menu("DeleteItem");
        sim.perform_all();
        const auto lines = sim.transcript().take();
        // The deletion, then the animation and the sentence.
        ASSERT_GE(lines.size(), 5U) << i;
        const auto& played = lines[lines.size() - 4];
        ASSERT_EQ(lines[lines.size() - 5], "outlook: Delete d" + std::to_string(i));
        ASSERT_THAT(lines[lines.size() - 3], HasSubstr("speak \"The message has been deleted.\""));
        const auto open = played.find('"');
        ++seen[played.substr(open + 1, played.find('"', open + 1) - open - 1)];
    }
    EXPECT_EQ(seen.size(), 5U);
    for (const auto* animation : {"Surprised", "DoMagic2", "Explain", "GetAttention", "Process"}) {
        EXPECT_GE(seen[animation], kDeletions * 15 / 100) << animation;
        EXPECT_LE(seen[animation], kDeletions * 25 / 100) << animation;
        RecordProperty(animation, seen[animation]);
    }
    // The ends of the draw: 0 gives 1, the highest draw below 1 gives 15.
    EXPECT_EQ(actions::deletion_animation(0.0), "Process");
    EXPECT_EQ(actions::deletion_animation(0.9999999), "Surprised");
}

// A task request cannot be accepted tentatively; the menu never offers it, but the command must not
// send anything when it is reached all the same.
TEST(Responses, TentativeOnATaskRequestSendsNothingAndStillLeavesTheMenu) {
    Started s;
    s.sim.select({"tr1"});
    s.sim.menu("ReadThisItem");
    s.sim.perform_all();
    s.take();
    s.run(actions::TentativeItem);
    const auto lines = s.take();
    EXPECT_THAT(lines, Contains(HasSubstr("speak \"I will return it marked tentative.\"")));
    EXPECT_THAT(lines, Not(Contains(HasSubstr("Respond"))));
    for (const auto command : {"AcceptItem", "DeclineItem", "TentativeItem"}) {
        EXPECT_THAT(lines, Contains(std::string("agent: command \"") + command + "\" Enabled False"));
        EXPECT_THAT(lines, Contains(std::string("agent: command \"") + command + "\" Visible False"));
    }
}

struct Situation {
    std::string_view name;
    std::function<void(Started&)> set_up;
};

// Each action is run with each platform call it makes failing in turn. Whatever fails, no platform
// error escapes, no copy is left behind in the Inbox, and the add-in answers the next command.
TEST(FailingCalls, NoActionLeavesTheAddInStuckOrAStrayCopy) {
    const Situation situations[] = {
        {"selection",
         [](Started& s) {
             s.sim.select({"m1", "m2"});
         }},
        {"reading",
         [](Started& s) {
             s.sim.select({"m1"});
             s.sim.menu("ReadThisItem");
             s.sim.perform(3);
         }},
        {"preview",
         [](Started& s) {
             s.sim.menu("PrevNewMail");
             s.sim.perform_all();
             s.sim.menu("ReadThisItem");
             s.sim.perform(3);
         }},
        {"window", [](Started& s) { s.sim.open("m2"); }},
    };
    const std::pair<std::string_view, void (*)(character::frmAgentCtrl&)> procedures[] = {
        {"CopyItem", actions::CopyItem},   {"MoveItem", actions::MoveItem},     {"DeleteItem", actions::DeleteItem},
        {"PrtItem", actions::PrtItem},     {"FlagItem", actions::FlagItem},     {"ForwItem", actions::ForwItem},
        {"ReplyItem", actions::ReplyItem}, {"ReplyToAll", actions::ReplyToAll}, {"CloseItem", actions::CloseItem},
    };
    for (const auto& situation : situations) {
        for (const auto& [name, procedure] : procedures) {
            for (std::uint64_t n = 1;; ++n) {
                SCOPED_TRACE(std::string(situation.name) + " " + std::string(name) + " failing call " +
                             std::to_string(n));
                Started s;
                situation.set_up(s);
                s.sim.pick("Archive");
                const auto calls = s.sim.faults().calls();
                s.sim.faults().fail_call_number(n, false);
                ASSERT_NO_THROW(s.run(procedure));
                const bool reached = s.sim.faults().calls() >= calls + n;
                s.sim.faults().heal_all();
                s.sim.perform_all();
                s.sim.show_folder("Inbox");
                EXPECT_THAT(s.sim.transcript().lines().back(), Not(HasSubstr(".copy")));
                s.take();
                s.sim.menu("ReReadItem");
                s.sim.perform_all();
                EXPECT_THAT(s.take(), Contains(HasSubstr("agent: speak")));
                EXPECT_EQ(s.sim.edge().escaped(), 0U);
                if (!reached) break;  // the action made fewer than n calls: every one has failed once
            }
        }
    }
}

}  // namespace
