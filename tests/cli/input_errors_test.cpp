// Unusable input given to `dezaror`: refused before anything runs, on standard error, naming the
// input and the reason, with status 2 and nothing written.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/temp_dir.hpp"

namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

Outcome run(const fs::path& dir, const std::vector<std::string>& args) {
    std::string command = std::string("cd '") + dir.string() + "' && '" + DEZAROR_BINARY + "'";
    for (const auto& a : args) command += " '" + a + "'";
    command += " </dev/null >'" + (dir / "out.txt").string() + "' 2>'" + (dir / "err.txt").string() + "'";
    const int status = std::system(command.c_str());
    Outcome o{WIFEXITED(status) ? WEXITSTATUS(status) : -1, support::read_file(dir / "out.txt"),
              support::read_file(dir / "err.txt")};
    fs::remove(dir / "out.txt");
    fs::remove(dir / "err.txt");
    return o;
}

std::vector<std::string> files_in(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(dir)) names.push_back(entry.path().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(InputErrors, AreRefusedBeforeAnythingRunsNamingTheInputAndTheReason) {
    const support::TempDir dir("input-errors");
    const auto d = dir.path();
    fs::create_directories(d / "folder");
    { std::ofstream(d / "tour.dz") << "start\nquit\n"; }
    { std::ofstream(d / "notes.txt") << "just some words\nand more\n"; }
    { std::ofstream(d / "two.mbox") << "From a\nSubject: One\n\nfirst\n\nFrom b\nSubject: Two\n\nsecond\n"; }
    const auto before = files_in(d);

    struct Case {
        std::vector<std::string> args;
        std::string input;   // named in the message
        std::string reason;  // ... with the reason
    };
    // Each would write a settings file or a WAV if it ran.
    const std::vector<Case> cases{
        {{"run", "folder"}, "folder", "Is a directory"},
        {{"pieces", "folder"}, "folder", "Is a directory"},
        {{"read", "folder"}, "folder", "Is a directory"},
        {{"run", "missing.dz"}, "missing.dz", "No such file or directory"},
        {{"run", "tour.dz", "--wav", "folder", "--settings", "s.ini"}, "folder", "Is a directory"},
        {{"run", "tour.dz", "--wav", "nowhere/t.wav"}, "nowhere/t.wav", "No such file or directory"},
        {{"run", "tour.dz", "--settings", "folder"}, "folder", "Is a directory"},
        {{"demo", "--mailbox", "notes.txt", "--settings", "s.ini", "--wav", "t.wav"}, "notes.txt", "is no mailbox"},
        {{"repl", "--mailbox", "folder", "--settings", "s.ini", "--wav", "t.wav"}, "folder", "no Maildir"},
        {{"demo", "--mailbox", "missing.json", "--settings", "s.ini"}, "missing.json", "No such file or directory"},
        {{"read", "two.mbox", "--index", "3"}, "two.mbox", "it holds 2 messages"},
        {{"raed", "two.mbox"}, "raed", "did you mean \"read\""},
        {{}, "Usage: dezaror", "SUBCOMMAND"},
    };
    for (const auto& c : cases) {
        const auto o = run(d, c.args);
        const auto what = c.args.empty() ? std::string("(none)") : c.args.front() + " ... " + c.input;
        EXPECT_EQ(o.status, 2) << what;
        EXPECT_EQ(o.out, "") << what;
        EXPECT_THAT(o.err, HasSubstr(c.input)) << what;
        EXPECT_THAT(o.err, HasSubstr(c.reason)) << what;
        EXPECT_EQ(files_in(d), before) << what << ": nothing written";
    }

    // What is asked for rather than wrong: help, the version, a message given as a mailbox, and
    // every message of an mbox read in turn.
    EXPECT_THAT(run(d, {"help"}).out, HasSubstr("repl"));
    EXPECT_THAT(run(d, {"--version"}).out, HasSubstr("dezaror "));
    const auto read = run(d, {"read", "two.mbox"});
    EXPECT_EQ(read.status, 0);
    EXPECT_THAT(read.out, HasSubstr("message 1 of 2"));
    EXPECT_THAT(read.out, HasSubstr("message 2 of 2"));
    EXPECT_THAT(read.out, HasSubstr("second"));
}

}  // namespace
