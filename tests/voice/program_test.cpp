#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "voice/helpers.hpp"

// The `dezaror` program speaking: `run --wav` outside real time, and the prompt in real time
// driven through a pipe with pauses, as a user typing.
namespace {

using namespace std::chrono_literals;
using ::testing::Contains;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;
using ::testing::StartsWith;

std::string mailbox_with_body(std::string_view body) {
    return R"({"user": "Ada Lovelace", "now": "2001-03-06T15:05:00",
  "explorer": {"folder": "Inbox", "view": "Messages", "selection": ["m1"]},
  "folders": [{"name": "Inbox", "inbox": true, "items": [
    {"EntryID": "m1", "Class": 43, "SenderName": "Bob Smith", "Subject": "Lunch",
     "ReceivedTime": "2001-03-06T12:30:00", "UnRead": true, "Body": ")" +
           std::string(body) + R"("}]}]})";
}

constexpr std::string_view kFiveSentences =
    "One is the first. Two is the second. Three is the third. Four is the fourth. Five is the fifth.";

constexpr std::string_view kReadingStart =
    "setting PlayIntro False\nstart\nclick button\ndone\nsay read this message\n";

struct Ran {
    int status = -1;
    std::string out;
    voice_test::Wav wav;
};

// `dezaror run` of `scenario` on a mailbox whose one message has `body`, with or without a WAV.
Ran run(std::string_view name, std::string_view body, std::string_view scenario, bool with_wav = true) {
    const support::TempDir dir("voice-" + std::string(name));
    voice_test::write_file(dir / "mailbox.json", mailbox_with_body(body));
    voice_test::write_file(dir / "scenario.dz", scenario);
    std::string command = std::string(DEZAROR_BINARY) + " run " + (dir / "scenario.dz").string() + " --mailbox " +
                          (dir / "mailbox.json").string() + " > " + (dir / "out.txt").string();
    if (with_wav) command += " --wav " + (dir / "out.wav").string();
    Ran r;
    const int raw = std::system(command.c_str());
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    std::ifstream in(dir / "out.txt");
    std::stringstream text;
    text << in.rdbuf();
    r.out = text.str();
    if (with_wav) r.wav = voice_test::read_wav(dir / "out.wav");
    return r;
}

TEST(RunWithWav, AValidWavThatGrowsWithTheTextRead) {
    const std::string scenario = std::string(kReadingStart) + "done\n";
    const auto shorter = run("short", "See you at noon.", scenario);
    const auto longer = run("long", kFiveSentences, scenario);
    for (const auto* r : {&shorter, &longer}) {
        EXPECT_EQ(r->status, 0);
        EXPECT_TRUE(r->wav.riff);
        EXPECT_EQ(r->wav.format, 1);
        EXPECT_EQ(r->wav.channels, 1);
        EXPECT_EQ(r->wav.bits, 16);
        EXPECT_GT(r->wav.rate, 0u);
        EXPECT_EQ(r->wav.file_size, 44u + r->wav.data_bytes);
    }
    EXPECT_GT(shorter.wav.seconds(), 1.0);
    // The four sentences more take a few seconds to say.
    EXPECT_GT(longer.wav.seconds(), shorter.wav.seconds() + 3.0);
    // Speaking aloud changes nothing the add-in does.
    EXPECT_EQ(longer.out, run("silent", kFiveSentences, scenario, /*with_wav=*/false).out);
}

TEST(RunWithWav, AudioStopsWhereTheListeningKeyCutInAndTheReadingTakesThePieceUpAgain) {
    // StartListening, the acknowledgement, Read, three pieces of the announcement and two of the
    // body: the third sentence is being said when the user speaks.
    const std::string upto_two = std::string(kReadingStart) + "done 8\n";
    const auto whole = run("whole", kFiveSentences, std::string(kReadingStart) + "done\n");
    const auto two = run("two", kFiveSentences, upto_two);
    const auto cut = run("cut", kFiveSentences, upto_two + "say what was that\n");
    const auto resumed = run("resumed", kFiveSentences, upto_two + "say what was that\ndone\n");
    EXPECT_THAT(cut.out, HasSubstr("agent: speak \"Three is the third. \""));
    // Nothing of the third sentence was heard before the key went down ...
    EXPECT_EQ(cut.wav.data_bytes, two.wav.data_bytes);
    EXPECT_LT(cut.wav.data_bytes, whole.wav.data_bytes);
    // ... and taken up again, every sentence is heard once, whole.
    EXPECT_EQ(resumed.wav.data_bytes, whole.wav.data_bytes);
}

// The prompt in real time: the character goes on while lines come, with pauses between them.
TEST(LivePrompt, ReadingInterruptedResumesAtThePieceAndPausesAndContinues) {
    const support::TempDir dir("voice-prompt");
    voice_test::write_file(dir / "mailbox.json", mailbox_with_body(kFiveSentences));
    voice_test::Program dezaror({"repl", "--mailbox", (dir / "mailbox.json").string(), "--settings",
                                 (dir / "settings.ini").string(), "--seed", "5"});
    ASSERT_TRUE(dezaror.started());
    const auto is_speak = [](const std::string& l) { return l.starts_with("agent: speak "); };

    dezaror.type("setting PlayIntro False");
    dezaror.type("start");
    dezaror.type("click button");
    dezaror.type("say read this message");  // no `done`: the character performs as time passes
    ASSERT_THAT(dezaror.until_line("agent: speak \"Three is the third. \"", 60s), Not(IsEmpty()));

    // After the second sentence, the user speaks words that are no command: the third sentence is
    // cut off and said again from its start.
    std::this_thread::sleep_for(300ms);
    dezaror.type("say what was that");
    const auto cut = dezaror.until(is_speak, 10s);
    ASSERT_THAT(cut, Not(IsEmpty()));
    EXPECT_THAT(cut, Contains(::testing::MatchesRegex("agent: done #[0-9]+ 3")));
    EXPECT_THAT(cut.back(), StartsWith("agent: speak \"Three is the third. \""));

    // Pausing holds the reading: nothing more is said until the user continues it.
    ASSERT_THAT(dezaror.until_line("agent: speak \"Four is the fourth. \"", 20s), Not(IsEmpty()));
    std::this_thread::sleep_for(200ms);
    dezaror.type("say pause reading");
    ASSERT_THAT(dezaror.until_line("agent: stop #", 10s), Not(IsEmpty()));
    std::vector<std::string> held;
    while (auto line = dezaror.next_line(1500ms)) held.push_back(*line);
    EXPECT_THAT(held, Not(Contains(StartsWith("agent: speak "))));
    dezaror.type("say continue reading");
    const auto continued = dezaror.until(is_speak, 10s);
    ASSERT_THAT(continued, Not(IsEmpty()));
    EXPECT_THAT(continued.back(), StartsWith("agent: speak \"Four is the fourth. \""));
    ASSERT_THAT(dezaror.until_line("agent: play \"ReadReturn\"", 20s), Not(IsEmpty()));

    // `help` is the prompt's own; the end of the input takes the character down, settings saved.
    dezaror.type("help");
    ASSERT_THAT(dezaror.until_line("help lists these commands", 10s), Not(IsEmpty()));
    dezaror.close_input();
    EXPECT_EQ(dezaror.finish(20s), 0);
    EXPECT_THAT(dezaror.seen(), Contains("> click button"));
    EXPECT_THAT(dezaror.seen(), Contains(StartsWith("agent: speak \"Bye.|")));
    EXPECT_THAT(dezaror.seen(), Contains("agent: unload \"CharacterID\""));
    EXPECT_THAT(dezaror.seen(), Not(Contains(StartsWith("! "))));
    std::ifstream settings(dir / "settings.ini");
    std::stringstream stored;
    stored << settings.rdbuf();
    EXPECT_THAT(stored.str(), HasSubstr("PlayIntro=False"));
    EXPECT_THAT(stored.str(), HasSubstr("AgentLeft="));
}

}  // namespace

namespace {

// `--voice` hands the samples to a player program on its standard input: here a stand-in that
// keeps them. Without any player the run goes on silently, with a warning.
TEST(RunWithVoice, PlaysThroughThePlayerProgramOrWarnsWithoutOne) {
    const support::TempDir dir("voice-player");
    voice_test::write_file(dir / "mailbox.json", mailbox_with_body(kFiveSentences));
    voice_test::write_file(dir / "scenario.dz", std::string(kReadingStart) + "done\n");
    std::filesystem::create_directories(dir / "bin");
    voice_test::write_file(dir / "bin" / "aplay",
                           "#!/bin/sh\nexec /bin/cat > '" + (dir / "played.raw").string() + "'\n");
    std::filesystem::permissions(dir / "bin" / "aplay", std::filesystem::perms::owner_all);
    const std::string args = " run " + (dir / "scenario.dz").string() + " --mailbox " +
                             (dir / "mailbox.json").string() + " --voice --wav " + (dir / "out.wav").string() +
                             " > /dev/null 2> " + (dir / "err.txt").string();
    const auto with_player = "PATH=" + (dir / "bin").string() + " " + std::string(DEZAROR_BINARY) + args;
    ASSERT_EQ(std::system(with_player.c_str()), 0);
    const auto wav = voice_test::read_wav(dir / "out.wav");
    // The player hears the speech and the animations' pauses; the WAV keeps the speech.
    EXPECT_GT(std::filesystem::file_size(dir / "played.raw"), wav.data_bytes);
    EXPECT_EQ(std::filesystem::file_size(dir / "err.txt"), 0u);

    const auto without_player = "PATH=" + (dir / "nowhere").string() + " " + std::string(DEZAROR_BINARY) + args;
    ASSERT_EQ(std::system(without_player.c_str()), 0);
    std::ifstream err(dir / "err.txt");
    std::stringstream warning;
    warning << err.rdbuf();
    EXPECT_THAT(warning.str(), HasSubstr("--voice needs aplay or paplay"));
    EXPECT_EQ(voice_test::read_wav(dir / "out.wav").data_bytes, wav.data_bytes);
}

}  // namespace
