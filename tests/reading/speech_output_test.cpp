#include "reading/speech_output.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "reading/reading_commands.hpp"
#include "sim/agent.hpp"
#include "sim/faults.hpp"
#include "sim/sim_platform.hpp"
#include "support/started_form.hpp"

namespace {

// Request numbers: started_form leaves the character idle after 55 requests (the show, the
// introduction and its closing "Greet"), so the next request is #56.

using support::as_event;
using support::mailbox;
using support::started_form;
using support::take;
using reading::SpeakNextPiece;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::Not;

// Starts an ordinary reading of `text` the way the read commands do after composing it.
void start_reading(sim::SimPlatform& sim, character::frmAgentCtrl& f, const std::string& text) {
    support::as_event(sim, [&] {
        f.sReadText = text;
        f.lReadPos = 1;
        f.lReadDone = 0;
        f.lReadPieces = 0;
        f.iReadMode = 4;
        SpeakNextPiece(f);
    });
}

std::vector<std::string> spoken_and_played(const std::vector<std::string>& lines) {
    std::vector<std::string> acts;
    for (const auto& line : lines) {
        if (line.starts_with("agent: speak ") || line.starts_with("agent: play ")) {
            acts.push_back(line.substr(7, line.rfind(" #") - 7));
        }
    }
    return acts;
}

TEST(SpeechOutput, ReadsPieceByPieceAndEndsWithReadReturn) {
    sim::SimPlatform sim{mailbox()};
    auto s = started_form(sim);
    auto* f = &s.form();
    start_reading(sim, *f, "Thanks. J");
    sim.perform_all();
    EXPECT_THAT(spoken_and_played(take(sim)),
                ElementsAre("speak \"Thanks. \"", "speak \"J\"", "play \"ReadReturn\""));
    EXPECT_EQ(f->iReadMode, 0);
    EXPECT_EQ(f->iLastReadMode, 4);
    EXPECT_EQ(f->lReadDone, 2);
    // Continuing the saved context only ends it again.
    EXPECT_EQ(f->lItmSavedPos, 10);
    EXPECT_EQ(f->sItmSavedText, "Thanks. J");
}

TEST(SpeechOutput, ClosingLineBreakAndEmptyTextSayNothing) {
    sim::SimPlatform sim{mailbox()};
    auto s = started_form(sim);
    auto* f = &s.form();
    start_reading(sim, *f, "Hello.\r\n");
    sim.perform_all();
    EXPECT_THAT(spoken_and_played(take(sim)), ElementsAre("speak \"Hello.\"", "play \"ReadReturn\""));
    start_reading(sim, *f, "");
    EXPECT_THAT(spoken_and_played(take(sim)), ElementsAre("play \"ReadReturn\""));
    EXPECT_EQ(f->iReadMode, 0);
}

TEST(SpeechOutput, ReadContinuedBeforeEveryTwentySecondPiece) {
    sim::SimPlatform sim{mailbox()};
    auto s = started_form(sim);
    auto* f = &s.form();
    std::string text;
    for (int i = 1; i <= 50; ++i) text += "S" + std::to_string(i) + ". ";
    start_reading(sim, *f, text);
    sim.perform_all();
    const auto acts = spoken_and_played(take(sim));
    std::vector<std::string> before_continued;
    for (std::size_t i = 1; i < acts.size(); ++i) {
        if (acts[i - 1] == "play \"ReadContinued\"") before_continued.push_back(acts[i]);
    }
    EXPECT_THAT(before_continued, ElementsAre("speak \"S22. \"", "speak \"S43. \""));
    EXPECT_EQ(acts.back(), "play \"ReadReturn\"");
    EXPECT_EQ(f->lReadDone, 50);
}

TEST(SpeechOutput, PauseThenContinueSaysTheInterruptedPieceWhole) {
    sim::SimPlatform sim{mailbox()};
    auto s = started_form(sim);
    auto* f = &s.form();
    start_reading(sim, *f, "One. Two. Three.");
    sim.perform(1);  // "One. "
    as_event(sim, [&] { reading::PausReadItem(*f); });
    EXPECT_EQ(f->iReadMode, 4);
    EXPECT_EQ(f->lItmSavedPos, 6);
    EXPECT_EQ(f->lItmSavedDone, 1);
    sim.perform_all();  // nothing is queued any more
    take(sim);
    as_event(sim, [&] { reading::ContReadItem(*f); });
    sim.perform_all();
    // The seeded random draw of the continuation is over one half, so "ReadContinued" follows "Read".
    EXPECT_THAT(spoken_and_played(take(sim)), ElementsAre("play \"Read\"", "play \"ReadContinued\"", "speak \"Two. \"",
                                                          "speak \"Three.\"", "play \"ReadReturn\""));
}

// Listening cuts the piece short; with no command heard the reading takes it up again from its start.
TEST(SpeechOutput, SpeechInputWithoutACommandResumesTheReading) {
    sim::SimPlatform sim{mailbox()};
    auto s = started_form(sim);
    auto* f = &s.form();
    start_reading(sim, *f, "One. Two. Three.");
    sim.perform(1);
    take(sim);
    sim.say("what was that");
    EXPECT_THAT(take(sim),
                ElementsAre("agent: play \"StartListening\" #58", "agent: done #57 3", "agent: play \"Confused\" #59",
                            "agent: play \"Read\" #60", "agent: speak \"Two. \" #61"));
    EXPECT_EQ(f->sHeardCmd, "");
    EXPECT_EQ(f->iReadMode, 4);
}

TEST(SpeechOutput, SpeechInputWithoutAReadingStopsListening) {
    sim::SimPlatform sim{mailbox()};
    auto s = started_form(sim);
    sim.say("hello");
    EXPECT_THAT(spoken_and_played(take(sim)),
                ElementsAre("play \"StartListening\"", "play \"Confused\"", "play \"StopListening\""));
}

TEST(SpeechOutput, FailedPieceHoldsTheReading) {
    sim::SimPlatform sim{mailbox()};
    auto s = started_form(sim);
    auto* f = &s.form();
    start_reading(sim, *f, "One. Two. Three.");
    sim.perform(1);
    sim.fail_next();
    sim.perform(1);  // "Two. "
    sim.perform_all();
    EXPECT_THAT(spoken_and_played(take(sim)), ElementsAre("speak \"One. \"", "speak \"Two. \""));
    EXPECT_EQ(f->iReadMode, 4);
    EXPECT_EQ(f->lItmSavedPos, 6);
    EXPECT_EQ(f->lItmSavedDone, 1);
}

TEST(SpeechOutput, FailingSpeakShowsItsMessageAndHolds) {
    sim::SimPlatform sim{mailbox()};
    auto s = started_form(sim);
    auto* f = &s.form();
    sim.fault("Speak", 1);
    start_reading(sim, *f, "One. Two.");
    const auto lines = take(sim);
    EXPECT_THAT(lines, Contains(::testing::StartsWith("msgbox: \"DezarorAgent\" \"There is an error speaking the document\\r\\n" +
                                                      std::to_string(sim::Faults::error_number("Speak")) + " ")));
    EXPECT_TRUE(sim.sim_agent().queue().empty());
    EXPECT_EQ(f->iReadMode, 4);
    // Continue still works from where it was held.
    as_event(sim, [&] { reading::ContReadItem(*f); });
    sim.perform_all();
    EXPECT_THAT(spoken_and_played(take(sim)),
                ElementsAre("play \"Read\"", "play \"ReadContinued\"", "speak \"One. \"", "speak \"Two.\"",
                            "play \"ReadReturn\""));
}

TEST(SpeechOutput, PositionOutsideTheTextIsReportedAndABlankSpoken) {
    sim::SimPlatform sim{mailbox()};
    auto s = started_form(sim);
    auto* f = &s.form();
    f->sReadText = "Abc. Def";
    f->lReadPos = 0;
    f->iReadMode = 5;
    as_event(sim, [&] { SpeakNextPiece(*f); });
    EXPECT_THAT(take(sim), ElementsAre("msgbox: \"DezarorAgent\" \"There is an error finding the next sentence\\r\\n"
                                         "Error Location:  1\\r\\nIdx start:  0\\r\\nIdx len:  9\\r\\n"
                                         "doc len:  8\\r\\n5 Invalid procedure call or argument\"",
                                         "agent: speak \" \" #56"));
    sim.perform_all();
    EXPECT_THAT(spoken_and_played(take(sim)), ElementsAre("play \"ReadReturn\""));
}

TEST(SpeechOutput, GreetingCompletionsPlayGreetOrStopEverything) {
    struct Case {
        std::string how;
        std::vector<std::string> acts;
    };
    const std::vector<Case> cases{
        {"performed", {"agent: done #56 0", "agent: play \"Greet\" #58"}},
        {"failed", {"agent: done #56 1", "agent: stopall", "agent: done #57 3"}},
        {"stopped",
         {"agent: stop #56", "agent: done #56 3", "agent: stopall", "agent: play \"Greet\" #58", "agent: done #57 3"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.how);
        sim::SimPlatform sim{mailbox()};
        auto s = started_form(sim);
        auto* f = &s.form();
        as_event(sim, [&] {
            f->oGreetRequest = f->oAgentChar->speak("To get started...");
            f->oAgentChar->play("Wave");
        });
        take(sim);
        if (c.how == "stopped") {
            as_event(sim, [&] { f->oAgentChar->stop(f->oGreetRequest.ptr()); });
        } else {
            if (c.how == "failed") sim.fail_next();
            sim.perform(1);
        }
        EXPECT_EQ(take(sim), c.acts);
        EXPECT_FALSE(f->oGreetRequest);
    }
}

// A piece of an earlier reading that completes after a new one began must not move the new one on.
TEST(SpeechOutput, CompletionOfARequestNoLongerHeldIsIgnored) {
    sim::SimPlatform sim{mailbox()};
    auto s = started_form(sim);
    auto* f = &s.form();
    start_reading(sim, *f, "Old one. Old two.");
    start_reading(sim, *f, "New one. New two.");
    sim.perform(1);  // the old first piece
    EXPECT_THAT(spoken_and_played(take(sim)), Not(Contains("speak \"New two.\"")));
    EXPECT_EQ(f->lReadPos, 1);
    EXPECT_EQ(f->lReadDone, 0);
    sim.perform_all();
    EXPECT_THAT(spoken_and_played(take(sim)), ElementsAre("speak \"New two.\"", "play \"ReadReturn\""));
}

}  // namespace
