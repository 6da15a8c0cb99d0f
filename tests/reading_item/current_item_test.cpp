#include "reading/current_item.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "reading_item/item_fake.hpp"

namespace {

using character::frmAgentCtrl;
using item_fake::Started;
using platform::WithEvents;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

using Field = WithEvents<platform::Item> frmAgentCtrl::*;

constexpr Field kTypedFields[] = {
    &frmAgentCtrl::oCurAppointItem, &frmAgentCtrl::oCurContItem,    &frmAgentCtrl::oCurDocuItem,
    &frmAgentCtrl::oCurEmailItem,   &frmAgentCtrl::oCurJourlItem,   &frmAgentCtrl::oCurMeetReqItem,
    &frmAgentCtrl::oCurPostItem,    &frmAgentCtrl::oCurTaskItem,    &frmAgentCtrl::oCurTaskReqItem,
    &frmAgentCtrl::oCurTaskAccItem, &frmAgentCtrl::oCurTaskDecItem, &frmAgentCtrl::oCurTaskUpdItem,
    &frmAgentCtrl::oCurRemoteItem,  &frmAgentCtrl::oCurRptItem,
};

// The lines that hide all three answers, as every preparation starts.
const std::vector<std::string> kHideAnswers = {
    "agent: command \"AcceptItem\" Enabled False",    "agent: command \"AcceptItem\" Visible False",
    "agent: command \"DeclineItem\" Enabled False",   "agent: command \"DeclineItem\" Visible False",
    "agent: command \"TentativeItem\" Enabled False", "agent: command \"TentativeItem\" Visible False",
};

std::vector<std::string> hide_then(std::vector<std::string> shown) {
    auto lines = kHideAnswers;
    lines.insert(lines.end(), shown.begin(), shown.end());
    return lines;
}

// Each class gets its noun and exactly one reference to it; everything else is emptied, even after an item of
// another class held a reference.
TEST(CurrentItem, EachClassGetsItsNounAndOnlyItsOwnReference) {
    struct Case {
        std::int32_t item_class;
        std::string noun;
        Field field;  // nullptr: none with events
    };
    const Case cases[] = {
        {26, "appointment", &frmAgentCtrl::oCurAppointItem},
        {40, "contact", &frmAgentCtrl::oCurContItem},
        {41, "office document", &frmAgentCtrl::oCurDocuItem},
        {42, "journal", &frmAgentCtrl::oCurJourlItem},
        {43, "message", &frmAgentCtrl::oCurEmailItem},
        {44, "note", nullptr},
        {45, "post", &frmAgentCtrl::oCurPostItem},
        {46, "report message", &frmAgentCtrl::oCurRptItem},
        {47, "remote message", &frmAgentCtrl::oCurRemoteItem},
        {48, "task", &frmAgentCtrl::oCurTaskItem},
        {49, "task request", &frmAgentCtrl::oCurTaskReqItem},
        {50, "task request update", &frmAgentCtrl::oCurTaskUpdItem},
        {51, "task request accept", &frmAgentCtrl::oCurTaskAccItem},
        {52, "task request decline", &frmAgentCtrl::oCurTaskDecItem},
        {53, "meeting request", &frmAgentCtrl::oCurMeetReqItem},
        {54, "meeting cancellation", &frmAgentCtrl::oCurMeetReqItem},
        {55, "meeting negative response", &frmAgentCtrl::oCurMeetReqItem},
        {56, "meeting positive response", &frmAgentCtrl::oCurMeetReqItem},
        {57, "meeting tentative response", &frmAgentCtrl::oCurMeetReqItem},
        {69, "unknown item", nullptr},  // a distribution list
    };
    Started s;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.noun);
        // Every reference full beforehand, so that leaving one bound would show.
        s.prepare(s.host.item("before", 43));
        for (auto field : kTypedFields) s.f.*field = s.f.oCurReadItem;
        s.f.oCurNoteItem = s.f.oCurReadItem;

        auto item = s.host.item("x", c.item_class);
        s.prepare(item);
        EXPECT_EQ(s.f.sCurItemType, c.noun);
        for (auto field : kTypedFields) EXPECT_EQ((s.f.*field).get(), field == c.field ? item.get() : nullptr);
        EXPECT_EQ(s.f.oCurNoteItem.get(), c.item_class == 44 ? item.get() : nullptr);
    }

    // A class that cannot be read is an unknown item too.
    s.prepare(s.host.item("x", 43)->fail("Class"));
    EXPECT_EQ(s.f.sCurItemType, "unknown item");
    EXPECT_EQ(s.f.oCurEmailItem.get(), nullptr);
}

TEST(CurrentItem, AnswersAreOfferedOnlyWhileARequestIsCurrent) {
    Started s;
    s.prepare(s.host.item("m5", 53));
    EXPECT_THAT(
        s.host.take(),
        ElementsAre(kHideAnswers[0], kHideAnswers[1], kHideAnswers[2], kHideAnswers[3], kHideAnswers[4],
                    kHideAnswers[5], "agent: command \"AcceptItem\" Enabled True",
                    "agent: command \"AcceptItem\" Visible True", "agent: command \"DeclineItem\" Enabled True",
                    "agent: command \"DeclineItem\" Visible True", "agent: command \"TentativeItem\" Enabled True",
                    "agent: command \"TentativeItem\" Visible True"));

    // A cancellation shares the meeting reference but cannot be answered.
    auto cancellation = s.host.item("m6", 54);
    s.prepare(cancellation);
    EXPECT_EQ(s.host.take(), kHideAnswers);
    EXPECT_EQ(s.f.oCurMeetReqItem.get(), cancellation.get());

    // A task request has no tentative answer.
    s.prepare(s.host.item("t3", 49));
    EXPECT_EQ(
        s.host.take(),
        hide_then({"agent: command \"AcceptItem\" Enabled True", "agent: command \"AcceptItem\" Visible True",
                   "agent: command \"DeclineItem\" Enabled True", "agent: command \"DeclineItem\" Visible True"}));

    s.prepare(s.host.item("m1", 43));
    EXPECT_EQ(s.host.take(), kHideAnswers);

    // No current item: everything is emptied and the answers hidden all the same.
    s.prepare(nullptr);
    EXPECT_EQ(s.host.take(), kHideAnswers);
    EXPECT_EQ(s.f.sCurItemType, "");
    EXPECT_EQ(s.f.oCurEmailItem.get(), nullptr);
}

// One switch that fails is skipped; the others are still set.
TEST(CurrentItem, AFailingSwitchLeavesTheOthersToBeSet) {
    Started s;
    s.host.world.faults.fail("Commands.Enabled", 1);
    s.prepare(s.host.item("t3", 49));
    EXPECT_EQ(
        s.host.take(),
        (std::vector<std::string>{
            "fault: Commands.Enabled", kHideAnswers[1], kHideAnswers[2], kHideAnswers[3], kHideAnswers[4],
            kHideAnswers[5], "agent: command \"AcceptItem\" Enabled True", "agent: command \"AcceptItem\" Visible True",
            "agent: command \"DeclineItem\" Enabled True", "agent: command \"DeclineItem\" Visible True"}));
    EXPECT_EQ(s.f.sCurItemType, "task request");
}

// Closing an item that is no longer current must not stop the reading of the one that is.
TEST(CurrentItem, OnlyTheCurrentItemsCloseStopsTheReading) {
    Started s;
    auto document = s.host.item("d1", 41);
    auto mail = s.host.item("m1", 43);
    auto note = s.host.item("n1", 44);
    s.prepare(document);
    s.prepare(mail);
    s.host.take();
    s.f.oReadRequest = std::shared_ptr<platform::Request>(std::make_shared<item_fake::FakeRequest>(7));

    document->user_close();
    EXPECT_EQ(s.f.iReadMode, 4);
    EXPECT_THAT(s.host.take(), IsEmpty());

    mail->user_close();
    EXPECT_EQ(s.f.iReadMode, 0);
    EXPECT_THAT(s.host.take(), ElementsAre("agent: stop #7"));

    // A note raises no events, and no earlier item is left bound behind it.
    s.f.iReadMode = 4;
    s.prepare(note);
    mail->user_close();
    EXPECT_EQ(s.f.iReadMode, 4);
    EXPECT_TRUE(document->closed.empty());
    EXPECT_TRUE(mail->closed.empty());
    EXPECT_TRUE(mail->sent.empty());
}

TEST(CurrentItem, WithoutTheCharacterTheClassificationIsKeptButTheReadingStateIsEmptied) {
    Started s;
    auto mail = s.host.item("m1", 43);
    s.prepare(mail);
    s.host.take();
    s.f.bAgentLoaded = false;
    s.f.sReadText = "Old text. ";
    s.f.lReadPos = 7;
    s.f.lReadDone = 2;
    s.f.lReadPieces = 2;

    s.f.oCurReadItem = std::shared_ptr<platform::Item>(s.host.item("m2", 53));
    EXPECT_TRUE(reading::PrepReadItem(s.f));
    EXPECT_EQ(s.f.sCurItemType, "message");
    EXPECT_EQ(s.f.oCurEmailItem.get(), mail.get());
    EXPECT_EQ(s.f.oCurMeetReqItem.get(), nullptr);
    EXPECT_THAT(s.host.take(), IsEmpty());
    EXPECT_EQ(s.f.sReadText, "");
    EXPECT_EQ(s.f.lReadPos, 1);
    EXPECT_EQ(s.f.lReadDone, 0);
    EXPECT_EQ(s.f.lReadPieces, 0);
}

}  // namespace
