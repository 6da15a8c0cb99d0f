#include "reading/current_item.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "support/items.hpp"
#include "support/lines.hpp"
#include "support/reader.hpp"

namespace {

using character::frmAgentCtrl;
using nlohmann::json;
using platform::WithEvents;
using support::Reader;
using support::take_acts;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

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

json item(const std::string& id, std::int32_t item_class) { return {{"EntryID", id}, {"Class", item_class}}; }

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
    Reader r{item("before", 43), json{{"EntryID", "broken"}, {"Class", 43}, {"fail", {"Class"}}},
             item("x26", 26),    item("x40", 40),
             item("x41", 41),    item("x42", 42),
             item("x43", 43),    item("x44", 44),
             item("x45", 45),    item("x46", 46),
             item("x47", 47),    item("x48", 48),
             item("x49", 49),    item("x50", 50),
             item("x51", 51),    item("x52", 52),
             item("x53", 53),    item("x54", 54),
             item("x55", 55),    item("x56", 56),
             item("x57", 57),    item("x69", 69)};
    auto& f = r.f;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.noun);
        // Every reference full beforehand, so that leaving one bound would show.
        r.prepare("before");
        for (auto field : kTypedFields) f.*field = f.oCurReadItem.ptr();
        f.oCurNoteItem = f.oCurReadItem.ptr();

        r.prepare("x" + std::to_string(c.item_class));
        const auto* current = f.oCurReadItem.get();
        EXPECT_EQ(f.sCurItemType, c.noun);
        for (auto field : kTypedFields) EXPECT_EQ((f.*field).get(), field == c.field ? current : nullptr);
        EXPECT_EQ(f.oCurNoteItem.get(), c.item_class == 44 ? current : nullptr);
    }

    // A class that cannot be read is an unknown item too.
    r.prepare("broken");
    EXPECT_EQ(f.sCurItemType, "unknown item");
    EXPECT_EQ(f.oCurEmailItem.get(), nullptr);
}

TEST(CurrentItem, AnswersAreOfferedOnlyWhileARequestIsCurrent) {
    Reader r{item("m5", 53), item("m6", 54), item("t3", 49), item("m1", 43)};
    take_acts(r.sim);
    r.prepare("m5");
    EXPECT_EQ(
        take_acts(r.sim),
        hide_then({"agent: command \"AcceptItem\" Enabled True", "agent: command \"AcceptItem\" Visible True",
                   "agent: command \"DeclineItem\" Enabled True", "agent: command \"DeclineItem\" Visible True",
                   "agent: command \"TentativeItem\" Enabled True", "agent: command \"TentativeItem\" Visible True"}));

    // A cancellation shares the meeting reference but cannot be answered.
    r.prepare("m6");
    EXPECT_EQ(take_acts(r.sim), kHideAnswers);
    EXPECT_EQ(support::id_of(r.f.oCurMeetReqItem.ptr()), "m6");

    // A task request has no tentative answer.
    r.prepare("t3");
    EXPECT_EQ(
        take_acts(r.sim),
        hide_then({"agent: command \"AcceptItem\" Enabled True", "agent: command \"AcceptItem\" Visible True",
                   "agent: command \"DeclineItem\" Enabled True", "agent: command \"DeclineItem\" Visible True"}));

    r.prepare("m1");
    EXPECT_EQ(take_acts(r.sim), kHideAnswers);

    // No current item: everything is emptied and the answers hidden all the same.
    r.f.oCurReadItem = nullptr;
    r.run([](frmAgentCtrl& f) { reading::PrepReadItem(f); });
    EXPECT_EQ(take_acts(r.sim), kHideAnswers);
    EXPECT_EQ(r.f.sCurItemType, "");
    EXPECT_EQ(r.f.oCurEmailItem.get(), nullptr);
}

// One switch that fails is skipped; the others are still set.
TEST(CurrentItem, AFailingSwitchLeavesTheOthersToBeSet) {
    Reader r{item("t3", 49)};
    take_acts(r.sim);
    r.sim.fault("Enabled", 1);
    r.prepare("t3");
    EXPECT_EQ(take_acts(r.sim),
              (std::vector<std::string>{
                  "fault: Enabled", kHideAnswers[1], kHideAnswers[2], kHideAnswers[3], kHideAnswers[4], kHideAnswers[5],
                  "agent: command \"AcceptItem\" Enabled True", "agent: command \"AcceptItem\" Visible True",
                  "agent: command \"DeclineItem\" Enabled True", "agent: command \"DeclineItem\" Visible True"}));
    EXPECT_EQ(r.f.sCurItemType, "task request");
}

// Closing an item that is no longer current must not stop the reading of the one that is.
TEST(CurrentItem, OnlyTheCurrentItemsCloseStopsTheReading) {
    Reader r{item("d1", 41), item("m1", 43), item("n1", 44)};
    auto& f = r.f;
    r.sim.open("d1");
    r.sim.open("m1");
    r.prepare("d1");
    r.prepare("m1");
    const auto request = support::queued_request(r.sim, f);
    f.oReadRequest = request;
    take_acts(r.sim);

    r.sim.close("d1");
    EXPECT_EQ(f.iReadMode, 4);
    EXPECT_THAT(support::take(r.sim), IsEmpty());

    r.sim.close("m1");
    EXPECT_EQ(f.iReadMode, 0);
    const auto id = std::to_string(request->id());
    EXPECT_THAT(support::take(r.sim), ElementsAre("agent: stop #" + id, "agent: done #" + id + " 3"));

    // A note raises no events, and no earlier item is left bound behind it.
    f.iReadMode = 4;
    r.prepare("n1");
    for (const auto* earlier : {"d1", "m1"}) {
        r.sim.open(earlier);
        r.sim.close(earlier);
    }
    r.sim.send("m1");
    EXPECT_EQ(f.iReadMode, 4);
    EXPECT_THAT(take_acts(r.sim), Not(Contains(HasSubstr("Outbox"))));
}

TEST(CurrentItem, WithoutTheCharacterTheClassificationIsKeptButTheReadingStateIsEmptied) {
    Reader r{item("m1", 43), item("m2", 53)};
    auto& f = r.f;
    r.prepare("m1");
    const auto* mail = f.oCurReadItem.get();
    take_acts(r.sim);
    f.bAgentLoaded = false;
    f.sReadText = "Old text. ";
    f.lReadPos = 7;
    f.lReadDone = 2;
    f.lReadPieces = 2;

    f.oCurReadItem = support::item(r.sim, "m2");
    bool prepared = false;
    r.run([&](frmAgentCtrl& form) { prepared = reading::PrepReadItem(form); });
    EXPECT_TRUE(prepared);
    EXPECT_EQ(f.sCurItemType, "message");
    EXPECT_EQ(f.oCurEmailItem.get(), mail);
    EXPECT_EQ(f.oCurMeetReqItem.get(), nullptr);
    EXPECT_THAT(take_acts(r.sim), IsEmpty());
    EXPECT_EQ(f.sReadText, "");
    EXPECT_EQ(f.lReadPos, 1);
    EXPECT_EQ(f.lReadDone, 0);
    EXPECT_EQ(f.lReadPieces, 0);
}

}  // namespace
