#include "reading/speech_output.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "reading/reading_commands.hpp"
#include "reading_speech/character_fake.hpp"

namespace {

using fake::FakeHost;
using fake::loaded_form;
using reading::SpeakNextPiece;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::Not;

// Starts an ordinary reading of `text` the way the read commands do after composing it.
void start_reading(character::frmAgentCtrl& f, const std::string& text) {
    f.sReadText = text;
    f.lReadPos = 1;
    f.lReadDone = 0;
    f.lReadPieces = 0;
    f.iReadMode = 4;
    SpeakNextPiece(f);
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
    FakeHost host;
    auto f = loaded_form(host);
    start_reading(*f, "Thanks. J");
    host.perform_all();
    EXPECT_THAT(spoken_and_played(host.take()),
                ElementsAre("speak \"Thanks. \"", "speak \"J\"", "play \"ReadReturn\""));
    EXPECT_EQ(f->iReadMode, 0);
    EXPECT_EQ(f->iLastReadMode, 4);
    EXPECT_EQ(f->lReadDone, 2);
    // Continuing the saved context only ends it again.
    EXPECT_EQ(f->lItmSavedPos, 10);
    EXPECT_EQ(f->sItmSavedText, "Thanks. J");
}

TEST(SpeechOutput, ClosingLineBreakAndEmptyTextSayNothing) {
    FakeHost host;
    auto f = loaded_form(host);
    start_reading(*f, "Hello.\r\n");
    host.perform_all();
    EXPECT_THAT(spoken_and_played(host.take()), ElementsAre("speak \"Hello.\"", "play \"ReadReturn\""));
    start_reading(*f, "");
    EXPECT_THAT(spoken_and_played(host.take()), ElementsAre("play \"ReadReturn\""));
    EXPECT_EQ(f->iReadMode, 0);
}

TEST(SpeechOutput, ReadContinuedBeforeEveryTwentySecondPiece) {
    FakeHost host;
    auto f = loaded_form(host);
    std::string text;
    for (int i = 1; i <= 50; ++i) text += "S" + std::to_string(i) + ". ";
    start_reading(*f, text);
    host.perform_all();
    const auto acts = spoken_and_played(host.take());
    std::vector<std::string> before_continued;
    for (std::size_t i = 1; i < acts.size(); ++i) {
        if (acts[i - 1] == "play \"ReadContinued\"") before_continued.push_back(acts[i]);
    }
    EXPECT_THAT(before_continued, ElementsAre("speak \"S22. \"", "speak \"S43. \""));
    EXPECT_EQ(acts.back(), "play \"ReadReturn\"");
    EXPECT_EQ(f->lReadDone, 50);
}

TEST(SpeechOutput, PauseThenContinueSaysTheInterruptedPieceWhole) {
    FakeHost host;
    auto f = loaded_form(host);
    start_reading(*f, "One. Two. Three.");
    host.perform();  // "One. "
    host.deliver([&] { reading::PausReadItem(*f); });
    EXPECT_EQ(f->iReadMode, 4);
    EXPECT_EQ(f->lItmSavedPos, 6);
    EXPECT_EQ(f->lItmSavedDone, 1);
    host.perform_all();  // nothing is queued any more
    host.take();
    host.deliver([&] { reading::ContReadItem(*f); });
    host.perform_all();
    EXPECT_THAT(spoken_and_played(host.take()),
                ElementsAre("play \"Read\"", "speak \"Two. \"", "speak \"Three.\"", "play \"ReadReturn\""));
}

// Listening cuts the piece short; with no command heard the reading takes it up again from its start.
TEST(SpeechOutput, SpeechInputWithoutACommandResumesTheReading) {
    FakeHost host;
    auto f = loaded_form(host);
    start_reading(*f, "One. Two. Three.");
    host.perform();
    host.take();
    host.say("", "what was that");
    EXPECT_THAT(host.take(),
                ElementsAre("agent: play \"StartListening\" #3", "agent: done #2 3", "agent: play \"Confused\" #4",
                            "agent: play \"Read\" #5", "agent: speak \"Two. \" #6"));
    EXPECT_EQ(f->sHeardCmd, "");
    EXPECT_EQ(f->iReadMode, 4);
}

TEST(SpeechOutput, SpeechInputWithoutAReadingStopsListening) {
    FakeHost host;
    auto f = loaded_form(host);
    host.say("", "hello");
    EXPECT_THAT(spoken_and_played(host.take()),
                ElementsAre("play \"StartListening\"", "play \"Confused\"", "play \"StopListening\""));
}

TEST(SpeechOutput, FailedPieceHoldsTheReading) {
    FakeHost host;
    auto f = loaded_form(host);
    start_reading(*f, "One. Two. Three.");
    host.perform();
    host.perform(platform::kRequestFailed);  // "Two. "
    host.perform_all();
    EXPECT_THAT(spoken_and_played(host.take()), ElementsAre("speak \"One. \"", "speak \"Two. \""));
    EXPECT_EQ(f->iReadMode, 4);
    EXPECT_EQ(f->lItmSavedPos, 6);
    EXPECT_EQ(f->lItmSavedDone, 1);
}

TEST(SpeechOutput, FailingSpeakShowsItsMessageAndHolds) {
    FakeHost host;
    auto f = loaded_form(host);
    host.world.faults.fail("Speak", 1);
    start_reading(*f, "One. Two.");
    const auto lines = host.take();
    EXPECT_THAT(lines, Contains(::testing::StartsWith("msgbox: \"\" \"There is an error speaking the document\\r\\n" +
                                                      std::to_string(sim::Faults::error_number("Speak")) + " ")));
    EXPECT_TRUE(host.character().queue.empty());
    EXPECT_EQ(f->iReadMode, 4);
    // Continue still works from where it was held.
    host.deliver([&] { reading::ContReadItem(*f); });
    host.perform_all();
    EXPECT_THAT(spoken_and_played(host.take()),
                ElementsAre("play \"Read\"", "speak \"One. \"", "speak \"Two.\"", "play \"ReadReturn\""));
}

TEST(SpeechOutput, PositionOutsideTheTextIsReportedAndABlankSpoken) {
    FakeHost host;
    auto f = loaded_form(host);
    f->sReadText = "Abc. Def";
    f->lReadPos = 0;
    f->iReadMode = 5;
    SpeakNextPiece(*f);
    EXPECT_THAT(host.take(), ElementsAre("msgbox: \"\" \"There is an error finding the next sentence\\r\\n"
                                         "Error Location:  1\\r\\nIdx start:  0\\r\\nIdx len:  9\\r\\n"
                                         "doc len:  8\\r\\n5 Invalid procedure call or argument\"",
                                         "agent: speak \" \" #1"));
    host.perform_all();
    EXPECT_THAT(spoken_and_played(host.take()), ElementsAre("play \"ReadReturn\""));
}

TEST(SpeechOutput, GreetingCompletionsPlayGreetOrStopEverything) {
    struct Case {
        std::int32_t status;
        std::vector<std::string> acts;
    };
    const std::vector<Case> cases{
        {platform::kRequestComplete, {"agent: done #1 0", "agent: play \"Greet\" #3"}},
        {platform::kRequestFailed, {"agent: done #1 1", "agent: stopall", "agent: done #2 3"}},
        {platform::kRequestInterrupted,
         {"agent: done #1 3", "agent: stopall", "agent: play \"Greet\" #3", "agent: done #2 3"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.status);
        FakeHost host;
        auto f = loaded_form(host);
        f->oGreetRequest = f->oAgentChar->speak("To get started...");
        f->oAgentChar->play("Wave");
        host.take();
        host.perform(c.status);
        EXPECT_EQ(host.take(), c.acts);
        EXPECT_FALSE(f->oGreetRequest);
    }
}

// A piece of an earlier reading that completes after a new one began must not move the new one on.
TEST(SpeechOutput, CompletionOfARequestNoLongerHeldIsIgnored) {
    FakeHost host;
    auto f = loaded_form(host);
    start_reading(*f, "Old one. Old two.");
    start_reading(*f, "New one. New two.");
    host.perform();  // the old first piece
    EXPECT_THAT(spoken_and_played(host.take()), Not(Contains("speak \"New two.\"")));
    EXPECT_EQ(f->lReadPos, 1);
    EXPECT_EQ(f->lReadDone, 0);
    host.perform_all();
    EXPECT_THAT(spoken_and_played(host.take()), ElementsAre("speak \"New two.\"", "play \"ReadReturn\""));
}

}  // namespace
