#include "preview/preview.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "commands/options.hpp"
#include "sim/sim_platform.hpp"
#include "support/lines.hpp"
#include "support/reader.hpp"
#include "support/started_form.hpp"

// Starting, walking, pausing, the order, a miscount and the preview item removed at either end are in
// the preview_* and options_* scenarios; these reach what a scenario sets up only by chance: a failing
// cursor, removals around the preview item, the Inbox changing while the preview is paused.
namespace {

using support::as_event;
using support::has;
using support::has_in_order;
using support::Lines;
using support::started_form;
using support::take_acts;
using ::testing::ElementsAre;

struct Mail {
    std::string id;
    int hour;  // received at this hour of the mailbox's day
    bool unread;
};

// An Inbox of mail items and an explorer showing it with nothing selected.
sim::Mailbox inbox_of(const std::vector<Mail>& mails) {
    std::vector<nlohmann::json> items;
    for (const auto& m : mails) {
        items.push_back(
            {{"EntryID", m.id},
             {"Class", 43},
             {"SenderName", "Sender " + m.id},
             {"Subject", "About " + m.id},
             {"ReceivedTime", (m.hour < 10 ? "2001-03-06T0" : "2001-03-06T") + std::to_string(m.hour) + ":00:00"},
             {"UnRead", m.unread},
             {"Body", "Text of " + m.id + "."}});
    }
    return support::inbox_mailbox(items);
}

// Newest first: m5 (read), m4, m3 (read), m2, m1, m0 (read).
std::vector<Mail> six() {
    return {{"m0", 9, false},  {"m1", 10, true}, {"m2", 11, true},
            {"m3", 12, false}, {"m4", 13, true}, {"m5", 14, false}};
}

// The preview, started on a started form, and what it made the platforms do.
Lines start_preview(sim::SimPlatform& sim, character::frmAgentCtrl& f) {
    as_event(sim, [&] { preview::PrevNewMail(f); });
    return take_acts(sim);
}

template <class Procedure>
Lines run(sim::SimPlatform& sim, character::frmAgentCtrl& f, Procedure procedure) {
    as_event(sim, [&] { procedure(f); });
    return take_acts(sim);
}

std::string current(character::frmAgentCtrl& f) { return f.oCurReadItem ? f.oCurReadItem->entry_id() : "Nothing"; }

TEST(PreviewStates, PauseAndContinueActOnlyWhereTheyApply) {
    sim::SimPlatform sim{inbox_of(six())};
    auto s = started_form(sim);
    auto& f = s.form();
    EXPECT_THAT(run(sim, f, preview::PauseNewMail), ElementsAre());
    EXPECT_THAT(run(sim, f, preview::ContinuNewMail), ElementsAre());
    start_preview(sim, f);
    EXPECT_THAT(run(sim, f, preview::ContinuNewMail), ElementsAre());  // Not paused.
    EXPECT_TRUE(has(run(sim, f, preview::PauseNewMail), "office: button Caption \"Paused\""));
    EXPECT_THAT(run(sim, f, preview::PauseNewMail), ElementsAre());  // Paused already.
    EXPECT_TRUE(f.bNeMStarted && !f.bNeMActive);
}

// Retrying a failing step would walk for ever; a failed step is the end of the list.
TEST(PreviewNextPrevious, FailingCursorEndsTheWalk) {
    sim::SimPlatform sim{inbox_of(six())};
    auto s = started_form(sim);
    auto& f = s.form();
    start_preview(sim, f);
    sim.fault("GetNext");
    EXPECT_TRUE(has(run(sim, f, preview::NextItem), "This is the last unread message in the inbox."));
    EXPECT_EQ(current(f), "m4");
}

TEST(PreviewRemoval, PreviousStartsFromTheFollowerOfARemovedPreviewItem) {
    sim::SimPlatform sim{inbox_of(six())};
    auto s = started_form(sim);
    auto& f = s.form();
    start_preview(sim, f);
    run(sim, f, preview::NextItem);
    ASSERT_EQ(current(f), "m2");
    sim.remove("m2");
    run(sim, f, preview::PrevItem);
    EXPECT_EQ(current(f), "m4");
}

TEST(PreviewRemoval, RemovingOtherItemsKeepsThePreviewItem) {
    sim::SimPlatform sim{inbox_of(six())};
    auto s = started_form(sim);
    auto& f = s.form();
    start_preview(sim, f);
    run(sim, f, preview::NextItem);  // on m2
    sim.remove("m3");                // before the cursor: the items after it shift under the cursor
    sim.remove("m0");                // after it
    EXPECT_FALSE(f.bNeMItemGone);
    run(sim, f, preview::NextItem);
    EXPECT_EQ(current(f), "m1");
}

TEST(PreviewRemoval, RemovedFirstItemIsFoundGoneFromTheStartOfTheList) {
    sim::SimPlatform sim{inbox_of({{"a", 1, true}, {"b", 2, true}})};
    auto s = started_form(sim);
    auto& f = s.form();
    f.bNeMSortDescend = false;
    start_preview(sim, f);
    sim.remove("a");
    EXPECT_TRUE(f.bNeMItemGone);
    run(sim, f, preview::NextItem);
    EXPECT_EQ(current(f), "b");
}

TEST(PreviewRemoval, ContinueAfterARemovalMovesOnAndAnInboxWithoutUnreadMailEndsIt) {
    sim::SimPlatform sim{inbox_of(six())};
    auto s = started_form(sim);
    auto& f = s.form();
    start_preview(sim, f);
    sim.remove("m4");
    run(sim, f, preview::PauseNewMail);
    EXPECT_TRUE(
        has_in_order(run(sim, f, preview::ContinuNewMail),
                     {"agent: speak \"That message is no longer in the inbox.\"",
                      "agent: speak \"Let's continue with the next one.\"", "agent: speak \"next, |next message\""}));
    EXPECT_EQ(current(f), "m2");

    sim.mark("m2", true);
    sim.mark("m1", true);
    sim.remove("m5");
    take_acts(sim);
    EXPECT_THAT(run(sim, f, preview::NextItem),
                ElementsAre("agent: speak \"There are no unread messages in the inbox.\""));
    EXPECT_FALSE(f.bNeMItemGone);
}

TEST(PreviewRemoval, PausedPreviewIgnoresTheInbox) {
    sim::SimPlatform sim{inbox_of(six())};
    auto s = started_form(sim);
    auto& f = s.form();
    start_preview(sim, f);
    run(sim, f, preview::PauseNewMail);
    sim.remove("m4");
    EXPECT_FALSE(f.bNeMItemGone);
    sim.arrive(nlohmann::json::parse(R"({"EntryID": "n1", "Class": 43, "UnRead": true})"));
    EXPECT_EQ(f.lNeMUnread, 3);
    run(sim, f, preview::ContinuNewMail);
    sim.arrive(nlohmann::json::parse(R"({"EntryID": "n2", "Class": 43, "UnRead": true})"));
    EXPECT_EQ(f.lNeMUnread, 4);  // m4 gone; n1 and n2 new
}

// The preference is set before anything is said, so a character that cannot speak still changes it.
TEST(OptionCommands, SortOrderChangesEvenWhenTheCharacterCannotSpeak) {
    sim::SimPlatform sim{inbox_of(six())};
    auto s = started_form(sim);
    auto& f = s.form();
    sim.fault("Speak");
    sim.fault("Play");
    for (int i = 0; i < 3; ++i) run(sim, f, commands::ChngSortDescent);
    EXPECT_FALSE(f.bNeMSortDescend);
}

}  // namespace
