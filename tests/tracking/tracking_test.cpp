#include "tracking/tracking.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "reading/reading_commands.hpp"
#include "sim/sim_platform.hpp"
#include "support/items.hpp"
#include "support/lines.hpp"
#include "support/started_form.hpp"

// The windows that stop a reading and the announcements of new mail, reminders and sends are in the
// tracking_* scenarios; these put the form in the window states a scenario reaches only in longer
// flows, or never (a note being read, the preview's own window).
namespace {

using support::as_event;
using support::open_window;
using support::take_acts;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

sim::Mailbox windows() { return support::mailbox(support::kWindowsMailbox); }

// As if `id` were being read in an ordinary reading with a piece queued.
void reading(sim::SimPlatform& sim, character::frmAgentCtrl& f, std::string_view id) {
    f.oCurReadItem = support::item(sim, id);
    f.oCurEmailItem = f.oCurReadItem.ptr();
    f.iReadMode = 6;
    f.oReadRequest = support::queued_request(sim, f);
}

TEST(Tracking, AFolderSwitchForgetsTheSelectionUntilTheNextChange) {
    sim::SimPlatform sim{windows()};
    auto s = support::started_form(sim);
    auto& f = s.form();
    EXPECT_EQ(f.sCurView, "Messages");
    EXPECT_EQ(f.lCurUnread, 2);
    sim.select({"m1"});
    sim.folder("Inbox");
    EXPECT_FALSE(f.oCurSelection);
    as_event(sim, [&] { reading::ReadThisItem(f); });
    EXPECT_THAT(take_acts(sim), ElementsAre("agent: play \"Explain\"",
                                            "agent: speak \"Sorry, there is nothing here that I can read.\""));
    sim.select({"m2"});
    as_event(sim, [&] { reading::ReadThisItem(f); });
    EXPECT_THAT(take_acts(sim), Contains("outlook: UnRead m2 False"));
}

// The reading window keeps the last item read in a window; once another item is being read, closing
// that old window must leave the new reading alone.
TEST(Tracking, ClosingTheWindowOfAnEarlierReadingLeavesTheReadingAlone) {
    sim::SimPlatform sim{windows()};
    auto s = support::started_form(sim);
    auto& f = s.form();
    f.oReadInspector = open_window(sim, "m1");
    f.bReadInspOpen = true;
    reading(sim, f, "m2");
    sim.close("m1");
    EXPECT_EQ(f.iReadMode, 6);
    EXPECT_FALSE(f.bReadInspOpen);

    // A note has no Close of its own: its window's closing stops its reading.
    f.oReadInspector = open_window(sim, "n1");
    f.oCurEmailItem.reset();
    f.oCurReadItem = support::item(sim, "n1");
    sim.close("n1");
    EXPECT_EQ(f.iReadMode, 0);
}

TEST(Tracking, ThePreviewWindowStopsOnlyAPreviewReading) {
    sim::SimPlatform sim{windows()};
    auto s = support::started_form(sim);
    auto& f = s.form();
    f.oCurNeMInspector = open_window(sim, "p1");
    f.bNeMInspOpen = true;
    f.iReadMode = 5;
    f.oReadRequest = support::queued_request(sim, f);
    sim.close("p1");
    EXPECT_EQ(f.iReadMode, 5);
    EXPECT_FALSE(f.bNeMInspOpen);

    f.oCurNeMInspector = open_window(sim, "p2");
    f.iReadMode = 2;
    sim.close("p2");
    EXPECT_EQ(f.iReadMode, 0);
}

// Closing the reading window of an open-and-read during the preview closes the preview's window too,
// without saving it.
TEST(Tracking, TheReadingWindowTakesThePreviewWindowWithIt) {
    sim::SimPlatform sim{windows()};
    auto s = support::started_form(sim);
    auto& f = s.form();
    f.oReadInspector = open_window(sim, "p1");
    f.bReadInspOpen = true;
    f.oCurNeMInspector = open_window(sim, "p2");
    f.bNeMInspOpen = true;
    take_acts(sim);
    sim.close("p1");
    EXPECT_THAT(take_acts(sim), ElementsAre("outlook: Close p2 1"));
    EXPECT_FALSE(f.bReadInspOpen);
    EXPECT_FALSE(f.bNeMInspOpen);
}

// The explorer and the mail events still reach the form while the character is down; it neither
// follows nor announces anything.
TEST(Tracking, NothingIsFollowedOrSaidWhileTheCharacterIsDown) {
    sim::SimPlatform sim{windows()};
    auto s = support::started_form(sim);
    auto& f = s.form();
    f.bAgentLoaded = false;
    f.oCurSelection.reset();
    sim.select({"m1"});
    sim.select({"m2"});
    sim.arrive(nlohmann::json::parse(R"({"EntryID": "x1", "Class": 43, "UnRead": true})"));
    sim.reminder("a1");
    sim.send("m1");
    EXPECT_FALSE(f.oCurSelection);
    EXPECT_FALSE(f.bMailSaid);
    EXPECT_THAT(take_acts(sim), IsEmpty());
}

}  // namespace
