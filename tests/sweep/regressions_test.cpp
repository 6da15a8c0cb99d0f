// Faults the sweep and the soak found, each pinned down on its own, and the checks the sweep relies on.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "sim/agent.hpp"
#include "sim/office.hpp"
#include "support/started_form.hpp"
#include "sweep/message_texts.hpp"
#include "sweep/skip_style.hpp"

namespace {

using support::connected;
using support::started_form;

// A start that fails after the character was loaded, while the platform refuses the unload too,
// left the character loaded under its id: every later click failed on the second load.
TEST(SweepRegressions, StartAfterAFailedStartWhoseUnloadFailed) {
    sim::SimPlatform sim{support::mailbox()};
    auto s = connected(sim);
    sim.fault("Characters", 1);         // the character cannot be taken after its load
    sim.fault("Characters.Unload", 1);  // and the failure path cannot unload it
    sim.click_button();
    sim.perform_all();
    ASSERT_FALSE(s.form().bAgentLoaded);
    ASSERT_TRUE(sim.sim_agent().loaded());

    sim.click_button();
    sim.perform_all();
    EXPECT_TRUE(s.form().bAgentLoaded);
    EXPECT_TRUE(sim.sim_agent().shown());
}

// The same after a shutdown whose unload failed: the next click must bring the character back.
TEST(SweepRegressions, StartAfterAShutdownWhoseUnloadFailed) {
    sim::SimPlatform sim{support::mailbox()};
    auto s = started_form(sim);
    sim.fault("Characters.Unload", 1);
    sim.click_button();
    sim.perform_all();
    ASSERT_FALSE(s.form().bAgentLoaded);

    sim.click_button();
    sim.perform_all();
    EXPECT_TRUE(s.form().bAgentLoaded);
    // A start after a clean shutdown unloads nothing first.
    sim.click_button();
    sim.perform_all();
    sim.transcript().clear();
    sim.click_button();
    EXPECT_TRUE(s.form().bAgentLoaded);
    EXPECT_THAT(support::take(sim), testing::Not(testing::Contains(testing::HasSubstr("unload"))));
}

// The soak: the character left while a preview was paused, so the button still read "Paused", and
// an ordinary reading was held. The click that stops the preview then tried to speak the held
// reading with no character and showed "There is an error speaking the document".
TEST(SweepRegressions, StoppingAPreviewAfterShutdownSpeaksNothing) {
    sim::SimPlatform sim{support::mailbox()};
    auto s = started_form(sim);
    sim.click_button();  // the character is leaving, but still hears commands until it hides
    sim.say("preview new mail");
    sim.say("pause previewing");
    sim.perform_all();
    ASSERT_EQ(sim.sim_office().captions("Advanced").back(), "Paused");
    ASSERT_FALSE(s.form().bAgentLoaded);
    ASSERT_TRUE(s.form().bNeMStarted);
    // The shutdown leaves the reading as it was: an ordinary reading, held.
    auto& f = s.form();
    f.iReadMode = 6;
    f.sReadText = "See you at noon.";
    f.lReadPos = 1;
    sim.transcript().clear();

    sim.click_button();
    EXPECT_THAT(support::take(sim), testing::ElementsAre("office: button Caption \"Agent\"",
                                                         "office: button TooltipText \"Open Outlook Dezaror Agent\"",
                                                         "office: menu Caption \"Outlook A&gent\""));
    EXPECT_FALSE(f.bNeMStarted);
}

TEST(SweepMessageTexts, KnowsTheAddInsBoxesAndNothingElse) {
    using sweep::known_message;
    EXPECT_TRUE(
        known_message("Outlook Dezaror Agent", "There is an error with the Agent Startup\r\n440 Automation error"));
    EXPECT_TRUE(known_message("Outlook Dezaror Agent", "I had a problem loading one of your commands"));
    EXPECT_TRUE(known_message("DezarorAgent",
                              "There is an error finding the next sentence\r\nError Location:  2\r\nIdx start:  1\r\n"
                              "Idx len:  0\r\ndoc len:  12\r\n440 Automation error"));
    // The wrong title, a missing line break, a missing error and a text of its own are all unknown.
    EXPECT_FALSE(known_message("DezarorAgent", "There is an error with the Agent Startup\r\n440 Automation error"));
    EXPECT_FALSE(
        known_message("Outlook Dezaror Agent", "There is an error with the Agent Startup 440 Automation error"));
    EXPECT_FALSE(known_message("DezarorAgent", "There is an error speaking the document\r\n"));
    EXPECT_FALSE(known_message("Outlook Dezaror Agent", "Something went wrong"));
}

TEST(SweepSkipStyle, TheStatementsAfterAFailedOneMustFollow) {
    const std::vector<std::string> base = {"GetNamespace", "StopAll", "Play", "Speak", "Hide", "Status"};
    // Play fails: Speak and Hide still come.
    const auto kept = sweep::check_skip_style(base, {"GetNamespace", "StopAll", "Play", "Speak", "Hide"}, 3);
    EXPECT_TRUE(kept.covered);
    EXPECT_FALSE(kept.missing);
    // Play fails and the procedure gives up: reported.
    const auto lost = sweep::check_skip_style(base, {"GetNamespace", "StopAll", "Play", "Status"}, 3);
    EXPECT_TRUE(lost.covered);
    EXPECT_TRUE(lost.missing);
    // A call outside any known procedure is not judged.
    EXPECT_FALSE(sweep::check_skip_style(base, {"GetNamespace"}, 1).covered);
}

}  // namespace
