// `dezaror demo` at a terminal: what a person watching sees, and the transcript on request.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "cli/terminal.hpp"
#include "support/temp_dir.hpp"

namespace {

using ::testing::AllOf;
using ::testing::Contains;
using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;

std::vector<std::string> read_lines(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// The tour as a person sees it: the character's words, one wording of each, the mail it changed
// and the menu it offered, and none of the plumbing; with --transcript, the transcript of the same
// seed exactly.
TEST(PersonView, ShowsTheTourAsAPersonSeesItAndTheTranscriptOnRequest) {
    const support::TempDir dir("person-view");
    const std::vector<std::string> env{"NO_COLOR=1", "TERM=xterm"};
    terminal::Terminal shown({"demo", "--seed", "1", "--settings", (dir / "a.ini").string()}, env);
    ASSERT_TRUE(shown.started());
    EXPECT_EQ(shown.finish(), 0);
    const auto lines = shown.lines();
    EXPECT_THAT(lines, Not(Contains(StartsWith("agent: "))));
    EXPECT_THAT(lines, Not(Contains(StartsWith("office: "))));
    EXPECT_THAT(lines, Not(Contains(HasSubstr("done"))));
    std::size_t spoken = 0;
    for (const auto& line : lines) {
        if (!line.starts_with("Dezzy")) continue;
        ++spoken;
        EXPECT_THAT(line, Not(HasSubstr("|"))) << "one wording of a text";
    }
    EXPECT_GT(spoken, 30u);
    EXPECT_THAT(lines, Contains("Dezzy: Hello, Ada Lovelace"));
    EXPECT_THAT(lines, Contains("Dezzy (waves): Until next time."));
    EXPECT_THAT(lines, Contains("mail: \"Welcome to the team\" marked read"));
    EXPECT_THAT(lines, Contains("mail: \"Lunch on Thursday\" flagged for follow up"));
    EXPECT_THAT(lines, Contains("mail: \"Lunch on Thursday\" copied to Archive"));
    EXPECT_THAT(lines, Contains("mail: meeting \"Project review\" accepted"));
    EXPECT_THAT(lines, Contains(AllOf(StartsWith("menu: "), HasSubstr(" | Stop previewing (greyed) | "))));
    EXPECT_THAT(lines, Contains("> say read this message"));
    EXPECT_THAT(shown.output(), Not(HasSubstr("\x1b[")));

    terminal::Terminal transcript({"demo", "--seed", "1", "--settings", (dir / "b.ini").string(), "--transcript"}, env);
    ASSERT_TRUE(transcript.started());
    EXPECT_EQ(transcript.finish(), 0);
    EXPECT_EQ(transcript.lines(),
              read_lines(std::filesystem::path(DEZAROR_SOURCE_DIR) / "tests" / "cli" / "demo_tour.out"));
}

}  // namespace
