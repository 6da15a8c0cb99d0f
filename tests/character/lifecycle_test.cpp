#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "addin/connect.hpp"
#include "character/fake_host.hpp"
#include "character/introduction.hpp"
#include "character/settings.hpp"
#include "character/startup.hpp"
#include "character/state.hpp"

namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsSupersetOf;
using ::testing::Not;
using ::testing::StartsWith;

struct Connected {
    fake::FakeHost host;
    addin::Connect connect{host};
    character::frmAgentCtrl& form;
    fake::FakeButton& button;
    fake::FakeButton& menu;

    explicit Connected()
        : form((connect.OnConnection(host.app, 0), *connect.form())),
          button(*host.app->explorer->advanced.buttons.at(0)),
          menu(*host.app->explorer->tools.buttons.at(0)) {
        host.take();
    }
    std::vector<std::string> click() {
        button.click.raise();
        return host.take();
    }
};

std::vector<std::string> lines_from(const std::vector<std::string>& lines, std::string_view first) {
    auto it = std::find_if(lines.begin(), lines.end(), [&](const std::string& l) { return l.starts_with(first); });
    return {it, lines.end()};
}

TEST(Startup, FirstClickLoadsShowsAndPressesBothControls) {
    Connected c;
    const auto lines = c.click();
    EXPECT_THAT(std::vector(lines.begin(), lines.begin() + 7),
                ElementsAre("office: menu State 0", "office: button State 0", "agent: connected True",
                            "agent: load \"CharacterID\"", "agent: left 50", "agent: top 50", "agent: show #1"));
    EXPECT_THAT(std::vector(lines.end() - 2, lines.end()),
                ElementsAre("office: button State -1", "office: menu State -1"));
    EXPECT_TRUE(c.form.bAgentLoaded);
    EXPECT_EQ(c.form.sGreetLine, "Hello, Ada Lovelace|Welcome back Ada Lovelace|Good to see you again");
}

TEST(Startup, MissingAgentShowsTheLoadMessageAndTheNextClickTriesAgain) {
    Connected c;
    c.host.world.faults.fail("Characters.Load", 1);
    EXPECT_THAT(c.click(), ElementsAre("office: menu State 0", "office: button State 0", "agent: connected True",
                                       "fault: Characters.Load",
                                       "msgbox: \"Outlook Dezaror Agent\" \"I had a problem loading the Microsoft "
                                       "Agent.\\r\\n429 ActiveX component can't create object\""));
    EXPECT_FALSE(c.form.bAgentLoaded);
    EXPECT_FALSE(c.form.oApp);
    EXPECT_FALSE(c.form.oCurExplorer);
    EXPECT_THAT(c.click(), Contains("agent: load \"CharacterID\""));
    EXPECT_TRUE(c.form.bAgentLoaded);
    EXPECT_EQ(c.button.state_, -1);
}

// A failure after the character was loaded must not leave it loaded: it could never be loaded again.
TEST(Startup, FailureAfterLoadUnloadsSoTheNextClickStartsCleanly) {
    Connected c;
    c.host.world.faults.fail("Left", 1);
    EXPECT_THAT(lines_from(c.click(), "fault:"),
                ElementsAre("fault: Left",
                            "msgbox: \"Outlook Dezaror Agent\" \"I had a problem loading the Microsoft "
                            "Agent.\\r\\n440 Automation error\"",
                            "agent: unload \"CharacterID\"", "agent: connected False"));
    EXPECT_FALSE(c.form.oAgentChar);
    const auto again = c.click();
    EXPECT_THAT(again, Contains("agent: show #1"));
    EXPECT_THAT(again, Not(Contains(StartsWith("msgbox:"))));
    EXPECT_TRUE(c.form.bAgentLoaded);
}

TEST(Startup, OtherStartupFailureReleasesTheObjectsAndLeavesBothControlsUp) {
    Connected c;
    c.host.world.faults.fail("CurrentUser", 1);
    EXPECT_THAT(c.click(), ElementsAre("office: menu State 0", "office: button State 0", "fault: CurrentUser",
                                       "msgbox: \"Outlook Dezaror Agent\" \"There is an error with the Agent "
                                       "Startup\\r\\n440 Automation error\"",
                                       "office: menu State 0", "office: button State 0"));
    EXPECT_FALSE(c.form.oApp);
    EXPECT_FALSE(c.form.oNSFolders);
}

// Unconvertible stored values are taken as absent, and the save puts good ones back.
TEST(Settings, UnconvertibleValuesFallBackToDefaultsAndAreRewritten) {
    Connected c;
    c.host.settings_.values = {
        {"AgentLeft", "abc"}, {"AgentTop", "70000"}, {"PlayIntro", "maybe"}, {"NeMSortDescend", "0"}};
    const auto lines = c.click();
    EXPECT_THAT(lines, IsSupersetOf({"agent: left 50", "agent: top 50"}));
    EXPECT_TRUE(c.form.bPlayIntro);
    EXPECT_FALSE(c.form.bNeMSortDescend);
    character::AgentShutdown(c.form);
    EXPECT_EQ(c.host.settings_.values["AgentLeft"], "50");
    EXPECT_EQ(c.host.settings_.values["PlayIntro"], "True");
    EXPECT_EQ(c.host.settings_.values["NeMSortDescend"], "False");
}

TEST(Settings, ConversionsFollowTheRuntime) {
    struct Case {
        std::string left, intro;
        std::int16_t x;
        bool play;
    };
    for (const auto& [left, intro, x, play] :
         {Case{" 120 ", "false", 120, false}, Case{"12.5", "TRUE", 12, true}, Case{"-32768", "-1", -32768, true},
          Case{"32768", "0", 50, false}, Case{"", "2.5", 50, true}, Case{"1e2", "", 100, true}}) {
        Connected c;
        c.host.settings_.values = {{"AgentLeft", left}, {"PlayIntro", intro}};
        c.click();
        EXPECT_EQ(c.host.agent_.loaded->left(), x) << left;
        EXPECT_EQ(c.form.bPlayIntro, play) << intro;
    }
}

TEST(Shutdown, SecondClickWavesAndHidesAndSavesOnlyAfterTheHide) {
    Connected c;
    c.host.settings_.values = {{"PlayIntro", "False"}};
    c.click();
    c.host.perform_all();  // The greeting, then the "Greet" its completion plays (#3).
    c.host.take();
    EXPECT_THAT(
        c.click(),
        ElementsAre("office: menu State 0", "office: button State 0", "agent: stopall", "agent: play \"Wave\" #4",
                    "agent: speak \"Bye.|See you later.|Until next time.|Good bye.\" #5", "agent: hide #6"));
    ASSERT_TRUE(c.form.oExitRequest);
    EXPECT_EQ(c.form.oExitRequest->id(), 6);
    EXPECT_TRUE(c.form.bAgentLoaded);

    c.form.sCurItemRef = "email";
    character::AgentShutdown(c.form);  // What the completion of the hide does.
    EXPECT_THAT(
        c.host.take(),
        ElementsAre("agent: stopall",
                    "settings: AcknowledgeLine \"Ok!|As you wish.|No problem!|I am here to serve.|Let's roll.\"",
                    "settings: AgentLeft \"50\"", "settings: AgentTop \"50\"", "settings: CurItemRef \"email\"",
                    "settings: ExitLine \"Bye.|See you later.|Until next time.|Good bye.\"",
                    "settings: GreetingLine \"Hello, Ada Lovelace|Welcome back Ada Lovelace|Good to see you "
                    "again\"",
                    "settings: NeMSortDescend \"True\"", "settings: PlayIntro \"False\"",
                    "agent: unload \"CharacterID\"", "agent: connected False"));
    EXPECT_FALSE(c.form.bAgentLoaded);
    for (auto field : {"oApp", "oNS", "oNSFolders", "oCurExplorer", "oExitRequest", "oGreetRequest", "oAgentChar"})
        EXPECT_EQ(character::describe_field(c.form, field), "Nothing") << field;
    EXPECT_TRUE(c.form.oMyCB);  // The controls stay for the next start.
}

TEST(Shutdown, ItemWordIsSavedOnlyWhenItNamesAMailItem) {
    for (const auto& [word, saved] : std::vector<std::pair<std::string, bool>>{
             {"message", true}, {"item", true}, {"", true}, {"contact", false}, {"Email", false}}) {
        Connected c;
        c.click();
        c.form.sCurItemRef = word;
        c.host.take();
        character::SaveAgent(c.form);
        EXPECT_EQ(c.host.settings_.values.contains("CurItemRef"), saved) << word;
    }
}

TEST(Shutdown, NothingIsSavedWhileTheCharacterIsNotLoadedAndFailedWritesAreSkipped) {
    Connected c;
    character::SaveAgent(c.form);
    EXPECT_THAT(c.host.take(), ElementsAre());
    c.click();
    c.host.take();
    c.host.world.faults.fail("SaveSetting", 1);
    character::SaveAgent(c.form);
    EXPECT_EQ(c.host.take().size(), 8u);  // The fault line and the seven writes after it.
}

TEST(Clicks, ClickDuringThePreviewStopsItInsteadOfLeaving) {
    Connected c;
    c.click();
    c.host.take();
    c.button.caption_ = "Paused";
    c.button.click.raise();
    c.menu.caption_ = "A&gent Preview";
    c.menu.click.raise();
    EXPECT_THAT(c.host.take(), ElementsAre());
    EXPECT_TRUE(c.form.bAgentLoaded);
}

TEST(Clicks, TimerReAllowsTheMailAnnouncement) {
    Connected c;
    c.form.bMailSaid = true;
    c.host.tick.raise();
    EXPECT_FALSE(c.form.bMailSaid);
    c.host.tick.raise();
    EXPECT_FALSE(c.form.bMailSaid);
}

TEST(Introduction, GreetingOnlyWhenTheIntroIsOff) {
    Connected c;
    c.host.settings_.values = {{"PlayIntro", "False"}};
    const auto lines = c.click();
    EXPECT_THAT(lines_from(lines, "agent: show"),
                ElementsAre("agent: show #1",
                            "agent: speak \"Hello, Ada Lovelace|Welcome back Ada Lovelace|Good to see you again\" #2",
                            "office: button State -1", "office: menu State -1"));
    EXPECT_EQ(c.form.oGreetRequest->id(), 2);
}

TEST(Introduction, TourReturnsToItsStartAndOnlyItsLastLineIsAwaited) {
    Connected c;
    c.host.settings_.values = {{"AgentLeft", "300"}, {"AgentTop", "400"}};
    const auto lines = lines_from(c.click(), "agent: show");
    // The show, the 48 queued steps of the tour (six plays in one of them), and the two state lines.
    ASSERT_EQ(lines.size(), 1u + 53u + 2u);
    EXPECT_EQ(lines[3], "agent: moveto 50 250 #4");
    EXPECT_EQ(lines[4], "agent: speak \"My name is Merlin.  \" #5");
    EXPECT_EQ(lines[8], "agent: speak \"Just press the Scroll Lock key and say 'Preview New Email'.\" #9");
    EXPECT_EQ(lines[21], "agent: gestureat 300 40 #22");
    EXPECT_EQ(lines[47], "agent: moveto 300 400 #48");
    EXPECT_EQ(lines[53],
              "agent: speak \"To get started; Press the Scroll Lock key or Right-Click on me and select a command.\" "
              "#54");
    EXPECT_EQ(c.form.oGreetRequest->id(), 54);
}

TEST(Introduction, FailingStepsAreLeftOut) {
    Connected c;
    c.host.world.faults.fail("SpeechInput.HotKey");
    c.host.world.faults.fail("Name");
    c.form.oMyCB.reset();  // No toolbar button: nothing to point at.
    character::ToggleAgent(c.form);
    ASSERT_TRUE(c.form.bAgentLoaded);
    EXPECT_EQ(c.host.agent_.loaded->queue.size(), 1u + 53u - 3u);  // No name, no two gestures.
    c.host.take();
    c.form.bPlayIntro = true;
    character::AgentGreetings(c.form);
    const auto lines = c.host.take();
    EXPECT_THAT(lines, Contains("agent: speak \"Just press the  key and say 'Preview New Email'.\" #58"));
    EXPECT_THAT(lines, Not(Contains(StartsWith("agent: gestureat"))));
    EXPECT_THAT(lines, Not(Contains(StartsWith("agent: speak \"My name"))));
}

TEST(State, FieldsAreDescribedByName) {
    Connected c;
    c.click();
    EXPECT_EQ(character::describe_field(c.form, "bAgentLoaded"), "True");
    EXPECT_EQ(character::describe_field(c.form, "iReadMode"), "0");
    EXPECT_EQ(character::describe_field(c.form, "sCurItemRef"), "\"message\"");
    EXPECT_EQ(character::describe_field(c.form, "oCurExplorer"), "explorer");
    EXPECT_EQ(character::describe_field(c.form, "oGreetRequest"), "#54");
    EXPECT_EQ(character::describe_field(c.form, "oCurReadItem"), "Nothing");
    EXPECT_EQ(character::describe_field(c.form, "oMyCB"), "button \"Agent\"");
    EXPECT_EQ(character::describe_field(c.form, "sAnnLine(25)"), "\"\"");
    EXPECT_EQ(character::describe_field(c.form, "sAnnLine(26)"), std::nullopt);
    EXPECT_EQ(character::describe_field(c.form, "oNobody"), std::nullopt);
    c.host.world.faults.fail("Caption", 1);
    EXPECT_EQ(character::describe_field(c.form, "oMyCB"), "?");
}

}  // namespace
