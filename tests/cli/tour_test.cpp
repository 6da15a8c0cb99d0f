// `dezaror demo`: the bundled tour on the bundled sample mailbox, run by the program itself.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/temp_dir.hpp"

namespace {

namespace fs = std::filesystem;

using ::testing::Contains;
using ::testing::Not;
using ::testing::StartsWith;

struct Demo {
    int status = -1;
    std::vector<std::string> lines;
};

// The demo with a fixed seed and its own settings store, so that the user's store is left alone and
// the run repeats.
Demo run_demo(const fs::path& settings) {
    const std::string command =
        std::string("'") + DEZAROR_BINARY + "' demo --seed 1 --settings '" + settings.string() + "' 2>/dev/null";
    Demo demo;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return demo;
    std::string text;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) text.append(buffer, n);
    const int wait_status = pclose(pipe);
    demo.status = WIFEXITED(wait_status) ? WEXITSTATUS(wait_status) : -1;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) demo.lines.push_back(line);
    return demo;
}

std::vector<std::string> read_lines(const fs::path& path) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// The whole tour, from a fresh settings store: the introduction, the preview, a reading paused,
// continued, read again and stopped, open and read, a flag, a copy, an accepted meeting request and
// the goodbye. The expected transcript beside this file was checked line by line.
TEST(Demo, RunsTheTourToItsEnd) {
    const support::TempDir dir("tour");
    const auto demo = run_demo(dir / "fresh.ini");
    EXPECT_EQ(demo.status, 0);
    const auto expected = read_lines(fs::path(DEZAROR_SOURCE_DIR) / "tests" / "cli" / "demo_tour.out");
    ASSERT_FALSE(expected.empty());
    for (std::size_t i = 0; i < std::min(expected.size(), demo.lines.size()); ++i)
        ASSERT_EQ(demo.lines[i], expected[i]) << "line " << i + 1;
    EXPECT_EQ(demo.lines.size(), expected.size());
}

// The user's own store changes what the tour shows (no introduction, the oldest message first), but
// the tour still reaches every one of its steps and its end.
TEST(Demo, RunsToItsEndWithTheUsersOwnSettings) {
    const support::TempDir dir("tour");
    const auto settings = dir / "own.ini";
    {
        std::ofstream out(settings);
        out << "[Outlook Dezaror Agent/Settings]\nPlayIntro=False\nNeMSortDescend=False\nCurItemRef=email\n";
    }
    const auto demo = run_demo(settings);
    EXPECT_EQ(demo.status, 0);
    EXPECT_THAT(demo.lines, Not(Contains(StartsWith("! "))));
    EXPECT_THAT(demo.lines, Contains("agent: speak \"I will read starting with the oldest ones first.\" #8"));
    EXPECT_THAT(demo.lines, Contains("outlook: FlagRequest m1 \"Follow up\""));
    EXPECT_THAT(demo.lines, Contains("outlook: Move m1.copy1 \"Archive\""));
    EXPECT_THAT(demo.lines, Contains("outlook: Respond m5.appointment 3 False True"));
    ASSERT_FALSE(demo.lines.empty());
    EXPECT_EQ(demo.lines.back(), "agent: connected False");
}

}  // namespace
