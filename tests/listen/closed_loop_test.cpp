// Every voice command, spoken by a synthetic voice and heard by the recogniser, must do what typing
// the same words does. The utterances are made once per run with espeak-ng and sox.

#include <fmt/format.h>
#include <fmt/ranges.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>

#include "cli/listen/command_grammar.hpp"
#include "cli/listen/hearing.hpp"
#include "cli/samples.hpp"
#include "cli/session.hpp"
#include "sim/mailbox.hpp"
#include "sim/sim_platform.hpp"
#include "support/temp_dir.hpp"

namespace {

// Where each command is enabled: the intro, preview and response commands only in some states.
const std::vector<std::string> kSituations = {
    "start\nclick button\ndone\n",
    "start\nclick button\ndone\nsay preview new messages\ndone\n",
    "start\nclick button\ndone\nsay preview new messages\ndone\nsay pause previewing\ndone\n",
    "start\nclick button\ndone\nselect m5\nsay read this request\ndone\n",
    "setting PlayIntro False\nstart\nclick button\ndone\n",
};

const std::vector<std::string> kUnrelated = {
    "what time is it",         "read me a story",           "how is the weather today",
    "call my mother",          "turn up the volume",        "where did I park the car",
    "tell me a joke",          "set an alarm for seven",    "play some music",
    "what is the capital of France",
};

// Two voices at two speeds, as two different people would say the commands.
const std::vector<std::string> kVoices = {"-v en-us -s 160", "-v en-us+f3 -s 140"};

// The add-in on the sample mailbox, brought into a situation; `lines()` is what came after that.
class Fresh {
public:
    explicit Fresh(const std::string& setup)
        : sim_(sim::load_mailbox(cli::kSampleMailbox, "mailbox.json")), session_(sim_, out_) {
        std::istringstream in(setup);
        EXPECT_EQ(session_.run(in, "setup.dz"), 0) << out_.str();
        out_.str("");
    }
    cli::Session& session() { return session_; }
    sim::SimAgent& agent() { return sim_.sim_agent(); }
    // The transcript since the setup, without the echo of the scenario lines.
    std::string lines() const {
        std::istringstream in(out_.str());
        std::string kept;
        for (std::string line; std::getline(in, line);)
            if (!line.starts_with("> ")) kept += line + "\n";
        return kept;
    }

private:
    sim::SimPlatform sim_;
    std::ostringstream out_;
    cli::Session session_;
};

struct Utterance {
    std::string situation;
    std::string command;  // "" for an unrelated sentence
    std::string words;
    std::string wav;
    std::string spoken;  // what the voice says, when not just the words
};

// Synthesizes every utterance into `dir`, all in one shell, returning false when a tool is missing.
// sox's dither is random noise unless it is told to repeat it (-R): the figures would change from run to run.
bool synthesize(std::vector<Utterance>& utterances, const std::filesystem::path& dir) {
    std::string script = "set -e\n";
    for (std::size_t i = 0; i < utterances.size(); ++i) {
        auto& u = utterances[i];
        u.wav = (dir / fmt::format("u{}.wav", i)).string();
        const auto raw = (dir / "raw.wav").string();
        script += fmt::format("espeak-ng {} -w '{}' '{}'\nsox -R '{}' -r 16000 -c 1 -b 16 '{}'\n",
                              kVoices[i % kVoices.size()], raw, u.spoken.empty() ? u.words : u.spoken, raw, u.wav);
    }
    const auto file = dir / "make.sh";
    std::ofstream(file) << script;
    return std::system(fmt::format("sh '{}' >/dev/null 2>&1", file.string()).c_str()) == 0;
}

TEST(ClosedLoop, HeardCommandsDoWhatTypedOnesDoAndOtherSpeechDoesNothing) {
    if (!cli::listen::recognizer_built()) GTEST_SKIP() << "built without speech recognition";
    if (std::system("command -v espeak-ng >/dev/null && command -v sox >/dev/null") != 0)
        GTEST_SKIP() << "espeak-ng and sox are needed to make the utterances";

    // Each command's two phrasings in the first situation that lets it be said, in both voices (the
    // voice goes by the utterance's place: both voices of a phrasing are next to each other).
    std::vector<Utterance> utterances;
    std::set<std::string> covered;
    for (const auto& situation : kSituations) {
        Fresh fresh(situation);
        for (const auto& [name, voice] : fresh.agent().voice_commands()) {
            if (!covered.insert(name).second) continue;
            std::set<std::string> phrases;
            for (int variant : {0, 1}) phrases.insert(cli::listen::example_phrase(voice, variant));
            // A command with one wording is said a second way: word by word, with a pause after each.
            std::string halting;
            if (phrases.size() == 1) {
                std::istringstream words(*phrases.begin());
                for (std::string word; words >> word;) halting += (halting.empty() ? "" : ", ") + word;
            }
            for (const auto& words : phrases) {
                EXPECT_EQ(fresh.agent().command_heard(words), name) << words;
                for (std::size_t v = 0; v < kVoices.size(); ++v) utterances.push_back({situation, name, words, {}, {}});
                for (std::size_t v = 0; v < kVoices.size() && !halting.empty(); ++v)
                    utterances.push_back({situation, name, words, {}, halting});
            }
        }
    }
    EXPECT_EQ(covered.size(), 34u) << "every command with a voice text: " << fmt::format("{}", fmt::join(covered, " "));
    for (const auto& words : kUnrelated)
        for (std::size_t v = 0; v < kVoices.size(); ++v) utterances.push_back({kSituations[0], "", words, {}, {}});
    support::TempDir dir("listen");
    ASSERT_TRUE(synthesize(utterances, dir.path()));

    cli::listen::Ears ears;  // one recogniser for every session
    int right = 0, wrong = 0, rejected = 0, commands = 0, unrelated_heard = 0;
    for (const auto& u : utterances) {
        Fresh heard(u.situation);
        heard.session().ears() = ears;
        ASSERT_TRUE(heard.session().execute("hear " + u.wav, {"closed_loop.dz", 1}));
        Fresh nothing(u.situation);  // speech that is no command
        nothing.session().sim().say("");
        if (u.command.empty()) {
            if (heard.lines() != nothing.lines()) {
                ++unrelated_heard;
                fmt::print("unrelated: \"{}\" heard as a command\n", u.words);
            }
            continue;
        }
        ++commands;
        Fresh typed(u.situation);
        typed.session().sim().say(u.words);
        if (heard.lines() == typed.lines()) {
            ++right;
        } else if (heard.lines() == nothing.lines()) {
            ++rejected;
            fmt::print("rejected: \"{}\"\n", u.words);
        } else {
            ++wrong;
            fmt::print("wrong: \"{}\"\n", u.words);
        }
    }
    const auto share = [&](int n) { return 100.0 * n / commands; };
    fmt::print("{} command utterances: {:.1f}% right, {:.1f}% wrong, {:.1f}% rejected; "
               "{} of {} unrelated utterances heard as a command\n",
               commands, share(right), share(wrong), share(rejected), unrelated_heard, 2 * kUnrelated.size());
    EXPECT_GE(share(right), 95.0);
    EXPECT_LE(share(wrong), 1.0);
    EXPECT_EQ(unrelated_heard, 0);
}

}  // namespace
