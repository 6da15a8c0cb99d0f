#include "commands/dispatch.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "reading_speech/character_fake.hpp"

namespace {

using fake::FakeHost;
using fake::loaded_form;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::Not;

TEST(Dispatch, UnknownOrEmptyNamePlaysConfusedAndForgetsTheCommand) {
    for (const std::string name : {"", "readthisitem", "NoSuchCommand"}) {
        SCOPED_TRACE(name);
        FakeHost host;
        auto f = loaded_form(host);
        f->sHeardCmd = "ReadThisItem";
        f->sCurItemRef = "item";
        host.deliver([&] { commands::Agent1_Command(*f, {name, "read this email"}); });
        EXPECT_THAT(host.take(), ElementsAre("agent: play \"Confused\" #1"));
        EXPECT_EQ(f->sHeardCmd, "");
        EXPECT_EQ(f->sCurItemRef, "item");
    }
}

TEST(Dispatch, MenuOnlyCommandsOpenTheirWindowsAndKeepListening) {
    FakeHost host;
    auto f = loaded_form(host);
    host.menu("OLPanel");
    host.menu("AdvCharOptions");
    host.menu("CharProperty");
    EXPECT_THAT(host.take(), ElementsAre("panel: show", "agent: property sheet", "agent: character properties"));
    EXPECT_EQ(f->sHeardCmd, "CharProperty");
}

TEST(Dispatch, SetItemRefTakesTheLastWordHeard) {
    FakeHost host;
    auto f = loaded_form(host);
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
    FakeHost host;
    auto f = loaded_form(host);
    host.say("PrtItem", "print this emails");
    EXPECT_THAT(host.take(), Not(Contains("agent: listen False")));
    EXPECT_EQ(f->sCurItemRef, "email");
    EXPECT_EQ(f->sHeardCmd, "PrtItem");
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
        FakeHost host;
        auto f = loaded_form(host);
        host.deliver([&] { commands::Agent1_Command(*f, {name, ""}); });
        const auto lines = host.take();
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines.front(), "agent: listen False");
        EXPECT_EQ(f->sHeardCmd, name);
    }
}

// Only the commands that name an item learn the word; one chosen from the menu was not heard.
TEST(Dispatch, ItemWordComesFromHeardItemCommandsOnly) {
    FakeHost host;
    auto f = loaded_form(host);
    host.deliver([&] { commands::Agent1_Command(*f, {"DeleteItem", ""}); });
    EXPECT_EQ(f->sCurItemRef, "message");
    host.deliver([&] { commands::Agent1_Command(*f, {"DeleteItem", "delete this mail"}); });
    EXPECT_EQ(f->sCurItemRef, "email");
    host.deliver([&] { commands::Agent1_Command(*f, {"CloseItem", "close this contact"}); });
    EXPECT_EQ(f->sCurItemRef, "email");
}

}  // namespace
