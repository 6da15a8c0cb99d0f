// `dezaror repl` at a terminal, driven key by key.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "cli/terminal.hpp"
#include "support/temp_dir.hpp"

namespace {

using namespace std::chrono_literals;
using ::testing::Contains;
using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;

// Completion of commands and ids, a reading cut by Ctrl-C with the prompt going on (also while `done`
// waits), and two Ctrl-C leaving as Ctrl-D does: the goodbye, the settings and the history written.
TEST(Prompt, CompletesCutsSpeechWithCtrlCAndLeavesOnTheSecond) {
    const support::TempDir dir("prompt");
    const auto settings = dir / "settings.ini";
    terminal::Terminal t({"repl", "--seed", "1", "--settings", settings.string()},
                         {"NO_COLOR=1", "TERM=xterm", "XDG_STATE_HOME=" + (dir / "state").string()});
    ASSERT_TRUE(t.started());
    ASSERT_TRUE(t.wait_for("type help for the commands"));
    t.send("start\r");
    t.send("setting PlayIntro False\r");
    t.send("click button\r");
    ASSERT_TRUE(t.wait_for("Dezzy: "));

    auto mark = t.output().size();
    t.send("s\t\t");
    EXPECT_TRUE(t.wait_for("select", 5s, mark));
    EXPECT_THAT(t.output().substr(mark), HasSubstr("say"));
    t.send("\x15");  // the line typed so far is erased
    mark = t.output().size();
    t.send("select \t\t");
    EXPECT_TRUE(t.wait_for("m11", 5s, mark));
    EXPECT_THAT(t.output().substr(mark), HasSubstr("none"));
    t.send("\x15");
    mark = t.output().size();
    t.send("say read th\t");
    EXPECT_TRUE(t.wait_for("say read this message", 5s, mark));
    t.send("\x15");

    t.send("select m3\r");
    mark = t.output().size();
    t.send("say read this message\r");
    ASSERT_TRUE(t.wait_for("Dezzy: This message is from Dennis Park.", 20s, mark));
    t.send("\x03");
    ASSERT_TRUE(t.wait_for("Ctrl-C again to leave", 5s, mark));
    mark = t.output().size();
    t.read_for(2500ms);
    EXPECT_THAT(t.output().substr(mark), Not(HasSubstr("Dezzy"))) << "the reading was cut";

    // The same while `done` waits for the character: the cut comes at once, not when the reading ends.
    mark = t.output().size();
    t.send("say read this message\r");
    t.send("done\r");
    ASSERT_TRUE(t.wait_for("Dezzy: This message is from Dennis Park.", 20s, mark));
    t.send("\x03");
    ASSERT_TRUE(t.wait_for("Ctrl-C again to leave", 3s, mark)) << t.output().substr(mark);
    mark = t.output().size();
    t.read_for(2500ms);
    EXPECT_THAT(t.output().substr(mark), Not(HasSubstr("Dezzy"))) << "the reading was cut";
    t.send("show state iReadMode\r");
    EXPECT_TRUE(t.wait_for("state: iReadMode = ", 5s, mark));
    EXPECT_THAT(t.lines(), Not(Contains(StartsWith("> show state")))) << "no second echo";

    t.send("\x03");
    t.read_for(200ms);
    t.send("\x03");
    EXPECT_EQ(t.finish(), 0);
    EXPECT_THAT(t.output(), HasSubstr("Dezzy leaves"));
    EXPECT_THAT(support::read_file(settings), HasSubstr("AgentLeft="));
    EXPECT_THAT(support::read_file(dir / "state" / "dezaror" / "history"), HasSubstr("select"));
}

}  // namespace
