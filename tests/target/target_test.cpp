#include "target/target.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "actions/item_action.hpp"
#include "reading/reading_commands.hpp"
#include "sim/sim_platform.hpp"
#include "support/items.hpp"
#include "support/lines.hpp"
#include "support/started_form.hpp"

namespace {

using support::id_of;
using support::take_acts;
using target::TargetKind;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

// The rows of the commands resolved here: read's and open's from reading, the others from the item actions.
namespace TargetCommand {
const target::TargetRow& Read = reading::kReadTarget;
const target::TargetRow& Open = reading::kOpenTarget;
const target::TargetRow& Copy = actions::target_row(actions::TargetCommand::Copy);
const target::TargetRow& Delete = actions::target_row(actions::TargetCommand::Delete);
const target::TargetRow& Print = actions::target_row(actions::TargetCommand::Print);
const target::TargetRow& Forward = actions::target_row(actions::TargetCommand::Forward);
const target::TargetRow& Accept = actions::target_row(actions::TargetCommand::Accept);
const target::TargetRow& Decline = actions::target_row(actions::TargetCommand::Decline);
}  // namespace TargetCommand

support::Started ready(sim::SimPlatform& sim) {
    auto s = support::started_form(sim);
    s.form().sAckLine = "Ok!";
    return s;
}

target::Target resolve(sim::SimPlatform& sim, character::frmAgentCtrl& f, const target::TargetRow& command) {
    target::Target found;
    support::as_event(sim, [&] { found = target::ResolveTarget(f, command); });
    return found;
}

TEST(TargetResolution, SeveralSelectedNamesTheItemWordAndTakesTheFirst) {
    sim::SimPlatform sim{support::mailbox(support::kWindowsMailbox)};
    auto s = ready(sim);
    auto& f = s.form();
    f.sCurItemRef = "email";
    sim.select({"m1", "m2"});
    const auto target = resolve(sim, f, TargetCommand::Read);
    EXPECT_EQ(target.kind, TargetKind::Selection);
    EXPECT_EQ(id_of(target.item), "m1");
    EXPECT_EQ(id_of(f.oTargetItem.ptr()), "m1");
    EXPECT_EQ(f.sTargetEntryID, "m1");
    EXPECT_THAT(take_acts(sim),
                ElementsAre("agent: speak \"You have more than one email selected.  I will read the first one.\""));

    // Read takes the first of several without a word while a window it opened is up; open does not.
    f.bCurInspOpen = true;
    resolve(sim, f, TargetCommand::Read);
    resolve(sim, f, TargetCommand::Open);
    EXPECT_THAT(take_acts(sim),
                ElementsAre("agent: speak \"Ok!\"",
                            "agent: speak \"You have more than one email selected.  I will open the first one.\""));
}

TEST(TargetResolution, EachCommandAnswersTheEmptySelectionInItsOwnWords) {
    sim::SimPlatform sim{support::mailbox(support::kWindowsMailbox)};
    auto s = ready(sim);
    auto& f = s.form();
    sim.select_none();
    for (auto command : {TargetCommand::Read, TargetCommand::Open, TargetCommand::Copy, TargetCommand::Delete}) {
        const auto target = resolve(sim, f, command);
        EXPECT_EQ(target.kind, TargetKind::Nothing);
        EXPECT_TRUE(target.answered);
    }
    EXPECT_THAT(take_acts(sim),
                ElementsAre("agent: speak \"There are no messages selected to read.\"",
                            "agent: speak \"There are no messages selected.\"", "agent: play \"Uncertain\"",
                            "agent: speak \"There is no message selected to copy.\"",
                            "agent: speak \"There is no message selected to delete.\""));
}

TEST(TargetResolution, WithoutAnActiveWindowOpenSaysNothing) {
    sim::SimPlatform sim{support::mailbox(support::kWindowsMailbox)};
    auto s = ready(sim);
    auto& f = s.form();
    sim.activate_none();
    resolve(sim, f, TargetCommand::Read);
    resolve(sim, f, TargetCommand::Forward);
    EXPECT_FALSE(resolve(sim, f, TargetCommand::Open).answered);
    EXPECT_THAT(take_acts(sim),
                ElementsAre("agent: speak \"There is no active window to read from.\"", "agent: play \"Confused\"",
                            "agent: speak \"There is no active item here to forward.\""));

    // A window of a third kind finds nothing, and nothing is said.
    sim.activate_other();
    const auto other = resolve(sim, f, TargetCommand::Read);
    EXPECT_EQ(other.kind, TargetKind::Nothing);
    EXPECT_FALSE(other.answered);
    EXPECT_THAT(take_acts(sim), IsEmpty());
}

// Read and delete want the selection object before they look at the window; copy reads the open item.
TEST(TargetResolution, ReadAndDeleteWantASelectionWhateverTheWindow) {
    sim::SimPlatform sim{support::mailbox(support::kWindowsMailbox)};
    auto s = ready(sim);
    auto& f = s.form();
    sim.open("m1");
    f.oCurSelection.reset();
    resolve(sim, f, TargetCommand::Read);
    resolve(sim, f, TargetCommand::Delete);
    const auto copy = resolve(sim, f, TargetCommand::Copy);
    EXPECT_EQ(copy.kind, TargetKind::Inspector);
    EXPECT_EQ(id_of(copy.item), "m1");
    EXPECT_EQ(id_of(f.oCurInspector.ptr()), "m1");
    EXPECT_THAT(take_acts(sim),
                ElementsAre("agent: play \"Explain\"", "agent: speak \"Sorry, there is nothing here that I can read.\"",
                            "agent: play \"Explain\"", "agent: speak \"There is nothing here that I can delete.\""));
}

// A window whose item cannot be had is an empty window.
TEST(TargetResolution, AnEmptyWindowEndsTheCommandExceptForOpen) {
    sim::SimPlatform sim{support::mailbox(support::kWindowsMailbox)};
    auto s = ready(sim);
    auto& f = s.form();
    sim.open("m1");
    take_acts(sim);
    sim.fault("CurrentItem");
    EXPECT_EQ(resolve(sim, f, TargetCommand::Print).kind, TargetKind::Nothing);
    const auto open = resolve(sim, f, TargetCommand::Open);
    EXPECT_EQ(open.kind, TargetKind::Inspector);
    EXPECT_EQ(open.item, nullptr);
    auto lines = take_acts(sim);
    std::erase(lines, "fault: CurrentItem");
    EXPECT_THAT(lines, ElementsAre("agent: play \"Confused\"", "agent: speak \"There is nothing here to print.\"",
                                   "agent: speak \"It's open.\""));
}

// An item the selection cannot hand out, or cannot name, is not acted on; neither is the one an
// earlier command found. No acknowledgement comes before the answer.
TEST(TargetResolution, AnUnreachableFirstItemIsNoTargetAndTheEarlierOneIsForgotten) {
    for (std::string_view call : {"Selection.Item", "EntryID"}) {
        SCOPED_TRACE(call);
        sim::SimPlatform sim{support::mailbox(support::kWindowsMailbox)};
        auto s = ready(sim);
        auto& f = s.form();
        sim.select({"m1"});
        f.oTargetItem = support::item(sim, "m9");
        take_acts(sim);
        sim.fault(std::string(call), 1);
        EXPECT_EQ(resolve(sim, f, TargetCommand::Read).kind, TargetKind::Nothing);
        EXPECT_FALSE(f.oTargetItem);
        EXPECT_THAT(take_acts(sim), ElementsAre("fault: " + std::string(call), "agent: play \"Explain\"",
                                                "agent: speak \"Sorry, there is nothing here that I can read.\""));
    }
}

TEST(TargetResolution, ActionsTakeTheItemBeingReadWhileReadLooksAtTheWindow) {
    sim::SimPlatform sim{support::mailbox(support::kWindowsMailbox)};
    auto s = ready(sim);
    auto& f = s.form();
    sim.select({"m1"});
    f.iReadMode = 6;
    f.oCurReadItem = support::item(sim, "m2");
    const auto forward = resolve(sim, f, TargetCommand::Forward);
    EXPECT_EQ(forward.kind, TargetKind::ItemBeingRead);
    EXPECT_EQ(id_of(forward.item), "m2");
    const auto read = resolve(sim, f, TargetCommand::Read);
    EXPECT_EQ(read.kind, TargetKind::Selection);
    EXPECT_EQ(id_of(read.item), "m1");
    EXPECT_THAT(take_acts(sim), ElementsAre("agent: speak \"Ok!\""));
}

TEST(TargetResolution, ThePreviewItemComesFirstAndTheResponsesLookNowhereElse) {
    sim::SimPlatform sim{support::mailbox(support::kWindowsMailbox)};
    auto s = ready(sim);
    auto& f = s.form();
    sim.select({"m1"});
    f.bNeMStarted = f.bNeMActive = true;
    f.oNeMItem = support::item(sim, "p1");
    f.oCurReadItem = support::item(sim, "m2");
    EXPECT_EQ(id_of(resolve(sim, f, TargetCommand::Open).item), "p1");
    EXPECT_EQ(id_of(resolve(sim, f, TargetCommand::Accept).item), "m2");
    f.bNeMActive = false;  // paused: the window decides again
    sim.activate_none();
    const auto decline = resolve(sim, f, TargetCommand::Decline);
    EXPECT_EQ(decline.kind, TargetKind::ItemBeingRead);
    EXPECT_EQ(id_of(decline.item), "m2");
    EXPECT_THAT(take_acts(sim), IsEmpty());
}

TEST(TargetResolution, AGonePreviewItemIsAnsweredPerCommand) {
    sim::SimPlatform sim{support::mailbox(support::kWindowsMailbox)};
    auto s = ready(sim);
    auto& f = s.form();
    f.bNeMStarted = f.bNeMActive = f.bNeMItemGone = true;
    f.sCurItemType = "meeting request";
    const auto target = resolve(sim, f, TargetCommand::Print);
    EXPECT_EQ(target.kind, TargetKind::Nothing);
    EXPECT_TRUE(target.answered);
    const auto lines = take_acts(sim);
    ASSERT_GE(lines.size(), 2U);
    EXPECT_EQ(lines[0], "agent: speak \"That meeting request is gone and can not be printed.\"");
    EXPECT_EQ(lines[1], "agent: speak \"Let's go read the next one.\"");
}

}  // namespace
