#include "commands/catalogue.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "sim/agent.hpp"
#include "sim/faults.hpp"
#include "sim/sim_platform.hpp"
#include "support/started_form.hpp"

namespace {

using support::connected;
using support::mailbox;
using support::take;
using ::testing::ElementsAreArray;

// The catalogue with the default settings, as the character is given it.
const std::vector<std::string> kDefaultCatalogue{
    "agent: add \"OLPanel\" \"Outlook Rivuvuz &Panel\" -",
    "agent: add \"AdvCharOptions\" \"&Advanced Character Options\" -",
    "agent: add \"CharProperty\" \"&Character Properties\" -",
    "agent: commands Caption \"Outlook Dezaror Agent\"",
    "agent: commands VoiceCaption \"Outlook Dezaror Agent\"",
    "agent: commands Voice \"Outlook Dezaror Agent\"",
    "agent: add \"PrevNewMail\" \"Preview new messages\" \"Preview new (email |emails |mail |messages |items)\" True "
    "True",
    "agent: add \"PauseNewMail\" \"Pause previewing\" \"Pause previewing [new] [(email |emails |mail |messages "
    "|items)]\" False False",
    "agent: add \"ContinuNewMail\" \"Continue previewing\" \"Continue previewing [new] [(email |emails |mail |messages "
    "|items)]\" False False",
    "agent: add \"StopNewMail\" \"Stop previewing\" \"Stop previewing [new] [(email |emails |mail |messages |items)]\" "
    "False True",
    "agent: add \"PrevItem\" \"Previous message\" \"Previous [(email |mail |message |item)]\" True True",
    "agent: add \"NextItem\" \"Next message\" \"Next [(email |mail |message |item)]\" True True",
    "agent: add \"ReReadItem\" \"Read again\" \"Read again\" True True",
    "agent: add \"OpenThisItem\" \"Open this message\" \"Open [...] (item |email |mail |message |contact |task "
    "|appointment |journal |post |note |request |meeting request |task request)\" True True",
    "agent: add \"OpenAndRead\" \"Open and Read this message\" \"Open and read [...] (item |email |mail |message "
    "|contact |task |appointment |journal |post |note |request |meeting request |task request)\" True True",
    "agent: add \"ReadThisItem\" \"Read this message\" \"Read [...] (item |email |mail |message |contact |task "
    "|appointment |journal |post |note |request |meeting request |task request)\" True True",
    "agent: add \"PausReadItem\" \"Pause reading\" \"Pause reading [...] [(item |email |mail |message)]\" True True",
    "agent: add \"ContReadItem\" \"Continue reading\" \"Continue reading [...] [(item |email |mail |message)]\" True "
    "True",
    "agent: add \"StopReadItem\" \"Stop reading\" \"Stop reading [...] [(item |email |mail |message)]\" True True",
    "agent: add \"CloseItem\" \"Close message\" \"Close [...] (item |email |mail |message |contact |task |appointment "
    "|journal |post |note |request |meeting request |task request)\" True True",
    "agent: add \"DeleteItem\" \"Delete message\" \"Delete [...] (item|email|mail|message |contact |task |appointment "
    "|journal |post |note |request |meeting request |task request)\" True True",
    "agent: add \"CopyItem\" \"Copy message to\" \"Copy [...] (item |email |mail |message |contact |task |appointment "
    "|journal |post |note |request |meeting request |task request) [to] [folder] \" True True",
    "agent: add \"MoveItem\" \"Move message to\" \"Move [...] (item |email |mail |message |contact |task |appointment "
    "|journal |post |note |request |meeting request |task request) [to] [folder] \" True True",
    "agent: add \"ForwItem\" \"Forward message to\" \"Forward (item |email |mail |message) [to]\" True True",
    "agent: add \"ReplyItem\" \"Reply to message\" \"Reply to (item |email |mail |message)\" True True",
    "agent: add \"ReplyToAll\" \"Reply to all\" \"Reply to all\" True True",
    "agent: add \"FlagItem\" \"Flag item for follow up\" \"Flag "
    "(item|email|mail|message|contact|task|appointment|journal|post|request|meeting request|task request) for follow "
    "up\" True True",
    "agent: add \"AcceptItem\" \"Accept request\" \"Accept [...] "
    "(item|email|mail|message|task|appointment|meeting|request|meeting request|task request)\" False False",
    "agent: add \"DeclineItem\" \"Decline request\" \"Decline [...] "
    "(item|email|mail|message|task|appointment|meeting|request|meeting request|task request)\" False False",
    "agent: add \"TentativeItem\" \"mark Tentative\" \"[mark] Tentative [...]\" False False",
    "agent: add \"PrtItem\" \"Print message\" \"Print [...] "
    "(item|email|mail|message|contact|task|appointment|journal|post|note|request|meeting request|task request)\" True "
    "True",
    "agent: add \"StrtNewAppoint\" \"Start new appointment\" \"Start new appointment\" True True",
    "agent: add \"StrtNewCont\" \"Start new contact\" \"Start new contact\" True True",
    "agent: add \"StrtNewJourl\" \"Start new journal\" \"Start new journal [entry]\" True True",
    "agent: add \"StrtNewMail\" \"Start new mail\" \"Start new (email|mail|message)\" True True",
    "agent: add \"StrtNewNote\" \"Start new note\" \"Start new note\" True True",
    "agent: add \"StrtNewTask\" \"Start new task\" \"Start new task\" True True",
    "agent: add \"ChngSortDescent\" \"Change preview sort order\" \"Change [the] [preview] [sort] order\" True True",
    "agent: add \"TurnOffIntro\" \"Turn off intro\" \"Turn off [the] (intro|introduction)\" True True",
    "agent: add \"TurnOnIntro\" \"Play intro\" \"(Play|Turn on) [the] (intro|introduction)\" False False",
};

std::vector<std::string> adds(const std::vector<std::string>& lines) {
    std::vector<std::string> out;
    for (const auto& line : lines) {
        if (line.starts_with("agent: add ") || line.starts_with("agent: commands ")) out.push_back(line);
    }
    return out;
}

// The item word other than "message" and the catalogue without the introduction are in the
// commands_menu scenario.
TEST(Catalogue, DefaultSettingsGiveEveryCommandInOrder) {
    sim::SimPlatform sim{mailbox()};
    auto c = connected(sim);
    sim.click_button();
    EXPECT_THAT(adds(take(sim)), ElementsAreArray(kDefaultCatalogue));
}

// A refused command stops the building there; the character still starts with the commands before it.
TEST(Catalogue, RefusedAddStopsTheBuildingButNotTheStart) {
    // A first run counts the platform calls up to the add of PrevItem, the first item command; a
    // second one makes that call fail.
    std::uint64_t call = 0;
    {
        sim::SimPlatform sim{mailbox()};
        auto c = connected(sim);
        const auto before = sim.faults().calls();
        sim.transcript().set_sink([&](const std::string& line) {
            if (call == 0 && line.starts_with("agent: add \"PrevItem\" ")) call = sim.faults().calls() - before;
        });
        sim.click_button();
        sim.transcript().set_sink(nullptr);
        ASSERT_NE(call, 0u);
    }
    sim::SimPlatform sim{mailbox()};
    auto c = connected(sim);
    sim.faults().fail_call_number(call, false);
    sim.click_button();
    const auto lines = take(sim);
    const auto made = adds(lines);
    ASSERT_EQ(made.size(), 10u);
    EXPECT_THAT(made.back(), ::testing::StartsWith("agent: add \"StopNewMail\" "));
    const auto fault = std::find(lines.begin(), lines.end(), "fault: Commands.Add");
    ASSERT_LT(fault + 1, lines.end());
    EXPECT_EQ(fault[1], "msgbox: \"Outlook Dezaror Agent\" \"I had a problem loading one of your commands\"");
    EXPECT_TRUE(c.form().bAgentLoaded);
    sim.perform_all();
    EXPECT_THAT(sim.sim_agent().menu_lines(),
                ElementsAreArray({"menu: Outlook Rivuvuz &Panel", "menu: &Advanced Character Options",
                                  "menu: &Character Properties", "menu: Preview new messages",
                                  "menu: Stop previewing (greyed)"}));
}

}  // namespace
