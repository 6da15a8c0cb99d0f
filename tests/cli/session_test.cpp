#include "cli/session.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

#include "sim/mailbox.hpp"
#include "sim/sim_platform.hpp"

namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::Not;
using ::testing::StartsWith;

constexpr std::string_view kMailbox = R"({
  "user": "Ada Lovelace",
  "now": "2001-03-06T15:05:00",
  "explorer": {"folder": "Inbox", "view": "Messages", "selection": ["m1"]},
  "folders": [
    {"name": "Inbox", "inbox": true, "items": [
      {"EntryID": "m1", "Class": 43, "SenderName": "Bob Smith", "Subject": "Lunch",
       "ReceivedTime": "2001-03-06T12:30:00", "UnRead": true, "Body": "See you at noon."}
    ]}
  ]
})";

struct Run {
    int status;
    std::vector<std::string> lines;
};

Run run(std::string_view scenario) {
    sim::SimPlatform sim{sim::load_mailbox(kMailbox, "t.json")};
    std::ostringstream out;
    int status = 0;
    {
        cli::Session session(sim, out);
        std::istringstream in{std::string(scenario)};
        status = session.run(in, "t.dz");
    }
    Run result{status, {}};
    std::istringstream lines(out.str());
    for (std::string line; std::getline(lines, line);) result.lines.push_back(line);
    return result;
}

std::vector<std::string> echoes(const Run& r) {
    std::vector<std::string> out;
    for (const auto& line : r.lines)
        if (line.starts_with("> ") || line.starts_with("! ")) out.push_back(line);
    return out;
}

TEST(ScenarioRun, EchoesEachCommandAsWrittenBeforeWhatItCaused) {
    const auto r = run("\n  # the mail client\nstart   # with its explorer\n\nshow state iReadMode bAgentLoaded\n");
    EXPECT_EQ(r.status, 0);
    ASSERT_FALSE(r.lines.empty());
    EXPECT_EQ(r.lines.front(), "> start");
    EXPECT_THAT(r.lines, Contains("office: add button \"Advanced\""));
    const auto n = r.lines.size();
    ASSERT_GE(n, 3u);
    EXPECT_THAT(
        std::vector(r.lines.end() - 3, r.lines.end()),
        ElementsAre("> show state iReadMode bAgentLoaded", "state: iReadMode = 0", "state: bAgentLoaded = False"));
}

TEST(ScenarioRun, StopsAtTheFirstUnusableLineNamingFileAndLine) {
    const auto unknown_command = run("start\njump\nquit\n");
    EXPECT_EQ(unknown_command.status, 2);
    EXPECT_THAT(echoes(unknown_command), ElementsAre("> start", "> jump", "! t.dz:2: unknown command \"jump\""));

    const auto unknown_item = run("start\n\nopen m404\nquit\n");
    EXPECT_EQ(unknown_item.status, 2);
    EXPECT_THAT(echoes(unknown_item).back(), StartsWith("! t.dz:3: "));
    EXPECT_THAT(unknown_item.lines, Not(Contains("> quit")));

    const auto unknown_folder = run("start\nfolder Nowhere\n");
    EXPECT_EQ(unknown_folder.status, 2);
    EXPECT_THAT(echoes(unknown_folder).back(), StartsWith("! t.dz:2: "));
}

TEST(ScenarioRun, StateOfUnknownFieldsOrBeforeStartIsUnusable) {
    EXPECT_THAT(echoes(run("show state iReadMode\n")),
                ElementsAre("> show state iReadMode", "! t.dz:1: the add-in has no form before \"start\""));
    // A misspelt field among good ones prints none of them.
    const auto r = run("start\nshow state iReadMode iReedMode\n");
    EXPECT_EQ(r.lines.back(), "! t.dz:2: the form has no field \"iReedMode\"");
    EXPECT_THAT(r.lines, Not(Contains(StartsWith("state: "))));
}

}  // namespace
