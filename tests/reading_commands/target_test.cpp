#include "reading/target.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "reading_commands/window_fake.hpp"

namespace {

using reading::ResolveTarget;
using reading::TargetCommand;
using reading::TargetKind;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

struct Started {
    window_fake::FakeHost host;
    character::frmAgentCtrl f{host};
    Started() {
        window_fake::start(host, f);
        f.oCurSelection = host.app->explorer->selection();
    }
};

TEST(TargetResolution, SeveralSelectedNamesTheItemWordAndTakesTheFirst) {
    Started s;
    s.f.sCurItemRef = "email";
    s.host.select({"m1", "m2"});
    auto target = ResolveTarget(s.f, TargetCommand::Read);
    EXPECT_EQ(target.kind, TargetKind::Selection);
    EXPECT_EQ(target.item, s.host.item("m1"));
    EXPECT_EQ(s.f.oTargetItem.ptr(), s.host.item("m1"));
    EXPECT_EQ(s.f.sTargetEntryID, "m1");
    EXPECT_THAT(s.host.take(), ElementsAre("agent: speak \"You have more than one email selected.  I will read the "
                                           "first one.\" #1"));

    // Read takes the first of several without a word while a window it opened is up; open does not.
    s.f.bCurInspOpen = true;
    ResolveTarget(s.f, TargetCommand::Read);
    ResolveTarget(s.f, TargetCommand::Open);
    EXPECT_THAT(s.host.take(),
                ElementsAre("agent: speak \"Ok!\" #2",
                            "agent: speak \"You have more than one email selected.  I will open the first one.\" #3"));
}

TEST(TargetResolution, EachCommandAnswersTheEmptySelectionInItsOwnWords) {
    Started s;
    s.host.select({});
    for (auto command : {TargetCommand::Read, TargetCommand::Open, TargetCommand::Copy, TargetCommand::Delete}) {
        auto target = ResolveTarget(s.f, command);
        EXPECT_EQ(target.kind, TargetKind::Nothing);
        EXPECT_TRUE(target.answered);
    }
    EXPECT_THAT(s.host.take(),
                ElementsAre("agent: speak \"There are no messages selected to read.\" #1",
                            "agent: speak \"There are no messages selected.\" #2", "agent: play \"Uncertain\" #3",
                            "agent: speak \"There is no message selected to copy.\" #4",
                            "agent: speak \"There is no message selected to delete.\" #5"));
}

TEST(TargetResolution, WithoutAnActiveWindowOpenSaysNothing) {
    Started s;
    s.host.app->window = nullptr;
    ResolveTarget(s.f, TargetCommand::Read);
    ResolveTarget(s.f, TargetCommand::Forward);
    auto open = ResolveTarget(s.f, TargetCommand::Open);
    EXPECT_FALSE(open.answered);
    EXPECT_THAT(s.host.take(), ElementsAre("agent: speak \"There is no active window to read from.\" #1",
                                           "agent: play \"Confused\" #2",
                                           "agent: speak \"There is no active item here to forward.\" #3"));

    // A window of a third kind finds nothing, and nothing is said.
    s.host.app->window = std::make_shared<window_fake::OtherWindow>();
    auto other = ResolveTarget(s.f, TargetCommand::Read);
    EXPECT_EQ(other.kind, TargetKind::Nothing);
    EXPECT_FALSE(other.answered);
    EXPECT_THAT(s.host.take(), IsEmpty());
}

// Read and delete want the selection object before they look at the window; copy reads the open item.
TEST(TargetResolution, ReadAndDeleteWantASelectionWhateverTheWindow) {
    Started s;
    s.f.oCurSelection.reset();
    s.host.open("m1");
    ResolveTarget(s.f, TargetCommand::Read);
    ResolveTarget(s.f, TargetCommand::Delete);
    auto copy = ResolveTarget(s.f, TargetCommand::Copy);
    EXPECT_EQ(copy.kind, TargetKind::Inspector);
    EXPECT_EQ(copy.item, s.host.item("m1"));
    EXPECT_EQ(s.f.oCurInspector.ptr(), s.host.item("m1")->inspector);
    EXPECT_THAT(
        s.host.take(),
        ElementsAre("agent: play \"Explain\" #1", "agent: speak \"Sorry, there is nothing here that I can read.\" #2",
                    "agent: play \"Explain\" #3", "agent: speak \"There is nothing here that I can delete.\" #4"));
}

TEST(TargetResolution, AnEmptyWindowEndsTheCommandExceptForOpen) {
    Started s;
    auto inspector = std::make_shared<window_fake::FakeInspector>(s.host.world, nullptr, "nothing");
    s.host.app->window = inspector;
    EXPECT_EQ(ResolveTarget(s.f, TargetCommand::Print).kind, TargetKind::Nothing);
    auto open = ResolveTarget(s.f, TargetCommand::Open);
    EXPECT_EQ(open.kind, TargetKind::Inspector);
    EXPECT_EQ(open.item, nullptr);
    EXPECT_THAT(s.host.take(),
                ElementsAre("agent: play \"Confused\" #1", "agent: speak \"There is nothing here to print.\" #2",
                            "agent: speak \"It's open.\" #3"));
}

// An item the selection cannot hand out, or cannot name, is not acted on; neither is the one an
// earlier command found. No acknowledgement comes before the answer.
TEST(TargetResolution, AnUnreachableFirstItemIsNoTargetAndTheEarlierOneIsForgotten) {
    for (std::string_view call : {"Item", "EntryID"}) {
        Started s;
        s.host.select({"m1"});
        s.f.oTargetItem = s.host.ptr("m9");
        s.host.world.faults.fail(std::string(call), 1);
        auto target = ResolveTarget(s.f, TargetCommand::Read);
        EXPECT_EQ(target.kind, TargetKind::Nothing);
        EXPECT_FALSE(s.f.oTargetItem);
        EXPECT_THAT(s.host.take(), ElementsAre("fault: " + std::string(call), "agent: play \"Explain\" #1",
                                               "agent: speak \"Sorry, there is nothing here that I can read.\" #2"));
    }
}

TEST(TargetResolution, ActionsTakeTheItemBeingReadWhileReadLooksAtTheWindow) {
    Started s;
    s.host.select({"m1"});
    s.f.iReadMode = 6;
    s.f.oCurReadItem = s.host.ptr("m2");
    auto forward = ResolveTarget(s.f, TargetCommand::Forward);
    EXPECT_EQ(forward.kind, TargetKind::ItemBeingRead);
    EXPECT_EQ(forward.item, s.host.item("m2"));
    auto read = ResolveTarget(s.f, TargetCommand::Read);
    EXPECT_EQ(read.kind, TargetKind::Selection);
    EXPECT_EQ(read.item, s.host.item("m1"));
    EXPECT_THAT(s.host.take(), ElementsAre("agent: speak \"Ok!\" #1"));
}

TEST(TargetResolution, ThePreviewItemComesFirstAndTheResponsesLookNowhereElse) {
    Started s;
    s.host.select({"m1"});
    s.f.bNeMStarted = s.f.bNeMActive = true;
    s.f.oNeMItem = s.host.ptr("p1");
    s.f.oCurReadItem = s.host.ptr("m2");
    EXPECT_EQ(ResolveTarget(s.f, TargetCommand::Open).item, s.host.item("p1"));
    EXPECT_EQ(ResolveTarget(s.f, TargetCommand::Accept).item, s.host.item("m2"));
    s.f.bNeMActive = false;  // paused: the window decides again
    s.host.app->window = nullptr;
    auto decline = ResolveTarget(s.f, TargetCommand::Decline);
    EXPECT_EQ(decline.kind, TargetKind::ItemBeingRead);
    EXPECT_EQ(decline.item, s.host.item("m2"));
    EXPECT_THAT(s.host.take(), IsEmpty());
}

TEST(TargetResolution, AGonePreviewItemIsAnsweredPerCommand) {
    Started s;
    s.f.bNeMStarted = s.f.bNeMActive = s.f.bNeMItemGone = true;
    s.f.sCurItemType = "meeting request";
    auto target = ResolveTarget(s.f, TargetCommand::Print);
    EXPECT_EQ(target.kind, TargetKind::Nothing);
    EXPECT_TRUE(target.answered);
    auto lines = s.host.take();
    ASSERT_GE(lines.size(), 2U);
    EXPECT_EQ(lines[0], "agent: speak \"That meeting request is gone and can not be printed.\" #1");
    EXPECT_EQ(lines[1], "agent: speak \"Let's go read the next one.\" #2");
}

}  // namespace
