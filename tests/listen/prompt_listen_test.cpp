// Push-to-talk at the prompt and in the demo: a recording given at the start, and the listening key
// recording from a stand-in for the capture program.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "cli/listen/recognizer.hpp"
#include "cli/terminal.hpp"
#include "support/temp_dir.hpp"

namespace {

using namespace std::chrono_literals;

TEST(PromptListening, HearsTheGivenRecordingAndWhatTheKeyRecords) {
    if (!cli::listen::recognizer_built()) GTEST_SKIP() << "built without speech recognition";
    if (std::system("command -v espeak-ng >/dev/null && command -v sox >/dev/null") != 0)
        GTEST_SKIP() << "espeak-ng and sox are needed to make the utterance";
    const support::TempDir dir("prompt-listen");
    const auto said = (dir / "said.wav").string();
    const auto raw = (dir / "raw.wav").string();
    ASSERT_EQ(std::system(("espeak-ng -w '" + raw + "' 'read this message' && sox -R '" + raw + "' -r 16000 -c 1 -b 16 '" +
                           said + "'").c_str()),
              0);
    // The capture program's stand-in: the utterance, a second of silence, then waiting to be stopped.
    const auto bin = dir / "bin";
    std::filesystem::create_directories(bin);
    for (const char* name : {"arecord", "parecord"}) {
        const auto fake = bin / name;
        std::ofstream(fake) << "#!/bin/sh\nsox '" << said << "' -t raw - 2>/dev/null\nhead -c 32000 /dev/zero\nexec sleep 30\n";
        ::chmod(fake.c_str(), 0755);
    }

    terminal::Terminal t({"repl", "--seed", "1", "--settings", (dir / "settings.ini").string(),
                          "--listen", "--listen-wav", said},
                         {"NO_COLOR=1", "TERM=xterm", "XDG_STATE_HOME=" + (dir / "state").string(),
                          "PATH=" + bin.string() + ":/usr/bin:/bin"});
    ASSERT_TRUE(t.started());
    ASSERT_TRUE(t.wait_for("type help for the commands"));
    t.send("help\r");
    EXPECT_TRUE(t.wait_for("Ctrl-T", 5s));
    t.send("start\rsetting PlayIntro False\rselect m3\rclick button\r");
    ASSERT_TRUE(t.wait_for("Dezzy: This message is from Dennis Park.", 30s)) << t.output();

    auto mark = t.output().size();
    t.send("\x03");
    ASSERT_TRUE(t.wait_for("Ctrl-C again to leave", 5s, mark));
    t.read_for(2500ms);
    mark = t.output().size();
    t.send("\x14");
    EXPECT_TRUE(t.wait_for("(listening through ", 5s, mark));
    EXPECT_TRUE(t.wait_for("(heard \"read ", 10s, mark)) << t.output().substr(mark);
    EXPECT_TRUE(t.wait_for("Dezzy: This message is from Dennis Park.", 20s, mark)) << t.output().substr(mark);
    t.send("\x04");
    EXPECT_EQ(t.finish(), 0);

    // The demo hears the key as the prompt does, while its tour goes on.
    terminal::Terminal demo({"demo", "--seed", "1", "--listen"},
                            {"NO_COLOR=1", "TERM=xterm", "PATH=" + bin.string() + ":/usr/bin:/bin"});
    ASSERT_TRUE(demo.started());
    ASSERT_TRUE(demo.wait_for("Dezzy: ", 30s)) << demo.output();
    mark = demo.output().size();
    demo.send("\x14");
    EXPECT_TRUE(demo.wait_for("(listening through ", 5s, mark)) << demo.output().substr(mark);
    EXPECT_TRUE(demo.wait_for("(heard \"read ", 10s, mark)) << demo.output().substr(mark);
}

}  // namespace
