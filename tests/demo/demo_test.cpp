#include "cli/demo.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <sstream>

#include "cli/samples.hpp"
#include "voice/helpers.hpp"

namespace {

using ::testing::HasSubstr;
using ::testing::Not;

// The bundled tour as the demo plays it: in real time, to its end, written to a WAV on a machine
// without a sound device, in under two minutes of audio.
TEST(Demo, PlaysTheBundledTourInRealTimeIntoAWavOfUnderTwoMinutes) {
    const support::TempDir dir("voice-demo");
    std::istringstream tour{std::string(cli::kSampleTour)};
    std::ostringstream out;
    std::ostringstream warnings;
    cli::SimInputs inputs;
    inputs.seed = 1;
    const auto start = std::chrono::steady_clock::now();
    cli::VoiceOptions voice;
    voice.wav = dir / "demo.wav";
    const int status = cli::demo(inputs, voice, tour, "tour.dz", out, warnings);
    const auto took = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(status, 0);
    EXPECT_THAT(out.str(), Not(HasSubstr("\n! ")));
    EXPECT_THAT(out.str(), Not(HasSubstr("\nerror: ")));
    EXPECT_THAT(out.str(), HasSubstr("agent: unload \"CharacterID\""));
    const auto w = voice_test::read_wav(dir / "demo.wav");
    EXPECT_TRUE(w.riff);
    EXPECT_GT(w.seconds(), 30.0);
    EXPECT_LT(w.seconds(), 120.0);
    EXPECT_GE(took, w.seconds());
    EXPECT_EQ(warnings.str(), "");
}

}  // namespace
