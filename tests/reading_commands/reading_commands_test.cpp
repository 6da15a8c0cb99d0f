#include "reading/reading_commands.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "reading_commands/window_fake.hpp"

namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::Not;
using ::testing::StartsWith;

// The reading's own pieces come from speech output, so these look at what the commands add around them.
struct Started {
    window_fake::FakeHost host;
    character::frmAgentCtrl f{host};
    Started() {
        window_fake::start(host, f);
        f.oCurSelection = host.app->explorer->selection();
    }
    std::vector<std::string> first(std::size_t n) {
        auto lines = host.take();
        lines.resize(std::min(n, lines.size()));
        return lines;
    }
};

TEST(ReadingCommands, ReadFromTheExplorerAnnouncesReadsAndMarksTheItemRead) {
    Started s;
    s.host.select({"m1"});
    reading::ReadThisItem(s.f);
    const auto lines = s.host.take();
    EXPECT_THAT(std::vector(lines.begin(), lines.begin() + 2),
                ElementsAre("agent: speak \"Ok!\" #1", "agent: play \"Read\" #2"));
    EXPECT_THAT(std::vector(lines.end() - 2, lines.end()), ElementsAre("outlook: UnRead m1 False", "outlook: Save m1"));
    EXPECT_EQ(s.f.iReadMode, 6);
    EXPECT_EQ(s.f.oCurReadItem.ptr(), s.host.item("m1"));
}

TEST(ReadingCommands, ReadInItsWindowReadsTheBodyAndLeavesTheReadState) {
    Started s;
    s.host.open("m1");
    reading::ReadThisItem(s.f);
    const auto lines = s.host.take();
    EXPECT_THAT(std::vector(lines.begin(), lines.begin() + 2),
                ElementsAre("agent: speak \"Ok!\" #1", "agent: play \"Read\" #2"));
    EXPECT_THAT(lines, Not(Contains(StartsWith("outlook: UnRead"))));
    EXPECT_EQ(s.f.iReadMode, 5);
    EXPECT_EQ(s.f.oReadInspector.ptr(), s.host.item("m1")->inspector);
}

// A new reading replaces the one in progress: stopped first, so it starts with "Read" again.
TEST(ReadingCommands, ReadDuringAReadingStopsItFirst) {
    Started s;
    s.host.select({"m2"});
    s.f.iReadMode = 6;
    s.f.oReadRequest = window_fake::request(40);
    s.f.sReadText = "One. Two. ";
    s.f.lReadPos = 6;
    reading::ReadThisItem(s.f);
    EXPECT_THAT(s.first(3), ElementsAre("agent: speak \"Ok!\" #1", "agent: stop #40", "agent: play \"Read\" #2"));
    EXPECT_EQ(s.f.iLastReadMode, 6);
    EXPECT_EQ(s.f.lItmSavedPos, 6);
}

TEST(ReadingCommands, NothingToStopRereadOrContinue) {
    Started s;
    reading::StopReadItem(s.f);
    reading::ReReadItem(s.f);
    reading::ContReadItem(s.f);
    EXPECT_THAT(s.host.take(),
                ElementsAre("agent: speak \"I am not reading anything right now.\" #1",
                            "agent: speak \"I have not read anything yet, this session. So, there is nothing to "
                            "re-read.\" #2",
                            "agent: play \"Confused\" #3", "agent: speak \"I was not reading anything.\" #4"));
}

// The request of the last piece stays set after a reading ends, so a stop then forgets the reading.
TEST(ReadingCommands, StopAfterTheEndLeavesNothingToReread) {
    Started s;
    s.f.oReadRequest = window_fake::request(7);
    s.f.iLastReadMode = 6;
    s.f.sItmSavedText = "Done. ";
    reading::StopReadItem(s.f);
    reading::ReReadItem(s.f);
    EXPECT_THAT(s.host.take(), ElementsAre("agent: stop #7",
                                           "agent: speak \"I have not read anything yet, this session. So, there "
                                           "is nothing to re-read.\" #1"));
}

TEST(ReadingCommands, RereadTakesTheLastReadingFromItsContext) {
    Started s;
    s.f.oReadRequest = window_fake::request(7);
    s.f.iLastReadMode = 2;
    s.f.sNeMSavedText = "Preview. ";
    s.f.sItmSavedText = "Ordinary. ";
    s.f.lReadPos = 9;
    reading::ReReadItem(s.f);
    EXPECT_THAT(s.first(2), ElementsAre("agent: speak \"Ok!\" #1", "agent: play \"Read\" #2"));
    EXPECT_EQ(s.f.iReadMode, 2);
    EXPECT_EQ(s.f.sReadText, "Preview. ");

    // During a reading the text stays and the reading starts over.
    s.f.iReadMode = 6;
    s.f.sReadText = "Now. Then. ";
    s.f.lReadPos = 6;
    reading::ReReadItem(s.f);
    EXPECT_THAT(s.first(2), ElementsAre("agent: speak \"Ok!\" #4", "agent: play \"ReadContinued\" #5"));
    EXPECT_EQ(s.f.sReadText, "Now. Then. ");
    EXPECT_EQ(s.f.iReadMode, 6);
}

TEST(ReadingCommands, ContinueRestoresTheHeldContextAndSometimesPlaysMore) {
    Started s;
    s.f.iReadMode = 5;
    s.f.lItmSavedPos = 7;
    s.f.lItmSavedDone = 1;
    s.f.sItmSavedText = "First. Second. ";
    s.host.random_value = 0.45;  // r = 5: just "Read"
    reading::ContReadItem(s.f);
    EXPECT_THAT(s.first(2), ElementsAre("agent: play \"Read\" #1", "agent: speak \" Second. \" #2"));
    EXPECT_EQ(s.f.lReadPos, 7);
    EXPECT_EQ(s.f.lReadDone, 1);
    EXPECT_EQ(s.f.sReadText, "First. Second. ");
    EXPECT_EQ(s.f.lReadPieces, 8);  // Seven before the held piece, which is spoken again.

    s.host.random_value = 0.5;  // r = 6
    reading::ContReadItem(s.f);
    EXPECT_THAT(s.first(2), ElementsAre("agent: play \"Read\" #3", "agent: play \"ReadContinued\" #4"));
}

TEST(ReadingCommands, OpenAndReadOpensTheWindowAndReadsIt) {
    Started s;
    s.host.select({"m1", "m2"});
    s.f.sHeardCmd = "OpenAndRead";
    reading::OpenAndRead(s.f);
    EXPECT_THAT(s.first(4),
                ElementsAre("agent: speak \"You have more than one message selected.  I will open the first one.\" #1",
                            "outlook: GetInspector m1", "outlook: Activate m1", "agent: play \"Read\" #2"));
    EXPECT_TRUE(s.f.bCurInspOpen);
    EXPECT_TRUE(s.f.bReadInspOpen);
    EXPECT_EQ(s.f.oReadInspector.ptr(), s.host.item("m1")->inspector);
    EXPECT_EQ(s.f.iReadMode, 6);

    // In the window now, open only says so.
    s.f.sHeardCmd = "OpenThisItem";
    s.host.open("m1");
    reading::OpenThisItem(s.f);
    // The reading in progress goes on after the answer.
    EXPECT_THAT(s.first(1), ElementsAre("agent: speak \"It's open.\" #4"));
}

// A window that cannot be had is not open, and the reading does not get it as its window.
TEST(ReadingCommands, OpenWithoutAWindowClaimsNone) {
    Started s;
    s.host.select({"m1"});
    s.host.world.faults.fail("GetInspector", 1);
    s.f.sHeardCmd = "OpenThisItem";
    reading::OpenThisItem(s.f);
    EXPECT_THAT(s.host.take(), ElementsAre("agent: speak \"Ok!\" #1", "fault: GetInspector"));
    EXPECT_FALSE(s.f.bCurInspOpen);
    EXPECT_FALSE(s.f.oCurInspector);
}

TEST(ReadingCommands, OpenDuringThePreviewSaysWhenTheWindowIsAlreadyOpen) {
    Started s;
    s.f.bNeMStarted = s.f.bNeMActive = true;
    s.f.oNeMItem = s.host.ptr("p1");
    s.f.sHeardCmd = "OpenThisItem";
    reading::OpenThisItem(s.f);
    reading::OpenThisItem(s.f);
    EXPECT_THAT(s.host.take(),
                ElementsAre("agent: speak \"Ok!\" #1", "outlook: GetInspector p1", "outlook: Activate p1",
                            "agent: speak \"It is already open.\" #2", "outlook: Activate p1"));
    EXPECT_TRUE(s.f.bNeMInspOpen);
}

}  // namespace
