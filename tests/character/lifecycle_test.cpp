#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "addin/connect.hpp"
#include "character/introduction.hpp"
#include "character/settings.hpp"
#include "character/shutdown.hpp"
#include "character/startup/startup.hpp"
#include "character/state.hpp"
#include "sim/agent.hpp"
#include "sim/settings_store.hpp"
#include "sim/sim_platform.hpp"
#include "support/started_form.hpp"

namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsSupersetOf;
using ::testing::Not;
using ::testing::StartsWith;
using support::as_event;
using support::connected;
using support::mailbox;
using support::take;

// A click on the add-in's toolbar button and what it made the platforms do.
std::vector<std::string> click(sim::SimPlatform& sim) {
    sim.click_button();
    return take(sim);
}

// The value the add-in's section of the settings store holds for `key`.
std::optional<std::string> stored(sim::SimPlatform& sim, std::string_view key) {
    for (const auto& [k, v] : sim.settings_file().values()) {
        if (k == key) return v;
    }
    return std::nullopt;
}

std::vector<std::string> lines_from(const std::vector<std::string>& lines, std::string_view first) {
    auto it = std::find_if(lines.begin(), lines.end(), [&](const std::string& l) { return l.starts_with(first); });
    return {it, lines.end()};
}

TEST(Startup, FirstClickLoadsShowsAndPressesBothControls) {
    sim::SimPlatform sim{mailbox()};
    auto c = connected(sim);
    auto& form = c.form();
    const auto lines = click(sim);
    EXPECT_THAT(std::vector(lines.begin(), lines.begin() + 6),
                ElementsAre("office: menu State 0", "office: button State 0", "agent: connected True",
                            "agent: load \"CharacterID\"", "agent: left 50", "agent: top 50"));
    // The command set comes next; the show is the first request.
    const auto shown = lines_from(lines, "agent: show");
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.front(), "agent: show #1");
    EXPECT_THAT(std::vector(lines.begin() + 6, lines.end()), Contains(StartsWith("agent: add ")));
    EXPECT_THAT(std::vector(lines.end() - 2, lines.end()),
                ElementsAre("office: button State -1", "office: menu State -1"));
    EXPECT_TRUE(form.bAgentLoaded);
    EXPECT_EQ(form.sGreetLine, "Hello, Ada Lovelace|Welcome back Ada Lovelace|Good to see you again");
}

TEST(Startup, MissingAgentShowsTheLoadMessageAndTheNextClickTriesAgain) {
    sim::SimPlatform sim{mailbox()};
    auto c = connected(sim);
    auto& form = c.form();
    sim.fault("Characters.Load", 1);
    EXPECT_THAT(click(sim), ElementsAre("office: menu State 0", "office: button State 0", "agent: connected True",
                                       "fault: Characters.Load",
                                       "msgbox: \"Outlook Dezaror Agent\" \"I had a problem loading the Microsoft "
                                       "Agent.\\r\\n429 ActiveX component can't create object\""));
    EXPECT_FALSE(form.bAgentLoaded);
    EXPECT_FALSE(form.oApp);
    EXPECT_FALSE(form.oCurExplorer);
    EXPECT_THAT(click(sim), Contains("agent: load \"CharacterID\""));
    EXPECT_TRUE(form.bAgentLoaded);
    EXPECT_EQ(form.oMyCB->state(), -1);
}

// A failure after the character was loaded must not leave it loaded: it could never be loaded again.
TEST(Startup, FailureAfterLoadUnloadsSoTheNextClickStartsCleanly) {
    sim::SimPlatform sim{mailbox()};
    auto c = connected(sim);
    auto& form = c.form();
    sim.fault("Left", 1);
    EXPECT_THAT(lines_from(click(sim), "fault:"),
                ElementsAre("fault: Left",
                            "msgbox: \"Outlook Dezaror Agent\" \"I had a problem loading the Microsoft "
                            "Agent.\\r\\n440 Automation error\"",
                            "agent: unload \"CharacterID\"", "agent: connected False"));
    EXPECT_FALSE(form.oAgentChar);
    const auto again = click(sim);
    EXPECT_THAT(again, Contains("agent: show #1"));
    EXPECT_THAT(again, Not(Contains(StartsWith("msgbox:"))));
    EXPECT_TRUE(form.bAgentLoaded);
}

TEST(Startup, OtherStartupFailureReleasesTheObjectsAndLeavesBothControlsUp) {
    sim::SimPlatform sim{mailbox()};
    auto c = connected(sim);
    auto& form = c.form();
    sim.fault("CurrentUser", 1);
    EXPECT_THAT(click(sim), ElementsAre("office: menu State 0", "office: button State 0", "fault: CurrentUser",
                                       "msgbox: \"Outlook Dezaror Agent\" \"There is an error with the Agent "
                                       "Startup\\r\\n440 Automation error\"",
                                       "office: menu State 0", "office: button State 0"));
    EXPECT_FALSE(form.oApp);
    EXPECT_FALSE(form.oNSFolders);
}

// Unconvertible stored values are taken as absent, and the save puts good ones back.
TEST(Settings, UnconvertibleValuesFallBackToDefaultsAndAreRewritten) {
    sim::SimPlatform sim{mailbox()};
    auto c = connected(sim);
    auto& form = c.form();
    for (const auto& [key, value] : std::vector<std::pair<std::string, std::string>>{
             {"AgentLeft", "abc"}, {"AgentTop", "70000"}, {"PlayIntro", "maybe"}, {"NeMSortDescend", "0"}}) {
        sim.setting(key, value);
    }
    const auto lines = click(sim);
    EXPECT_THAT(lines, IsSupersetOf({"agent: left 50", "agent: top 50"}));
    EXPECT_TRUE(form.bPlayIntro);
    EXPECT_FALSE(form.bNeMSortDescend);
    as_event(sim, [&] { character::AgentShutdown(form); });
    EXPECT_EQ(stored(sim, "AgentLeft"), "50");
    EXPECT_EQ(stored(sim, "PlayIntro"), "True");
    EXPECT_EQ(stored(sim, "NeMSortDescend"), "False");
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
        sim::SimPlatform sim{mailbox()};
    auto c = connected(sim);
    auto& form = c.form();
        sim.setting("AgentLeft", left);
        sim.setting("PlayIntro", intro);
        click(sim);
        EXPECT_EQ(sim.sim_agent().x(), x) << left;
        EXPECT_EQ(form.bPlayIntro, play) << intro;
    }
}

TEST(Shutdown, SecondClickWavesAndHidesAndSavesOnlyAfterTheHide) {
    sim::SimPlatform sim{mailbox()};
    auto c = connected(sim);
    auto& form = c.form();
    sim.setting("PlayIntro", "False");
    click(sim);
    sim.perform_all();  // The greeting, then the "Greet" its completion plays (#3).
    take(sim);
    EXPECT_THAT(
        click(sim),
        ElementsAre("office: menu State 0", "office: button State 0", "agent: stopall", "agent: play \"Wave\" #4",
                    "agent: speak \"Bye.|See you later.|Until next time.|Good bye.\" #5", "agent: hide #6"));
    ASSERT_TRUE(form.oExitRequest);
    EXPECT_EQ(form.oExitRequest->id(), 6);
    EXPECT_TRUE(form.bAgentLoaded);

    form.sCurItemRef = "email";
    as_event(sim, [&] { character::AgentShutdown(form); });  // What the completion of the hide does.
    EXPECT_THAT(
        take(sim),
        ElementsAre("agent: stopall",
                    "settings: AcknowledgeLine \"Ok!|As you wish.|No problem!|I am here to serve.|Let's roll.\"",
                    "settings: AgentLeft \"50\"", "settings: AgentTop \"50\"", "settings: CurItemRef \"email\"",
                    "settings: ExitLine \"Bye.|See you later.|Until next time.|Good bye.\"",
                    "settings: GreetingLine \"Hello, Ada Lovelace|Welcome back Ada Lovelace|Good to see you "
                    "again\"",
                    "settings: NeMSortDescend \"True\"", "settings: PlayIntro \"False\"",
                    "agent: unload \"CharacterID\"", "agent: connected False"));
    EXPECT_FALSE(form.bAgentLoaded);
    for (auto field : {"oApp", "oNS", "oNSFolders", "oCurExplorer", "oExitRequest", "oGreetRequest", "oAgentChar"})
        EXPECT_EQ(character::describe_field(form, field), "Nothing") << field;
    EXPECT_TRUE(form.oMyCB);  // The controls stay for the next start.
}

TEST(Shutdown, ItemWordIsSavedOnlyWhenItNamesAMailItem) {
    for (const auto& [word, saved] : std::vector<std::pair<std::string, bool>>{
             {"message", true}, {"item", true}, {"", true}, {"contact", false}, {"Email", false}}) {
        sim::SimPlatform sim{mailbox()};
    auto c = connected(sim);
    auto& form = c.form();
        click(sim);
        form.sCurItemRef = word;
        take(sim);
        as_event(sim, [&] { character::SaveAgent(form); });
        EXPECT_EQ(stored(sim, "CurItemRef").has_value(), saved) << word;
    }
}

TEST(Shutdown, NothingIsSavedWhileTheCharacterIsNotLoadedAndFailedWritesAreSkipped) {
    sim::SimPlatform sim{mailbox()};
    auto c = connected(sim);
    auto& form = c.form();
    as_event(sim, [&] { character::SaveAgent(form); });
    EXPECT_THAT(take(sim), ElementsAre());
    click(sim);
    take(sim);
    sim.fault("SaveSetting", 1);
    as_event(sim, [&] { character::SaveAgent(form); });
    EXPECT_EQ(take(sim).size(), 8u);  // The fault line and the seven writes after it.
}

TEST(Clicks, ClickDuringThePreviewStopsItInsteadOfLeaving) {
    sim::SimPlatform sim{mailbox()};
    auto c = connected(sim);
    auto& form = c.form();
    click(sim);
    take(sim);
    form.oMyCB->set_caption("Paused");
    take(sim);
    sim.click_button();
    form.oMyMB->set_caption("A&gent Preview");
    take(sim);
    sim.click_menu();
    EXPECT_THAT(take(sim), ElementsAre());
    EXPECT_TRUE(form.bAgentLoaded);
}

TEST(Clicks, TimerReAllowsTheMailAnnouncement) {
    sim::SimPlatform sim{mailbox()};
    auto c = connected(sim);
    auto& form = c.form();
    form.bMailSaid = true;
    sim.tick();
    EXPECT_FALSE(form.bMailSaid);
    sim.tick();
    EXPECT_FALSE(form.bMailSaid);
}

TEST(Introduction, GreetingOnlyWhenTheIntroIsOff) {
    sim::SimPlatform sim{mailbox()};
    auto c = connected(sim);
    auto& form = c.form();
    sim.setting("PlayIntro", "False");
    const auto lines = click(sim);
    EXPECT_THAT(lines_from(lines, "agent: show"),
                ElementsAre("agent: show #1",
                            "agent: speak \"Hello, Ada Lovelace|Welcome back Ada Lovelace|Good to see you again\" #2",
                            "office: button State -1", "office: menu State -1"));
    EXPECT_EQ(form.oGreetRequest->id(), 2);
}

TEST(Introduction, TourReturnsToItsStartAndOnlyItsLastLineIsAwaited) {
    sim::SimPlatform sim{mailbox()};
    auto c = connected(sim);
    auto& form = c.form();
    sim.setting("AgentLeft", "300");
    sim.setting("AgentTop", "400");
    const auto lines = lines_from(click(sim), "agent: show");
    // The show, the 48 queued steps of the tour (six plays in one of them), and the two state lines.
    ASSERT_EQ(lines.size(), 1u + 53u + 2u);
    EXPECT_EQ(lines[3], "agent: moveto 50 250 #4");
    EXPECT_EQ(lines[4], "agent: speak \"My name is Dezzy.  \" #5");
    EXPECT_EQ(lines[8], "agent: speak \"Just press the Scroll Lock key and say 'Preview New Email'.\" #9");
    // The gestures point at the toolbar button, wherever the mail client placed it.
    EXPECT_EQ(lines[21], "agent: gestureat " + std::to_string(form.oMyCB->left()) + " " +
                             std::to_string(form.oMyCB->top()) + " #22");
    EXPECT_EQ(lines[47], "agent: moveto 300 400 #48");
    EXPECT_EQ(lines[53],
              "agent: speak \"To get started; Press the Scroll Lock key or Right-Click on me and select a command.\" "
              "#54");
    EXPECT_EQ(form.oGreetRequest->id(), 54);
}

TEST(Introduction, FailingStepsAreLeftOut) {
    sim::SimPlatform sim{mailbox()};
    auto c = connected(sim);
    auto& form = c.form();
    sim.fault("SpeechInput.HotKey");
    sim.fault("Name");
    form.oMyCB.reset();  // No toolbar button: nothing to point at.
    as_event(sim, [&] { character::ToggleAgent(form); });
    ASSERT_TRUE(form.bAgentLoaded);
    EXPECT_EQ(sim.sim_agent().queue().size(), 1u + 53u - 3u);  // No name, no two gestures.
    take(sim);
    form.bPlayIntro = true;
    as_event(sim, [&] { character::AgentGreetings(form); });
    const auto lines = take(sim);
    EXPECT_THAT(lines, Contains("agent: speak \"Just press the  key and say 'Preview New Email'.\" #58"));
    EXPECT_THAT(lines, Not(Contains(StartsWith("agent: gestureat"))));
    EXPECT_THAT(lines, Not(Contains(StartsWith("agent: speak \"My name"))));
}

TEST(State, FieldsAreDescribedByName) {
    sim::SimPlatform sim{mailbox()};
    auto c = connected(sim);
    auto& form = c.form();
    click(sim);
    EXPECT_EQ(character::describe_field(form, "bAgentLoaded"), "True");
    EXPECT_EQ(character::describe_field(form, "iReadMode"), "0");
    EXPECT_EQ(character::describe_field(form, "sCurItemRef"), "\"message\"");
    EXPECT_EQ(character::describe_field(form, "oCurExplorer"), "explorer");
    EXPECT_EQ(character::describe_field(form, "oGreetRequest"), "#54");
    EXPECT_EQ(character::describe_field(form, "oCurReadItem"), "Nothing");
    EXPECT_EQ(character::describe_field(form, "oMyCB"), "button \"Agent\"");
    EXPECT_EQ(character::describe_field(form, "sAnnLine(25)"), "\"\"");
    EXPECT_EQ(character::describe_field(form, "sAnnLine(26)"), std::nullopt);
    EXPECT_EQ(character::describe_field(form, "oNobody"), std::nullopt);
    sim.fault("Caption", 1);
    EXPECT_EQ(character::describe_field(form, "oMyCB"), "?");
}

}  // namespace
