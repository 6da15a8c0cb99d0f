#include "commands/dispatch.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sim/sim_platform.hpp"
#include "support/started_form.hpp"

// The menu-only commands and a phrase that matches nothing are in the commands_menu scenario.
namespace {

using support::as_event;
using support::mailbox;
using support::started_form;
using support::take;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::Not;
using ::testing::StartsWith;

TEST(Dispatch, UnknownOrEmptyNamePlaysConfusedAndForgetsTheCommand) {
    for (const std::string name : {"", "readthisitem", "NoSuchCommand"}) {
        SCOPED_TRACE(name);
        sim::SimPlatform sim{mailbox()};
        auto s = started_form(sim);
        auto& f = s.form();
        f.sHeardCmd = "ReadThisItem";
        f.sCurItemRef = "item";
        as_event(sim, [&] { commands::Agent1_Command(f, {name, "read this email"}); });
        EXPECT_THAT(take(sim), ElementsAre("agent: play \"Confused\" #56"));
        EXPECT_EQ(f.sHeardCmd, "");
        EXPECT_EQ(f.sCurItemRef, "item");
    }
}

TEST(Dispatch, SetItemRefTakesTheLastWordHeard) {
    sim::SimPlatform sim{mailbox()};
    auto s = started_form(sim);
    auto* f = &s.form();
    const std::vector<std::pair<std::string, std::string>> examples{
        {"Preview new emails", "email"},         {"Preview new mail", "email"}, {"Read this message", "message"},
        {"Open the meeting request", "request"}, {"Delete contact", "contact"}, {"READ THIS ITEMS", "item"},
    };
    for (const auto& [heard, word] : examples) {
        f->sCurItemRef = "unchanged";
        commands::SetItemRef(*f, heard);
        EXPECT_EQ(f->sCurItemRef, word) << heard;
    }
    f->sCurItemRef = "message";
    commands::SetItemRef(*f, "");
    commands::SetItemRef(*f, "Tentative");
    EXPECT_EQ(f->sCurItemRef, "message");
}

// Printing is the one item command said while the character keeps listening.
TEST(Dispatch, PrintTakesTheWordAndLeavesListeningOn) {
    sim::SimPlatform sim{mailbox()};
    auto s = started_form(sim);
    sim.say("print this email");
    EXPECT_THAT(take(sim), Not(Contains("agent: listen False")));
    EXPECT_EQ(s.form().sCurItemRef, "email");
    EXPECT_EQ(s.form().sHeardCmd, "PrtItem");
}

TEST(Dispatch, EveryOtherSpokenCommandEndsListeningFirst) {
    const std::vector<std::string> names{
        "StrtNewAppoint", "StrtNewCont",  "StrtNewJourl",   "StrtNewMail",  "StrtNewNote", "StrtNewTask",
        "PrevNewMail",    "OpenAndRead",  "OpenThisItem",   "ReadThisItem", "ReReadItem",  "PausReadItem",
        "ContReadItem",   "StopReadItem", "ContinuNewMail", "PauseNewMail", "StopNewMail", "CloseItem",
        "CopyItem",       "DeleteItem",   "MoveItem",       "NextItem",     "PrevItem",    "ForwItem",
        "ReplyItem",      "ReplyToAll",   "FlagItem",       "AcceptItem",   "DeclineItem", "TentativeItem",
        "TurnOffIntro",   "TurnOnIntro",  "ChngSortDescent"};
    for (const auto& name : names) {
        SCOPED_TRACE(name);
        sim::SimPlatform sim{mailbox()};
        auto s = started_form(sim);
        as_event(sim, [&] { commands::Agent1_Command(s.form(), {name, ""}); });
        const auto lines = take(sim);
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines.front(), "agent: listen False");
        EXPECT_THAT(lines, Not(Contains(StartsWith("error: "))));
        EXPECT_EQ(s.form().sHeardCmd, name);
    }
}

// Only the commands that name an item learn the word; one chosen from the menu was not heard.
TEST(Dispatch, ItemWordComesFromHeardItemCommandsOnly) {
    sim::SimPlatform sim{mailbox()};
    auto s = started_form(sim);
    auto& f = s.form();
    sim.menu("DeleteItem");
    EXPECT_EQ(f.sCurItemRef, "message");
    as_event(sim, [&] { commands::Agent1_Command(f, {"DeleteItem", "delete this mail"}); });
    EXPECT_EQ(f.sCurItemRef, "email");
    as_event(sim, [&] { commands::Agent1_Command(f, {"CloseItem", "close this contact"}); });
    EXPECT_EQ(f.sCurItemRef, "email");
}

}  // namespace
