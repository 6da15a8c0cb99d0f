#include "tracking/tracking.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "reading/reading_commands.hpp"
#include "reading_commands/window_fake.hpp"

namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Not;
using ::testing::StartsWith;

struct Started {
    window_fake::FakeHost host;
    character::frmAgentCtrl f{host};
    Started() {
        window_fake::start(host, f);
        tracking::SetCurExpItems(f);
        host.take();
    }
    // As if `id` were being read: its typed reference bound, a piece queued.
    void reading(const std::string& id) {
        f.oCurReadItem = host.ptr(id);
        f.oCurEmailItem = host.item(id);
        f.iReadMode = 6;
        f.oReadRequest = window_fake::request(30);
    }
};

TEST(Tracking, AFolderSwitchForgetsTheSelectionUntilTheNextChange) {
    Started s;
    EXPECT_EQ(s.f.sCurView, "Messages");
    EXPECT_EQ(s.f.lCurUnread, 2);
    s.host.select({"m1"});
    s.host.app->explorer->folder_switch.raise();
    EXPECT_FALSE(s.f.oCurSelection);
    reading::ReadThisItem(s.f);
    EXPECT_THAT(s.host.take(), ElementsAre("agent: play \"Explain\" #1",
                                           "agent: speak \"Sorry, there is nothing here that I can read.\" #2"));
    s.host.select({"m2"});
    reading::ReadThisItem(s.f);
    EXPECT_THAT(s.host.take(), Contains("outlook: UnRead m2 False"));
}

TEST(Tracking, OnlyTheItemBeingReadStopsTheReadingWhenItCloses) {
    Started s;
    s.reading("m1");
    s.host.close("m2");
    EXPECT_EQ(s.f.iReadMode, 6);
    s.host.close("m1");
    EXPECT_EQ(s.f.iReadMode, 0);
    EXPECT_EQ(s.f.iLastReadMode, 6);
    EXPECT_THAT(s.host.take(), ElementsAre("agent: stop #30"));
}

// The reading window keeps the last item read in a window; once another item is being read, closing
// that old window must leave the new reading alone.
TEST(Tracking, ClosingTheWindowOfAnEarlierReadingLeavesTheReadingAlone) {
    Started s;
    s.host.open("m1");
    s.f.oReadInspector = s.host.item("m1")->inspector;
    s.reading("m2");
    s.host.close("m1");
    EXPECT_EQ(s.f.iReadMode, 6);
    EXPECT_FALSE(s.f.bReadInspOpen);

    // A note has no Close of its own: its window's closing stops its reading.
    s.host.open("n1");
    s.f.oReadInspector = s.host.item("n1")->inspector;
    s.f.oCurEmailItem.reset();
    s.f.oCurReadItem = s.host.ptr("n1");
    s.host.close("n1");
    EXPECT_EQ(s.f.iReadMode, 0);
}

TEST(Tracking, ThePreviewWindowStopsOnlyAPreviewReading) {
    Started s;
    s.host.open("p1");
    s.f.oCurNeMInspector = s.host.item("p1")->inspector;
    s.f.bNeMInspOpen = true;
    s.f.iReadMode = 5;
    s.f.oReadRequest = window_fake::request(30);
    s.host.close("p1");
    EXPECT_EQ(s.f.iReadMode, 5);
    EXPECT_FALSE(s.f.bNeMInspOpen);

    s.host.open("p2");
    s.f.oCurNeMInspector = s.host.item("p2")->inspector;
    s.f.iReadMode = 2;
    s.host.close("p2");
    EXPECT_EQ(s.f.iReadMode, 0);
}

// Closing the reading window of an open-and-read during the preview closes the preview's window too,
// without saving it.
TEST(Tracking, TheReadingWindowTakesThePreviewWindowWithIt) {
    Started s;
    s.host.open("p1");
    s.host.open("p2");
    s.f.oReadInspector = s.host.item("p1")->inspector;
    s.f.bReadInspOpen = true;
    s.f.oCurNeMInspector = s.host.item("p2")->inspector;
    s.f.bNeMInspOpen = true;
    s.host.close("p1");
    EXPECT_THAT(s.host.take(), ElementsAre("outlook: Close p2 1"));
    EXPECT_FALSE(s.f.bReadInspOpen);
    EXPECT_FALSE(s.f.bNeMInspOpen);
}

TEST(Tracking, ClosingTheExplorerShutsDownWithoutAGoodbye) {
    Started s;
    s.host.app->explorer->closed.raise();
    const auto lines = s.host.take();
    EXPECT_THAT(lines, Contains(StartsWith("settings: CurItemRef")));
    EXPECT_THAT(lines, Not(Contains(StartsWith("agent: play"))));
    EXPECT_FALSE(s.f.bAgentLoaded);
    EXPECT_FALSE(s.f.oCurExplorer);
    EXPECT_FALSE(s.f.oCurSelection);
}

TEST(Tracking, NothingIsFollowedWhileTheCharacterIsDown) {
    Started s;
    s.f.bAgentLoaded = false;
    s.host.select({"m1"});
    s.f.oCurSelection.reset();
    s.host.select({"m2"});
    EXPECT_FALSE(s.f.oCurSelection);
    EXPECT_THAT(s.host.take(), IsEmpty());
}

}  // namespace
