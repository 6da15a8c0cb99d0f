#include "commands/catalogue.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "character/startup.hpp"
#include "reading_speech/character_fake.hpp"

namespace {

using fake::FakeHost;
using fake::loaded_form;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::Not;

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

TEST(Catalogue, DefaultSettingsGiveEveryCommandInOrder) {
    FakeHost host;
    auto f = loaded_form(host);
    commands::LoadCommands(*f);
    EXPECT_THAT(host.take(), ElementsAreArray(kDefaultCatalogue));
}

TEST(Catalogue, CaptionsUseTheItemWordOfTheStart) {
    FakeHost host;
    auto f = loaded_form(host);
    f->sCurItemRef = "email";
    commands::LoadCommands(*f);
    const auto lines = adds(host.take());
    for (const std::string caption :
         {"Preview new emails", "Previous email", "Next email", "Open this email", "Open and Read this email",
          "Read this email", "Close email", "Delete email", "Copy email to", "Move email to", "Forward email to",
          "Reply to email", "Print email"}) {
        EXPECT_THAT(lines, Contains(::testing::HasSubstr(" \"" + caption + "\" "))) << caption;
    }
    EXPECT_THAT(lines, Not(Contains(::testing::HasSubstr("message\" \""))));
}

TEST(Catalogue, WithoutTheIntroductionPlayIntroIsOffered) {
    FakeHost host;
    auto f = loaded_form(host);
    f->bPlayIntro = false;
    commands::LoadCommands(*f);
    const auto lines = adds(host.take());
    ASSERT_EQ(lines.size(), kDefaultCatalogue.size());
    EXPECT_EQ(lines[lines.size() - 2],
              "agent: add \"TurnOffIntro\" \"Turn off intro\" \"Turn off [the] (intro|introduction)\" False False");
    EXPECT_EQ(lines.back(),
              "agent: add \"TurnOnIntro\" \"Play intro\" \"(Play|Turn on) [the] (intro|introduction)\" True True");
}

// A refused command stops the building there; the character still starts with the commands before it.
TEST(Catalogue, RefusedAddStopsTheBuildingButNotTheStart) {
    FakeHost host;
    character::frmAgentCtrl f(host);
    // Connected, Characters.Load, three adds, the three properties of the set; then PrevItem, the fifth add
    // after them, fails.
    host.world.faults.fail_call_number(2 + 6 + 5, false);
    character::InitAgent(f);
    const auto lines = host.take();
    const auto made = adds(lines);
    ASSERT_EQ(made.size(), 10u);
    EXPECT_THAT(made.back(), ::testing::StartsWith("agent: add \"StopNewMail\" "));
    EXPECT_THAT(lines, Contains("fault: Commands.Add"));
    EXPECT_EQ(lines.back(), "msgbox: \"Outlook Dezaror Agent\" \"I had a problem loading one of your commands\"");
    EXPECT_TRUE(f.bAgentLoaded);
    EXPECT_EQ(host.character().command_set()->names.size(), 7u);
}

}  // namespace
