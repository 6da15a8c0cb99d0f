#include "cli/voice.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <set>
#include <sstream>
#include <thread>

#include "cli/live.hpp"
#include "sim/agent.hpp"
#include "support/started_form.hpp"
#include "voice/helpers.hpp"

namespace {

using namespace std::chrono_literals;
using ::testing::Contains;
using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;

constexpr std::string_view kAckLine = "Ok!|As you wish.|No problem!|I am here to serve.|Let's roll.";

// Five sentences, each long enough to be cut off in the middle.
constexpr std::string_view kFivePieces = R"({
  "user": "Ada Lovelace",
  "now": "2001-03-06T15:05:00",
  "explorer": {"folder": "Inbox", "view": "Messages", "selection": ["m1"]},
  "folders": [
    {"name": "Inbox", "inbox": true, "items": [
      {"EntryID": "m1", "Class": 43, "SenderName": "Bob Smith", "Subject": "Lunch",
       "ReceivedTime": "2001-03-06T12:30:00", "UnRead": true,
       "Body": "One is the first sentence of the letter. Two is the second sentence of the letter. Three is the third sentence of the letter. Four is the fourth. Five is the fifth."}
    ]}
  ]
})";

sim::SimOptions seeded(std::uint64_t seed) {
    sim::SimOptions options;
    options.seed = seed;
    return options;
}

TEST(Alternatives, EveryAcknowledgementIsSaidOverSeedsWhileTheTranscriptKeepsTheWholeText) {
    std::set<std::string> said;
    for (std::uint64_t seed = 1; seed <= 60; ++seed) {
        sim::SimPlatform sim{support::mailbox(), seeded(seed)};
        auto s = support::started_form(sim);
        const auto greeted = sim.sim_agent().said().size();
        sim.say("read this message");
        sim.perform_all();
        EXPECT_THAT(sim.transcript().lines(), Contains(StartsWith("agent: speak " + sim::quote(kAckLine) + " #")));
        // The acknowledgement is the first thing said after the greeting.
        ASSERT_GT(sim.sim_agent().said().size(), greeted);
        said.insert(sim.sim_agent().said()[greeted]);
        // What was performed is still reported with the text as the add-in passed it.
        EXPECT_THAT(sim.sim_agent().spoken(), Contains(std::string(kAckLine)));
    }
    EXPECT_EQ(said,
              (std::set<std::string>{"Ok!", "As you wish.", "No problem!", "I am here to serve.", "Let's roll."}));
}

TEST(Alternatives, RepeatUnderTheSeedAndLeaveTheAddInsDrawsAlone) {
    const auto run = [](std::uint64_t seed) {
        sim::SimPlatform sim{support::mailbox(), seeded(seed)};
        auto s = support::started_form(sim);
        for (int i = 0; i < 5; ++i) {
            sim.say("read this message");
            sim.perform_all();
        }
        return std::make_pair(sim.sim_agent().said(), sim.random().next());
    };
    const auto [said, draw] = run(7);
    const auto [again, draw_again] = run(7);
    EXPECT_EQ(said, again);
    EXPECT_EQ(draw, draw_again);
    // A text without alternatives is said as it is.
    EXPECT_THAT(said, Contains("See you at noon."));
}

TEST(Wav, HeaderCountsTheSamplesAndTheFileAppearsOnlyWhenFinished) {
    const support::TempDir dir("voice-header");
    const auto path = dir / "out.wav";
    {
        cli::WavWriter wav(path, 22050);
        wav.write(std::vector<std::int16_t>(1000, -2));
        wav.write(std::vector<std::int16_t>(500, 300));
        EXPECT_FALSE(std::filesystem::exists(path));
        wav.finish();
    }
    const auto w = voice_test::read_wav(path);
    EXPECT_TRUE(w.riff);
    EXPECT_EQ(w.format, 1);
    EXPECT_EQ(w.channels, 1);
    EXPECT_EQ(w.bits, 16);
    EXPECT_EQ(w.rate, 22050u);
    EXPECT_EQ(w.byte_rate, 44100u);
    EXPECT_EQ(w.data_bytes, 3000u);
    EXPECT_EQ(w.riff_size, 36u + 3000u);
    EXPECT_EQ(w.file_size, 44u + 3000u);

    // A recording never finished leaves neither the file nor its temporary behind.
    const auto lost = dir / "lost.wav";
    { cli::WavWriter wav(lost, 22050); }
    EXPECT_THAT(std::vector(std::filesystem::directory_iterator(dir.path()), {}), ::testing::SizeIs(1));
    EXPECT_THROW(cli::WavWriter(dir / "no" / "such" / "folder.wav", 22050), cli::VoiceError);
}

TEST(Synthesizer, LongerTextsTakeLonger) {
    cli::Synthesizer voice;
    const auto short_text = voice.speak("See you at noon.");
    const auto long_text = voice.speak("See you at noon, and bring the map of the old town with you, please.");
    EXPECT_GT(short_text.size(), 0u);
    EXPECT_GT(long_text.size(), short_text.size() * 2);
    EXPECT_TRUE(voice.speak("").empty());
}

// A stream gives the speech synthesis in one piece gives, in chunks; cut early, it stops at once.
// Each script is read in its own language, unless the user chose a voice.
TEST(Synthesizer, StreamsWhatItSpeaksAndChoosesTheVoiceByScript) {
    cli::Synthesizer voice;
    const std::string text = "See you at noon, and bring the map of the old town with you, please.";
    const auto whole = voice.speak(text);
    cli::Samples streamed;
    {
        cli::SpeechStream stream(voice, text);
        while (!stream.done()) stream.take(streamed, 1000, true);
    }
    // The engine's state carries over from one text to the next, so the samples differ slightly.
    EXPECT_NEAR(static_cast<double>(streamed.size()), static_cast<double>(whole.size()), whole.size() * 0.1);
    cli::Samples first;
    {
        cli::SpeechStream stream(voice, std::string(200000, 'a') + ".");
        stream.take(first, 100, true);
    }  // cut here: the destructor must not wait for the rest of the text
    EXPECT_EQ(first.size(), 100u);

    EXPECT_EQ(cli::voice_for_script("Hello there"), "en");
    EXPECT_EQ(cli::voice_for_script("\u041f\u0440\u0438\u0432\u0435\u0442, Bob"), "ru");
    EXPECT_EQ(cli::voice_for_script("\u039a\u03b1\u03bb\u03b7\u03bc\u03ad\u03c1\u03b1"), "el");
    EXPECT_EQ(cli::voice_for_script("\u65e5\u672c\u8a9e\u306e\u30e1\u30fc\u30eb"), "ja");
    EXPECT_EQ(cli::voice_for_script("\u4f60\u597d"), "cmn");
    EXPECT_THROW(cli::Synthesizer(std::string("no-such-voice")), cli::VoiceError);
    cli::Synthesizer slow(std::nullopt, 100);
    cli::Synthesizer fast(std::nullopt, 300);
    EXPECT_GT(slow.speak(text).size(), fast.speak(text).size() * 2);
}

// The live character speaks for as long as the speech takes, and keeps of a piece cut off by the
// listening key exactly what was heard before the key went down.
TEST(LiveCharacter, ListeningKeyCutsTheSpeechWhereItWas) {
    const support::TempDir dir("voice-cut");
    sim::SimPlatform sim{support::mailbox(kFivePieces)};
    sim.setting("PlayIntro", "False");
    auto s = support::started_form(sim);
    std::ostringstream warnings;
    cli::Voice voice({.aloud = false, .wav = dir / "cut.wav", .voice_name = {}, .rate = {}}, warnings);
    std::vector<std::pair<sim::QueuedRequest, std::int32_t>> performed;
    sim.sim_agent().on_perform(
        [&](const sim::QueuedRequest& r, std::int32_t status) { performed.emplace_back(r, status); });

    cli::LiveCharacter live(sim, &voice);
    sim.say("read this message");
    const auto second = "Two is the second sentence of the letter. ";
    const auto give_up = std::chrono::steady_clock::now() + 60s;
    for (;;) {
        live.advance();
        const auto head = sim.sim_agent().head();
        if (head && head->said == second) break;
        ASSERT_LT(std::chrono::steady_clock::now(), give_up) << "the second piece was never spoken";
        std::this_thread::sleep_for(5ms);
    }
    const auto started = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(500ms);
    live.advance();
    sim.say("what was that");
    const auto cut_after = std::chrono::steady_clock::now() - started;
    live.advance();
    live.stop();
    voice.finish();

    // Everything performed to its end was recorded whole; of the second piece, what was heard.
    std::size_t whole = 0;
    for (const auto& [request, status] : performed)
        if (status == 0 && cli::is_speech(request)) whole += voice.speech(request.said).size();
    ASSERT_THAT(performed, Contains(::testing::Pair(::testing::Field(&sim::QueuedRequest::said, second), 3)));
    const auto w = voice_test::read_wav(dir / "cut.wav");
    const double heard = static_cast<double>(w.data_bytes / 2 - whole) / w.rate;
    const double cut_at = std::chrono::duration<double>(cut_after).count();
    EXPECT_GT(heard, 0.4);
    EXPECT_LT(heard, cut_at + 0.1);
    EXPECT_EQ(warnings.str(), "");
}

// `done` at the live prompt waits for the character; without a voice speech lasts as estimated.
TEST(LiveCharacter, DoneWaitsAsLongAsTheRequestsTake) {
    sim::SimPlatform sim{support::mailbox()};
    sim.setting("PlayIntro", "False");
    auto s = support::started_form(sim);
    auto expected = std::chrono::milliseconds(0);
    sim.sim_agent().on_perform([&](const sim::QueuedRequest& r, std::int32_t status) {
        if (status == 0) expected += cli::acting_time(r);
    });
    cli::LiveCharacter live(sim, nullptr);
    sim.say("read this message");
    const auto start = std::chrono::steady_clock::now();
    live.perform(std::nullopt);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_TRUE(live.idle());
    EXPECT_GE(took, expected);
    EXPECT_LT(took, expected + 500ms);
    EXPECT_THAT(sim.sim_agent().spoken(), Contains("See you at noon."));
}

}  // namespace
