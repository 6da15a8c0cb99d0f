// The grammar made from voice texts, the words it needs, and the WAV files the recogniser takes.

#include <gtest/gtest.h>

#include <fstream>

#include "cli/listen/command_grammar.hpp"
#include "cli/listen/recognizer.hpp"
#include "support/temp_dir.hpp"

namespace {

using cli::listen::command_grammar;

std::string rule(const std::string& voice) {
    const std::string g = command_grammar({{"C", voice}});
    const auto at = g.find("<command0> = ");
    return g.substr(at + 13, g.find(";\n", at) - at - 13);
}

TEST(CommandGrammar, FillersStandForAnyWordsButNeverEndAPhrase) {
    // Before a required word: one or two fillers, or none.
    EXPECT_EQ(rule("Open [...] (item |note)"), "open [<filler> [<filler>]] ( item | note )");
    // Before optional words: fillers only when one of them follows.
    EXPECT_EQ(rule("Stop reading [...] [(item|email)]"),
              "stop reading ( <filler> [<filler>] ( ( item | email ) ) | [ ( item | email ) ] )");
    // At the end: left out.
    EXPECT_EQ(rule("[mark] Tentative [...]"), "[ mark ] tentative");
    EXPECT_EQ(rule("Copy [...] (item |task request) [to] [folder] "),
              "copy [<filler> [<filler>]] ( item | task request ) [ to ] [ folder ]");
    // Other speech: common words and phones, those of the commands and the fillers left to them.
    const std::string g = command_grammar({{"A", "Read it again"}, {"B", "   "}});
    EXPECT_NE(g.find("public <heard> = <command0> | <other>;"), std::string::npos) << g;
    EXPECT_NE(g.find("/0.0000000001/ garbage_phone_zh"), std::string::npos) << g;
    EXPECT_NE(g.find("/0.000000000001/ garbage_word_what"), std::string::npos) << g;
    EXPECT_EQ(g.find("garbage_word_it "), std::string::npos) << g;
    EXPECT_EQ(g.find("garbage_word_my "), std::string::npos) << g;
    EXPECT_EQ(cli::listen::command_words({{"A", "Turn off [the] (intro|Introduction)"}}),
              (std::vector<std::string>{"turn", "off", "the", "intro", "introduction"}));
    EXPECT_EQ(cli::listen::example_phrase("Delete [...] (item|task request) [to]", 0), "delete this item");
    EXPECT_EQ(cli::listen::example_phrase("Delete [...] (item|task request) [to]", 1), "delete the task request to");
}

TEST(Recognizer, NamesAWordTheDictionaryLacksAndRefusesUnusableWavFiles) {
    if (cli::listen::recognizer_built()) {
        cli::listen::Recognizer recognizer;
        try {
            recognizer.listen_for({{"Frob", "Frobnicate [the] message"}});
            FAIL() << "a word the dictionary lacks";
        } catch (const cli::listen::ListenError& e) {
            EXPECT_NE(std::string(e.what()).find("\"frobnicate\" of the command Frob"), std::string::npos) << e.what();
        }
    } else {
        EXPECT_THROW(cli::listen::Recognizer(), cli::listen::ListenError);
    }
    support::TempDir dir("wav");
    const auto wav = [&](std::string_view name, std::uint16_t channels, std::uint32_t rate, std::uint32_t data) {
        std::string b = "RIFF____WAVEfmt ";
        const auto put = [&b](std::uint32_t v, int n) {
            for (int i = 0; i < n; ++i) b += static_cast<char>((v >> (8 * i)) & 0xff);
        };
        put(16, 4), put(1, 2), put(channels, 2), put(rate, 4), put(rate * 2 * channels, 4), put(2 * channels, 2),
            put(16, 2);
        b += "data", put(data, 4), b += std::string(6, '\1');  // three samples, whatever size is claimed
        const auto path = (dir / name).string();
        std::ofstream(path, std::ios::binary) << b;
        return path;
    };
    EXPECT_EQ(cli::listen::read_wav(wav("ok.wav", 1, 16000, 6)).size(), 3u);
    EXPECT_EQ(cli::listen::read_wav(wav("cut.wav", 1, 16000, 1000)).size(), 3u);
    const auto refused = [](const std::string& path, std::string_view why) {
        try {
            cli::listen::read_wav(path);
            ADD_FAILURE() << path;
        } catch (const cli::listen::ListenError& e) {
            EXPECT_NE(std::string(e.what()).find(path + ": " + std::string(why)), std::string::npos) << e.what();
        }
    };
    refused(wav("fast.wav", 1, 22050, 6), "it is sampled at 22050 Hz");
    refused(wav("stereo.wav", 2, 16000, 6), "it has 2 channels");
    refused((dir / "absent.wav").string(), "cannot read the file");
    std::ofstream(dir / "text.wav") << "hello";
    refused((dir / "text.wav").string(), "not a WAV file");
}

}  // namespace
