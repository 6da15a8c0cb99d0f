#include "sim/agent.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/error.hpp"
#include "sim_agent/catalogue_data.hpp"

namespace {

using platform::PlatformError;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

// The character control alone, with its transcript, faults and edge.
struct Rig {
    sim::Transcript transcript;
    sim::Faults faults{transcript};
    sim::Edge edge{transcript};
    sim::SimAgent agent{transcript, faults, edge};
    std::vector<std::string> log;  // the events the add-in would see, in order
    std::vector<platform::Subscription> subscriptions;

    std::shared_ptr<platform::Character> load() {
        agent.set_connected(true);
        agent.characters_load("CharacterID");
        auto character = agent.character("CharacterID");
        transcript.clear();
        return character;
    }
    void add_catalogue(platform::Character& character) {
        auto commands = character.commands();
        for (const auto& row : sim_test::catalogue())
            (void)commands->add(row.name, row.caption, row.voice, row.enabled, row.visible);
        transcript.clear();
    }
    void record_events() {
        subscriptions.push_back(agent.on_request_complete([this](const platform::RequestPtr& r) {
            log.push_back("complete #" + std::to_string(r->id()) + " " + std::to_string(r->status()));
        }));
        subscriptions.push_back(
            agent.on_listen_start([this](const std::string& id) { log.push_back("listen start " + id); }));
        subscriptions.push_back(agent.on_command([this](const platform::UserInput& in) {
            log.push_back("command \"" + in.name + "\" \"" + in.voice + "\"");
        }));
        subscriptions.push_back(agent.on_listen_complete(
            [this](const std::string& id, std::int32_t) { log.push_back("listen complete " + id); }));
    }
    std::vector<std::string> take() { return transcript.take(); }
};

TEST(SimAgent, PerformsRequestsInOrderWithTheirStatuses) {
    Rig rig;
    auto character = rig.load();
    rig.record_events();
    auto shown = character->show();
    auto spoken = character->speak("Hi|Hello");
    character->play("Wave");
    character->move_to(50, 250);
    EXPECT_EQ(spoken->status(), platform::kRequestPending);
    // A request queued by a completion handler is performed by the same `done`.
    rig.subscriptions.push_back(rig.agent.on_request_complete([&](const platform::RequestPtr& r) {
        if (r->id() == 3) character->speak("More.");
    }));

    rig.agent.perform(1);
    EXPECT_TRUE(rig.agent.shown());
    rig.agent.fail_next();
    rig.agent.perform(1);
    rig.agent.perform_all();

    EXPECT_EQ(spoken->status(), platform::kRequestFailed);
    EXPECT_EQ(shown->status(), platform::kRequestComplete);
    EXPECT_EQ(rig.agent.x(), 50);
    EXPECT_EQ(rig.agent.y(), 250);
    EXPECT_THAT(rig.agent.spoken(), ElementsAre("More."));  // the failed speech was never heard
    EXPECT_THAT(rig.take(),
                ElementsAre("agent: show #1", "agent: speak \"Hi|Hello\" #2", "agent: play \"Wave\" #3",
                            "agent: moveto 50 250 #4", "agent: done #1 0", "agent: done #2 1", "agent: done #3 0",
                            "agent: speak \"More.\" #5", "agent: done #4 0", "agent: done #5 0"));
    EXPECT_THAT(rig.log,
                ElementsAre("complete #1 0", "complete #2 1", "complete #3 0", "complete #4 0", "complete #5 0"));
    EXPECT_TRUE(rig.agent.queue().empty());
}

TEST(SimAgent, StoppedRequestsCompleteAfterTheHandlerReturnsInTheOrderRemoved) {
    Rig rig;
    auto character = rig.load();
    (void)character->commands()->add("Go", std::string("Go"), std::nullopt, std::nullopt, std::nullopt);
    rig.record_events();
    auto r1 = character->speak("One. ");
    auto r2 = character->speak("Two. ");
    auto r3 = character->play("Three");
    character->hide();
    rig.subscriptions.push_back(rig.agent.on_command([&](const platform::UserInput&) {
        character->stop(r3);
        character->stop_all();
        rig.log.push_back("handler returns");
    }));
    // A completion handler that stops another request: it completes in the same round.
    rig.subscriptions.push_back(rig.agent.on_request_complete([&](const platform::RequestPtr& r) {
        if (r->id() == 3) character->stop(character->speak("Five. "));
    }));
    rig.take();

    rig.agent.menu("Go");

    EXPECT_THAT(rig.log, ElementsAre("command \"Go\" \"\"", "handler returns", "complete #3 3", "complete #1 3",
                                     "complete #2 3", "complete #4 3", "complete #5 3"));
    EXPECT_THAT(rig.take(), ElementsAre("agent: stop #3", "agent: stopall", "agent: done #3 3",
                                        "agent: speak \"Five. \" #5", "agent: stop #5", "agent: done #1 3",
                                        "agent: done #2 3", "agent: done #4 3", "agent: done #5 3"));

    // Stopping what is no longer queued, stopped or performed, completes nothing a second time.
    rig.log.clear();
    auto r6 = character->speak("Six. ");
    rig.agent.perform(1);
    character->stop(r6);
    character->stop(r1);
    rig.agent.deliver_stopped();
    rig.agent.perform_all();
    EXPECT_THAT(rig.log, ElementsAre("complete #6 0"));
    EXPECT_EQ(r1->status(), platform::kRequestInterrupted);
}

TEST(SimAgent, SayingInterruptsTheSpeechThenReportsTheCommandHeard) {
    Rig rig;
    auto character = rig.load();
    rig.add_catalogue(*character);
    rig.record_events();
    rig.subscriptions.push_back(
        rig.agent.on_listen_start([&](const std::string&) { character->play("StartListening"); }));
    character->speak("A sentence. ");
    character->speak("Another. ");
    rig.take();

    rig.agent.say("Read  this EMAIL");

    EXPECT_THAT(rig.log, ElementsAre("listen start CharacterID", "complete #1 3",
                                     "command \"ReadThisItem\" \"Read  this EMAIL\"", "listen complete CharacterID"));
    EXPECT_THAT(rig.take(), ElementsAre("agent: play \"StartListening\" #3", "agent: done #1 3"));
    ASSERT_EQ(rig.agent.queue().size(), 2u);
    EXPECT_EQ(rig.agent.queue()[0].text, "Another. ");

    // With an animation at the head nothing is cut off; words matching nothing report "".
    rig.agent.perform_all();
    character->play("Wave");
    character->speak("Still here. ");
    rig.log.clear();
    rig.agent.say("mumble mumble");
    EXPECT_THAT(rig.log, ElementsAre("listen start CharacterID", "command \"\" \"mumble mumble\"",
                                     "listen complete CharacterID"));
    EXPECT_EQ(rig.agent.queue().size(), 3u);  // with the second StartListening
}

TEST(SimAgent, TheCommandHeardIsTheEnabledOneTakingFewestWords) {
    Rig rig;
    auto character = rig.load();
    rig.add_catalogue(*character);
    auto& agent = rig.agent;
    EXPECT_EQ(agent.command_heard("read this email"), "ReadThisItem");
    EXPECT_EQ(agent.command_heard("Open the meeting request"), "OpenThisItem");
    EXPECT_EQ(agent.command_heard("open and read this message"), "OpenAndRead");
    EXPECT_EQ(agent.command_heard("Preview new messages"), "PrevNewMail");
    EXPECT_EQ(agent.command_heard("Turn off the introduction"), "TurnOffIntro");
    EXPECT_EQ(agent.command_heard("Change order"), "ChngSortDescent");
    EXPECT_EQ(agent.command_heard("Next"), "NextItem");
    EXPECT_EQ(agent.command_heard("start new journal entry"), "StrtNewJourl");
    // Menu-only commands answer to no phrase; disabled ones are not heard until enabled.
    EXPECT_EQ(agent.command_heard("outlook rivuvuz panel"), "");
    EXPECT_EQ(agent.command_heard("character properties"), "");
    EXPECT_EQ(agent.command_heard("pause previewing"), "");
    EXPECT_EQ(agent.command_heard("play the intro"), "");
    character->commands()->item("PauseNewMail")->set_enabled(true);
    EXPECT_EQ(agent.command_heard("pause previewing"), "PauseNewMail");
    // Among commands that take as few words, the first added wins.
    (void)character->commands()->add("Second", std::nullopt, std::string("Next"), std::nullopt, std::nullopt);
    EXPECT_EQ(agent.command_heard("next"), "NextItem");
}

TEST(SimAgent, MenuListsVisibleCommandsAndRefusesOnesNotInIt) {
    Rig rig;
    auto character = rig.load();
    rig.add_catalogue(*character);
    rig.record_events();
    const auto lines = rig.agent.menu_lines();
    ASSERT_GE(lines.size(), 7u);
    EXPECT_THAT(std::vector<std::string>(lines.begin(), lines.begin() + 7),
                ElementsAre("menu: Outlook Rivuvuz &Panel", "menu: &Advanced Character Options",
                            "menu: &Character Properties", "menu: Preview new messages",
                            "menu: Stop previewing (greyed)", "menu: Previous message", "menu: Next message"));
    EXPECT_EQ(lines.back(), "menu: Turn off intro");
    for (const auto& hidden : {"Pause previewing", "Accept request", "mark Tentative", "Play intro"})
        EXPECT_THAT(lines, ::testing::Not(::testing::Contains(std::string("menu: ") + hidden)));

    EXPECT_THROW(rig.agent.menu("Stop previewing"), sim::UsageError);  // greyed
    EXPECT_THROW(rig.agent.menu("PauseNewMail"), sim::UsageError);     // hidden
    EXPECT_THROW(rig.agent.menu("Fly away"), sim::UsageError);
    EXPECT_TRUE(rig.log.empty());
    rig.agent.menu("character properties");  // by caption, as the user reads it
    rig.agent.menu("ReadThisItem");
    EXPECT_THAT(rig.log, ElementsAre("command \"CharProperty\" \"\"", "command \"ReadThisItem\" \"\""));
}

TEST(SimAgent, CommandSetPrintsWhatTheAddInGaveAndRefusesMisuse) {
    Rig rig;
    auto character = rig.load();
    auto commands = character->commands();
    commands->set_caption("Outlook Dezaror Agent");
    (void)commands->add("OLPanel", std::string("Outlook Rivuvuz &Panel"), std::nullopt, std::nullopt, std::nullopt);
    (void)commands->add("PauseNewMail", std::string("Pause previewing"),
                        std::string("Pause previewing [new] [(email |emails |mail |messages |items)]"), false, false);
    commands->item("PauseNewMail")->set_enabled(true);
    EXPECT_THAT(rig.take(),
                ElementsAre("agent: commands Caption \"Outlook Dezaror Agent\"",
                            "agent: add \"OLPanel\" \"Outlook Rivuvuz &Panel\" -",
                            "agent: add \"PauseNewMail\" \"Pause previewing\" \"Pause previewing [new] [(email |emails "
                            "|mail |messages |items)]\" False False",
                            "agent: command \"PauseNewMail\" Enabled True"));
    EXPECT_THROW(commands->item("Nope"), PlatformError);
    EXPECT_THROW((void)commands->add("OLPanel", std::nullopt, std::nullopt, std::nullopt, std::nullopt), PlatformError);
    EXPECT_THROW((void)commands->add("Bad", std::nullopt, std::string("Open [(a|b]"), std::nullopt, std::nullopt),
                 PlatformError);
    EXPECT_TRUE(rig.take().empty());
}

TEST(SimAgent, InjectedFaultsFailExactlyTheirCount) {
    Rig rig;
    auto character = rig.load();
    rig.faults.fail("Speak", 2);
    EXPECT_THROW(character->speak("a"), PlatformError);
    EXPECT_THROW(character->speak("b"), PlatformError);
    auto r = character->speak("c");
    EXPECT_EQ(r->id(), 1);  // a failed call queues nothing and takes no number
    EXPECT_THAT(rig.take(), ElementsAre("fault: Speak", "fault: Speak", "agent: speak \"c\" #1"));

    rig.faults.fail("Characters.Load");
    rig.agent.characters_unload("CharacterID");
    try {
        rig.agent.characters_load("CharacterID");
        ADD_FAILURE() << "the load went through";
    } catch (const PlatformError& e) {
        EXPECT_EQ(platform::error_text(e), "429 ActiveX component can't create object");
    }
    EXPECT_FALSE(rig.agent.loaded());
}

TEST(SimAgent, LoadingNeedsTheServerAndUnloadingDropsTheCharacter) {
    Rig rig;
    EXPECT_THROW(rig.agent.characters_load("CharacterID"), PlatformError);
    auto character = rig.load();
    EXPECT_THROW(rig.agent.characters_load("CharacterID"), PlatformError);
    EXPECT_THROW(rig.agent.character("Other"), PlatformError);
    rig.record_events();
    auto commands = character->commands();
    character->speak("Left behind.");
    character->stop_all();
    character->speak("Queued.");
    rig.agent.characters_unload("CharacterID");
    rig.agent.perform_all();
    rig.agent.deliver_stopped();
    EXPECT_TRUE(rig.log.empty());  // an unloaded character completes nothing
    EXPECT_THROW(character->speak("Anyone?"), PlatformError);
    EXPECT_THROW(commands->item("x"), PlatformError);
    EXPECT_TRUE(rig.agent.menu_lines().empty());
    rig.agent.say("read this");  // nobody listens
    EXPECT_TRUE(rig.log.empty());
    EXPECT_THROW(rig.agent.menu("OLPanel"), sim::UsageError);
}

}  // namespace
