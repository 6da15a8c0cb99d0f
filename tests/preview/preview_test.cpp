#include "preview/preview.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "commands/options.hpp"
#include "preview/inbox_fake.hpp"

namespace {

using inbox_fake::Preview;
using ::testing::AssertionFailure;
using ::testing::AssertionResult;
using ::testing::AssertionSuccess;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using Lines = std::vector<std::string>;

// The reading that the preview starts speaks after these lines; the tests look only for the preview's own.
AssertionResult has_in_order(const Lines& lines, const Lines& expected) {
    auto at = lines.begin();
    for (const auto& want : expected) {
        at = std::find(at, lines.end(), want);
        if (at == lines.end()) {
            std::string all;
            for (const auto& l : lines) all += "\n  " + l;
            return AssertionFailure() << "missing in order: " << want << "\nin:" << all;
        }
        ++at;
    }
    return AssertionSuccess();
}

bool has(const Lines& lines, std::string_view text) {
    return std::any_of(lines.begin(), lines.end(), [&](const auto& l) { return l.find(text) != std::string::npos; });
}

Lines prefix(const Lines& lines, std::size_t n) { return {lines.begin(), lines.begin() + std::min(n, lines.size())}; }

const Lines kStartRow{"agent: command \"PrevNewMail\" Enabled False",
                      "agent: command \"PrevNewMail\" Visible False",
                      "agent: command \"ContinuNewMail\" Enabled False",
                      "agent: command \"ContinuNewMail\" Visible False",
                      "agent: command \"PauseNewMail\" Enabled True",
                      "agent: command \"PauseNewMail\" Visible True",
                      "agent: command \"StopNewMail\" Enabled True",
                      "office: button Caption \"Preview\"",
                      "office: button TooltipText \"Outlook Agent - Preview\"",
                      "office: menu Caption \"A&gent Preview\""};
const Lines kStopRow{"agent: command \"PrevNewMail\" Enabled True",
                     "agent: command \"PrevNewMail\" Visible True",
                     "agent: command \"ContinuNewMail\" Enabled False",
                     "agent: command \"ContinuNewMail\" Visible False",
                     "agent: command \"PauseNewMail\" Enabled False",
                     "agent: command \"PauseNewMail\" Visible False",
                     "agent: command \"StopNewMail\" Enabled False",
                     "office: button Caption \"Agent\"",
                     "office: button TooltipText \"Open Outlook Dezaror Agent\"",
                     "office: menu Caption \"Outlook A&gent\""};

// Newest first: m5 (read), m4, m3 (read), m2, m1, m0 (read).
std::vector<Preview::Mail> six() {
    return {{"m0", 0, false}, {"m1", 1, true}, {"m2", 2, true}, {"m3", 3, false}, {"m4", 4, true}, {"m5", 5, false}};
}

Lines started(Preview& p) {
    preview::PrevNewMail(p.f);
    return p.take();
}

TEST(PreviewStart, OneUnreadSaysTheItemWithoutAnOrder) {
    Preview p{{{"a", 1, false}, {"b", 2, true}}};
    Lines expected{"outlook: Sort \"Inbox\" \"[ReceivedTime]\" True", "agent: speak \"Ok!\""};
    expected.insert(expected.end(), kStartRow.begin(), kStartRow.end());
    expected.insert(expected.end(),
                    {"agent: play \"Read\"", "agent: speak \"You have  1 unread message in the Inbox.\"",
                     "agent: speak \"The item \""});
    EXPECT_THAT(prefix(started(p), expected.size()), ElementsAreArray(expected));
    EXPECT_EQ(p.current(), "b");
    EXPECT_EQ(p.button->caption(), "Preview");
}

TEST(PreviewStart, ThreeUnreadStartAtTheNewestOrOldestSkippingReadOnes) {
    Preview newest{six()};
    EXPECT_TRUE(has_in_order(
        started(newest), {"agent: speak \"You have  3 unread messages in the Inbox.\"",
                          "agent: speak \"I will start with the newest one.\"", "agent: speak \"The first message\""}));
    EXPECT_EQ(newest.current(), "m4");

    Preview oldest{six()};
    oldest.f.bNeMSortDescend = false;
    EXPECT_TRUE(has_in_order(started(oldest), {"outlook: Sort \"Inbox\" \"[ReceivedTime]\" False",
                                               "agent: speak \"I will read starting with the oldest ones first.\""}));
    EXPECT_EQ(oldest.current(), "m1");
}

TEST(PreviewStart, NoUnreadOnlySaysSoAndChangesNothing) {
    Preview p{{{"a", 1, false}}};
    EXPECT_THAT(started(p), ElementsAre("agent: speak \"There are no new unread messages in the Inbox.\""));
    EXPECT_FALSE(p.f.bNeMStarted);
    EXPECT_EQ(p.button->caption(), "Agent");
}

// The count promises unread mail that the flags deny: the walk ends at the end of the Inbox.
TEST(PreviewStart, CountThatDisagreesWithTheFlagsDoesNotStart) {
    Preview p{{{"a", 1, false}, {"b", 2, false}}};
    p.ns->inbox->count_override = 2;
    Lines expected{"agent: speak \"There are no new unread messages in the Inbox.\""};
    expected.insert(expected.end(), kStopRow.begin(), kStopRow.end());
    const auto lines = started(p);
    EXPECT_TRUE(has_in_order(lines, expected));
    EXPECT_FALSE(has(lines, "You have"));
    EXPECT_FALSE(p.f.bNeMActive || p.f.bNeMStarted);
    EXPECT_EQ(p.button->caption(), "Agent");
}

TEST(PreviewStates, PauseContinueAndStopShowTheirRows) {
    Preview p{six()};
    started(p);
    preview::PauseNewMail(p.f);
    const auto paused = p.take();
    EXPECT_FALSE(has(paused, "speak"));
    EXPECT_TRUE(has_in_order(
        paused, {"agent: command \"PrevNewMail\" Enabled False", "agent: command \"PrevNewMail\" Visible False",
                 "agent: command \"PauseNewMail\" Enabled False", "agent: command \"PauseNewMail\" Visible False",
                 "agent: command \"ContinuNewMail\" Enabled True", "agent: command \"ContinuNewMail\" Visible True",
                 "office: button Caption \"Paused\"", "office: button TooltipText \"Outlook Agent - Paused\"",
                 "office: menu Caption \"A&gent Paused\""}));
    preview::PauseNewMail(p.f);  // Not running: nothing.
    EXPECT_THAT(p.take(), ElementsAre());

    preview::ContinuNewMail(p.f);
    EXPECT_TRUE(has_in_order(
        p.take(), {"agent: command \"PrevNewMail\" Enabled False", "agent: command \"PrevNewMail\" Visible False",
                   "agent: command \"PauseNewMail\" Enabled True", "agent: command \"PauseNewMail\" Visible True",
                   "agent: command \"ContinuNewMail\" Enabled False", "agent: command \"ContinuNewMail\" Visible False",
                   "office: button Caption \"Preview\""}));
    preview::ContinuNewMail(p.f);  // Not paused: nothing.
    EXPECT_THAT(p.take(), ElementsAre());

    preview::StopNewMail(p.f);
    EXPECT_TRUE(has_in_order(p.take(), kStopRow));
    EXPECT_EQ(p.menu->caption(), "Outlook A&gent");
}

TEST(PreviewNextPrevious, StepsSkipReadItemsAndStopAtBothEndsOnThePreviewItem) {
    Preview p{six()};
    started(p);
    preview::NextItem(p.f);
    EXPECT_TRUE(has_in_order(p.take(), {"agent: speak \"next, |next message\""}));
    EXPECT_EQ(p.current(), "m2");  // m3 is read
    preview::NextItem(p.f);
    EXPECT_EQ(p.current(), "m1");
    p.take();

    // Past m1 only the read m0 remains: the end is said and the cursor goes back onto m1.
    preview::NextItem(p.f);
    EXPECT_THAT(p.take(), ElementsAre("agent: speak \"This is the last unread message in the inbox.\""));
    EXPECT_EQ(p.current(), "m1");
    preview::PrevItem(p.f);
    EXPECT_TRUE(has(p.take(), "agent: speak \"previous, |previous message\""));
    EXPECT_EQ(p.current(), "m2");

    preview::PrevItem(p.f);
    EXPECT_EQ(p.current(), "m4");
    p.take();
    preview::PrevItem(p.f);
    EXPECT_THAT(p.take(), ElementsAre("agent: speak \"This is the first unread message in the inbox.\""));
    preview::NextItem(p.f);
    EXPECT_EQ(p.current(), "m2");
}

// Retrying a failing step would walk for ever; a failed step is the end of the list.
TEST(PreviewNextPrevious, FailingCursorEndsTheWalk) {
    Preview p{six()};
    started(p);
    p.world.faults.fail("GetNext");
    preview::NextItem(p.f);
    EXPECT_TRUE(has(p.take(), "This is the last unread message in the inbox."));
    EXPECT_EQ(p.current(), "m4");
}

TEST(PreviewNextPrevious, PausedOrNotPreviewingSaysSo) {
    Preview p{six()};
    preview::NextItem(p.f);
    EXPECT_THAT(p.take(), ElementsAre("agent: play \"Suggest\"",
                                      "agent: speak \"We are not Previewing New messages.So, there is no 'next' "
                                      "message to go to.\""));
    preview::PrevItem(p.f);
    EXPECT_THAT(p.take(), ElementsAre("agent: play \"Decline\"", "agent: play \"Surprised\"",
                                      "agent: speak \"We are not Previewing New messages.So, there is no 'previous' "
                                      "message to go to.\""));
    started(p);
    preview::PauseNewMail(p.f);
    p.take();
    preview::NextItem(p.f);
    preview::PrevItem(p.f);
    EXPECT_THAT(p.take(), ElementsAre("agent: play \"Explain\"", "agent: speak \"Previewing New Mail is paused.\"",
                                      "agent: play \"Uncertain\"", "agent: speak \"Previewing New Mail is paused.\""));
    EXPECT_TRUE(p.f.bNeMStarted && !p.f.bNeMActive);
}

TEST(PreviewRemoval, NextAndPreviousStartFromTheFollowerOfARemovedPreviewItem) {
    Preview forward{six()};
    started(forward);
    forward.f.oReadRequest =
        platform::RequestPtr(std::make_shared<inbox_fake::FakeRequest>(99));  // its announcement is being spoken
    forward.remove("m4");
    EXPECT_THAT(forward.take(), ElementsAre("agent: stop"));  // The reading stops; nothing is said.
    forward.f.sCurItemType = "message";
    preview::NextItem(forward.f);
    EXPECT_EQ(forward.current(), "m2");

    Preview backward{six()};
    started(backward);
    preview::NextItem(backward.f);  // on m2
    backward.remove("m2");
    preview::PrevItem(backward.f);
    EXPECT_EQ(backward.current(), "m4");
}

TEST(PreviewRemoval, RemovedLastUnreadItemEndsTheWalk) {
    // m1 with only read mail after it, and m1 as the very last item.
    for (const bool read_after : {true, false}) {
        auto mails = six();
        if (!read_after) mails.erase(mails.begin());
        Preview p{mails};
        started(p);
        preview::NextItem(p.f);
        preview::NextItem(p.f);
        ASSERT_EQ(p.current(), "m1");
        p.remove("m1");
        p.take();
        preview::NextItem(p.f);
        EXPECT_THAT(p.take(), ElementsAre(::testing::HasSubstr("That was the last unread message in the inbox.")))
            << "read_after=" << read_after;
    }
}

TEST(PreviewRemoval, RemovingOtherItemsKeepsThePreviewItem) {
    Preview p{six()};
    started(p);
    preview::NextItem(p.f);  // on m2
    p.remove("m3");          // before the cursor: the items after it shift under the cursor
    p.remove("m0");          // after it
    EXPECT_FALSE(p.f.bNeMItemGone);
    preview::NextItem(p.f);
    EXPECT_EQ(p.current(), "m1");
}

TEST(PreviewRemoval, RemovedFirstItemIsFoundGoneFromTheStartOfTheList) {
    Preview p{{{"a", 1, true}, {"b", 2, true}}};
    p.f.bNeMSortDescend = false;
    started(p);
    p.remove("a");
    EXPECT_TRUE(p.f.bNeMItemGone);
    preview::NextItem(p.f);
    EXPECT_EQ(p.current(), "b");
}

TEST(PreviewRemoval, WindowsOfTheRemovedItemCloseWithoutSaving) {
    Preview p{six()};
    started(p);
    p.f.oReadInspector = std::make_shared<inbox_fake::FakeInspector>(p.world, "m4");
    p.f.oCurNeMInspector = std::make_shared<inbox_fake::FakeInspector>(p.world, "m4");
    p.f.bReadInspOpen = p.f.bNeMInspOpen = true;
    p.remove("m4");
    EXPECT_TRUE(has_in_order(p.take(), {"outlook: Close m4 1", "outlook: Close m4 1"}));
    EXPECT_FALSE(p.f.bReadInspOpen || p.f.bNeMInspOpen);
}

TEST(PreviewRemoval, ContinueAfterARemovalMovesOnAndAnEmptyInboxEndsIt) {
    Preview p{six()};
    started(p);
    p.f.sCurItemType = "message";
    p.remove("m4");
    preview::PauseNewMail(p.f);
    p.take();
    preview::ContinuNewMail(p.f);
    EXPECT_TRUE(has_in_order(
        p.take(), {"agent: speak \"That message is no longer in the inbox.\"",
                   "agent: speak \"Let's continue with the next one.\"", "agent: speak \"next, |next message\""}));
    EXPECT_EQ(p.current(), "m2");

    p.mark_read("m2");
    p.mark_read("m1");
    p.remove("m5");
    p.take();
    preview::NextItem(p.f);
    EXPECT_THAT(p.take(), ElementsAre("agent: speak \"There are no unread messages in the inbox.\""));
    EXPECT_FALSE(p.f.bNeMItemGone);
}

TEST(PreviewRemoval, PausedPreviewIgnoresTheInbox) {
    Preview p{six()};
    started(p);
    preview::PauseNewMail(p.f);
    p.remove("m4");
    EXPECT_FALSE(p.f.bNeMItemGone);
    p.inbox().items.push_back(std::make_shared<inbox_fake::FakeItem>(p.world, "n1", 9, true));
    p.inbox().added.raise(p.inbox().items.back());
    EXPECT_EQ(p.f.lNeMUnread, 3);
    preview::ContinuNewMail(p.f);
    p.inbox().added.raise(p.inbox().items.back());
    EXPECT_EQ(p.f.lNeMUnread, 3);  // m4 gone, n1 new
}

TEST(OptionCommands, IntroductionCommandsSwapSoExactlyOneIsOffered) {
    Preview p{{}};
    commands::TurnOffIntro(p.f);
    EXPECT_THAT(
        p.take(),
        ElementsAre("agent: play \"Write\"", "agent: speak \"I will not play the introduction next time I start.\"",
                    "agent: command \"TurnOffIntro\" Enabled False", "agent: command \"TurnOffIntro\" Visible False",
                    "agent: command \"TurnOnIntro\" Enabled True", "agent: command \"TurnOnIntro\" Visible True",
                    "agent: play \"WriteReturn\""));
    EXPECT_FALSE(p.f.bPlayIntro);
    EXPECT_TRUE(p.offered("TurnOnIntro") && !p.offered("TurnOffIntro"));

    commands::TurnOnIntro(p.f);
    EXPECT_TRUE(has_in_order(p.take(), {"agent: play \"Write\"", "agent: command \"TurnOnIntro\" Enabled False",
                                        "agent: command \"TurnOffIntro\" Visible True",
                                        "agent: speak \"Ok! - Let's play the introduction...\"",
                                        "agent: play \"WriteReturn\"", "agent: play \"Wave\""}));
    EXPECT_TRUE(p.offered("TurnOffIntro") && !p.offered("TurnOnIntro"));
}

// The preference is set before anything is said, so a character that cannot speak still changes it.
TEST(OptionCommands, SortOrderChangesEvenWhenTheCharacterCannotSpeak) {
    Preview p{{}};
    p.world.faults.fail("Speak");
    p.world.faults.fail("Play");
    commands::ChngSortDescent(p.f);
    commands::ChngSortDescent(p.f);
    commands::ChngSortDescent(p.f);
    EXPECT_FALSE(p.f.bNeMSortDescend);
}

TEST(OptionCommands, SortOrderRestartsARunningPreviewAndStopsAPausedOne) {
    Preview p{six()};
    started(p);
    commands::ChngSortDescent(p.f);
    const auto lines = p.take();
    Lines expected{
        "agent: speak \"Previewing new emails will be sorted ascending. I will read starting with the "
        "oldest ones first.\""};
    expected.insert(expected.end(), kStopRow.begin(), kStopRow.end());
    expected.insert(expected.end(), {"outlook: Sort \"Inbox\" \"[ReceivedTime]\" False",
                                     "agent: speak \"I will read starting with the oldest ones first.\""});
    EXPECT_TRUE(has_in_order(lines, expected));
    EXPECT_EQ(p.current(), "m1");

    preview::PauseNewMail(p.f);
    p.take();
    commands::ChngSortDescent(p.f);
    const auto paused = p.take();
    EXPECT_TRUE(
        has(paused, "Previewing new emails will be sorted descending. I will start with the newest ones first."));
    EXPECT_TRUE(has_in_order(paused, kStopRow));
    EXPECT_FALSE(has(paused, "Sort"));
    EXPECT_FALSE(p.f.bNeMStarted);

    commands::ChngSortDescent(p.f);  // No preview: only the confirmation.
    EXPECT_THAT(p.take(), ElementsAre("agent: play \"Write\"",
                                      "agent: speak \"Previewing new emails will be sorted ascending. I will read "
                                      "starting with the oldest ones first.\"",
                                      "agent: play \"WriteReturn\""));
}

}  // namespace
