#include "reading/reading_commands.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sim/sim_platform.hpp"
#include "sim/system.hpp"
#include "support/items.hpp"
#include "support/lines.hpp"
#include "support/started_form.hpp"

// Reading from the explorer and in a window, and stop, re-read and continue with nothing to act on,
// are in the reading_* scenarios; these set up the contexts a scenario reaches only by chance.
namespace {

using support::as_event;
using support::id_of;
using support::Lines;
using support::take_acts;
using ::testing::ElementsAre;

// A started form whose acknowledgement is always "Ok!".
support::Started ready(sim::SimPlatform& sim) {
    auto s = support::started_form(sim);
    s.form().sAckLine = "Ok!";
    return s;
}

template <class Procedure>
void run(sim::SimPlatform& sim, character::frmAgentCtrl& f, Procedure procedure) {
    as_event(sim, [&] { procedure(f); });
}

// The first n lines since the last take; the reading's own pieces come from speech output, so these
// tests look at what the commands put before them.
Lines first(sim::SimPlatform& sim, std::size_t n) {
    auto lines = take_acts(sim);
    lines.resize(std::min(n, lines.size()));
    return lines;
}

// A new reading replaces the one in progress: stopped first, so it starts with "Read" again.
TEST(ReadingCommands, ReadDuringAReadingStopsItFirst) {
    sim::SimPlatform sim{support::mailbox(support::kWindowsMailbox)};
    auto s = ready(sim);
    auto& f = s.form();
    sim.select({"m2"});
    f.iReadMode = 6;
    const auto request = support::queued_request(sim, f);
    f.oReadRequest = request;
    f.sReadText = "One. Two. ";
    f.lReadPos = 6;
    support::take(sim);
    run(sim, f, reading::ReadThisItem);
    const auto lines = support::take(sim);
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[1], "agent: stop #" + std::to_string(request->id()));
    EXPECT_THAT(support::without_request_ids({lines[0], lines[2]}),
                ElementsAre("agent: speak \"Ok!\"", "agent: play \"Read\""));
    EXPECT_EQ(f.iLastReadMode, 6);
    EXPECT_EQ(f.lItmSavedPos, 6);
}

TEST(ReadingCommands, RereadTakesTheLastReadingFromItsContext) {
    sim::SimPlatform sim{support::mailbox(support::kWindowsMailbox)};
    auto s = ready(sim);
    auto& f = s.form();
    f.oReadRequest = support::queued_request(sim, f);
    f.iLastReadMode = 2;
    f.sNeMSavedText = "Preview. ";
    f.sItmSavedText = "Ordinary. ";
    f.lReadPos = 9;
    run(sim, f, reading::ReReadItem);
    EXPECT_THAT(first(sim, 2), ElementsAre("agent: speak \"Ok!\"", "agent: play \"Read\""));
    EXPECT_EQ(f.iReadMode, 2);
    EXPECT_EQ(f.sReadText, "Preview. ");

    // During a reading the text stays and the reading starts over.
    f.iReadMode = 6;
    f.sReadText = "Now. Then. ";
    f.lReadPos = 6;
    run(sim, f, reading::ReReadItem);
    EXPECT_THAT(first(sim, 2), ElementsAre("agent: speak \"Ok!\"", "agent: play \"ReadContinued\""));
    EXPECT_EQ(f.sReadText, "Now. Then. ");
    EXPECT_EQ(f.iReadMode, 6);
}

TEST(ReadingCommands, ContinueRestoresTheHeldContextAndSometimesPlaysMore) {
    sim::SimPlatform sim{support::mailbox(support::kWindowsMailbox)};
    auto s = ready(sim);
    auto& f = s.form();
    const auto hold = [&] {
        f.iReadMode = 5;
        f.lItmSavedPos = 7;
        f.lItmSavedDone = 1;
        f.sItmSavedText = "First. Second. ";
    };
    hold();
    sim.fault("Rnd", 1);  // No number drawn: the lowest, just "Read".
    run(sim, f, reading::ContReadItem);
    EXPECT_THAT(first(sim, 3), ElementsAre("fault: Rnd", "agent: play \"Read\"", "agent: speak \" Second. \""));
    EXPECT_EQ(f.lReadPos, 7);
    EXPECT_EQ(f.lReadDone, 1);
    EXPECT_EQ(f.sReadText, "First. Second. ");
    EXPECT_EQ(f.lReadPieces, 8);  // Seven before the held piece, which is spoken again.

    // Above the middle "ReadContinued" follows; a copy of the random source tells what the next draw is.
    for (int i = 0; i < 4; ++i) {
        auto twin = static_cast<sim::SimRandom&>(sim.random());
        const bool more = static_cast<int>(10 * twin.next()) + 1 > 5;
        hold();
        run(sim, f, reading::ContReadItem);
        EXPECT_EQ(first(sim, 2)[1], more ? "agent: play \"ReadContinued\"" : "agent: speak \" Second. \"") << i;
    }
}

TEST(ReadingCommands, OpenAndReadOpensTheWindowAndReadsIt) {
    sim::SimPlatform sim{support::mailbox(support::kWindowsMailbox)};
    auto s = ready(sim);
    auto& f = s.form();
    sim.select({"m1", "m2"});
    f.sHeardCmd = "OpenAndRead";
    run(sim, f, reading::OpenAndRead);
    EXPECT_THAT(first(sim, 4),
                ElementsAre("agent: speak \"You have more than one message selected.  I will open the first one.\"",
                            "outlook: GetInspector m1", "outlook: Activate m1", "agent: play \"Read\""));
    EXPECT_TRUE(f.bCurInspOpen);
    EXPECT_TRUE(f.bReadInspOpen);
    EXPECT_EQ(id_of(f.oReadInspector.ptr()), "m1");
    EXPECT_EQ(f.iReadMode, 6);

    // In the window now, open only says so; the reading in progress goes on after the answer.
    f.sHeardCmd = "OpenThisItem";
    run(sim, f, reading::OpenThisItem);
    EXPECT_THAT(first(sim, 1), ElementsAre("agent: speak \"It's open.\""));
}

// A window that cannot be had is not open, and the reading does not get it as its window.
TEST(ReadingCommands, OpenWithoutAWindowClaimsNone) {
    sim::SimPlatform sim{support::mailbox(support::kWindowsMailbox)};
    auto s = ready(sim);
    auto& f = s.form();
    sim.select({"m1"});
    sim.fault("GetInspector", 1);
    f.sHeardCmd = "OpenThisItem";
    run(sim, f, reading::OpenThisItem);
    EXPECT_THAT(take_acts(sim), ElementsAre("agent: speak \"Ok!\"", "fault: GetInspector"));
    EXPECT_FALSE(f.bCurInspOpen);
    EXPECT_FALSE(f.oCurInspector);
}

}  // namespace
