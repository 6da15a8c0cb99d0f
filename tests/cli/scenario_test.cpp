#include "cli/scenario.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>

namespace {

using cli::Command;
using cli::parse_line;
using cli::Place;
using cli::ScenarioError;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using Args = std::vector<std::string>;

Command parsed(std::string_view line) {
    auto c = parse_line(line, Place{"t.dz", 7});
    EXPECT_TRUE(c.has_value()) << line;
    return c.value_or(Command{});
}

std::string error_of(std::string_view line) {
    try {
        parse_line(line, Place{"t.dz", 1});
    } catch (const ScenarioError& e) {
        return e.what();
    }
    ADD_FAILURE() << "accepted: " << line;
    return {};
}

struct Form {
    std::string_view line;
    std::string_view form;
    Args args;
};

TEST(ScenarioParser, EveryCommandForm) {
    const Form forms[] = {
        {"start", "start", {}},
        {"quit", "quit", {}},
        {"click button", "click button", {}},
        {"click menu", "click menu", {}},
        {"folder Archive/Old Stuff", "folder PATH", {"Archive/Old Stuff"}},
        {"select m1  m2", "select ID...", {"m1", "m2"}},
        {"select none", "select none", {}},
        {"view By Sender", "view NAME", {"By Sender"}},
        {"open m1", "open ID", {"m1"}},
        {"close m1", "close ID", {"m1"}},
        {"close explorer", "close explorer", {}},
        {"activate explorer", "activate explorer", {}},
        {"activate m2", "activate ID", {"m2"}},
        {"activate none", "activate none", {}},
        {"activate other", "activate other", {}},
        {"remove m3", "remove ID", {"m3"}},
        {"mark m1 read", "mark ID read", {"m1"}},
        {"mark m1 unread", "mark ID unread", {"m1"}},
        {"reminder a1", "reminder ID", {"a1"}},
        {"send n1", "send ID", {"n1"}},
        {"pick Deleted Items", "pick PATH", {"Deleted Items"}},
        {"pick cancel", "pick cancel", {}},
        {"addfolder New Projects", "addfolder NAME", {"New Projects"}},
        {"removefolder Old", "removefolder NAME", {"Old"}},
        {"say  read   this message ", "say WORDS", {"read   this message"}},
        {"hear words.wav", "hear FILE.wav", {"words.wav"}},
        {"menu Stop previewing", "menu NAME", {"Stop previewing"}},
        {"done", "done [N]", {}},
        {"fail next", "fail next", {}},
        {"wait 130", "wait SECONDS", {}},
        {"tick", "tick", {}},
        {"fault Characters.Load", "fault CALL [N]", {"Characters.Load"}},
        {"heal Speak", "heal CALL", {"Speak"}},
        {"setting GreetLine Hello there!|Hi.", "setting KEY VALUE", {"GreetLine", "Hello there!|Hi."}},
        {"show settings", "show settings", {}},
        {"show menu", "show menu", {}},
        {"show state iReadMode oCurReadItem", "show state FIELD...", {"iReadMode", "oCurReadItem"}},
        {"show item m1", "show item ID", {"m1"}},
        {"show folder Archive/2001", "show folder PATH", {"Archive/2001"}},
    };
    for (const auto& form : forms) {
        const auto c = parsed(form.line);
        ASSERT_NE(c.command, nullptr) << form.line;
        EXPECT_EQ(c.command->form, form.form) << form.line;
        EXPECT_EQ(c.args, form.args) << form.line;
    }
}

// Every form of the table is reachable: a line written after it parses to that form, not to
// another of the same name that would swallow it.
TEST(ScenarioParser, EveryFormOfTheTableParsesToItself) {
    const std::map<std::string_view, std::string_view> filled{
        {"ID", "m1"},        {"ID...", "m1 m2"},   {"FIELD...", "iReadMode"}, {"PATH", "Archive/2001"},
        {"NAME", "By Sender"}, {"WORDS", "read this"}, {"FILE.wav", "a.wav"},     {"VALUE", "v w"},
        {"{ITEM}", R"({"EntryID": "x", "Class": 43})"},  {"SECONDS", "65"},       {"[N]", "2"},
        {"CALL", "Speak"},   {"KEY", "GreetLine"},
    };
    for (const auto& command : cli::scenario_commands()) {
        std::string line(command.name());
        for (const auto word : cli::form_words(command)) {
            const auto fill = filled.find(word);
            line += " " + std::string(fill == filled.end() ? word : fill->second);
        }
        const auto c = parsed(line);
        ASSERT_NE(c.command, nullptr) << line;
        EXPECT_EQ(c.command->form, command.form) << line;
    }
}

TEST(ScenarioParser, NumbersWhereTheyAreOptional) {
    EXPECT_EQ(parsed("done").number, std::nullopt);
    EXPECT_EQ(parsed("done 3").number, 3);
    EXPECT_EQ(parsed("wait 65").number, 65);
    EXPECT_EQ(parsed("fault Speak").number, std::nullopt);
    EXPECT_EQ(parsed("fault Speak 2").number, 2);
}

TEST(ScenarioParser, KeepsTheCommandAsWrittenAndItsPlace) {
    const auto c = parsed("   say read this message   # the usual phrase");
    EXPECT_EQ(c.text, "say read this message");
    EXPECT_EQ(c.args, Args{"read this message"});
    EXPECT_EQ(c.place.file, "t.dz");
    EXPECT_EQ(c.place.line, 7);
}

TEST(ScenarioParser, BlankAndCommentLinesAreNoCommands) {
    EXPECT_FALSE(parse_line("", {}));
    EXPECT_FALSE(parse_line("  \t\r", {}));
    EXPECT_FALSE(parse_line("# start", {}));
    EXPECT_FALSE(parse_line("   # arrive {\"EntryID\": \"x\"}", {}));
}

TEST(ScenarioParser, AHashInsideTheJsonOfAnArrivalIsNoComment) {
    const auto c = parsed(R"(arrive {"EntryID": "m9", "Class": 43, "Subject": "Issue #4 \"#5\""}  # late)");
    EXPECT_EQ(c.command->form, "arrive {ITEM}");
    EXPECT_EQ(c.item.at("Subject"), "Issue #4 \"#5\"");
    EXPECT_EQ(c.text, R"(arrive {"EntryID": "m9", "Class": 43, "Subject": "Issue #4 \"#5\""})");
    // Elsewhere a quote is an ordinary character, so the comment still starts at the hash.
    EXPECT_EQ(parsed(R"(say "quoted # words")").args, Args{"\"quoted"});
}

TEST(ScenarioParser, ValueOfASettingKeepsItsInnerBlanks) {
    EXPECT_THAT(parsed("setting ExitLine   See you  later.  ").args, ElementsAre("ExitLine", "See you  later."));
    EXPECT_THAT(parsed("setting ExitLine").args, ElementsAre("ExitLine", ""));
}

TEST(ScenarioParser, UnusableLinesSayWhatIsWrong) {
    EXPECT_THAT(error_of("jump m1"), HasSubstr("unknown command \"jump\""));
    EXPECT_THAT(error_of("Start"), HasSubstr("unknown command \"Start\""));
    EXPECT_THAT(error_of("start now"), HasSubstr("\"start\" takes no arguments"));
    EXPECT_THAT(error_of("click toolbar"), HasSubstr("\"button\" or \"menu\""));
    EXPECT_THAT(error_of("open"), HasSubstr("one item id"));
    EXPECT_THAT(error_of("open m1 m2"), HasSubstr("one item id"));
    EXPECT_THAT(error_of("select"), HasSubstr("item ids"));
    EXPECT_THAT(error_of("mark m1 seen"), HasSubstr("\"read\" or \"unread\""));
    EXPECT_THAT(error_of("done all"), HasSubstr("number of requests"));
    EXPECT_THAT(error_of("done -1"), HasSubstr("number of requests"));
    EXPECT_THAT(error_of("wait"), HasSubstr("number of seconds"));
    EXPECT_THAT(error_of("wait 1.5"), HasSubstr("number of seconds"));
    EXPECT_THAT(error_of("fault"), HasSubstr("platform call"));
    EXPECT_THAT(error_of("fault Speak 0"), HasSubstr("platform call"));
    EXPECT_THAT(error_of("fail now"), HasSubstr("\"next\""));
    EXPECT_THAT(error_of("folder"), HasSubstr("folder path"));
    EXPECT_THAT(error_of("say"), HasSubstr("words"));
    EXPECT_THAT(error_of("show"), HasSubstr("\"settings\""));
    EXPECT_THAT(error_of("show state"), HasSubstr("\"state FIELD...\""));
    EXPECT_THAT(error_of("show item m1 m2"), HasSubstr("\"item ID\""));
    EXPECT_THAT(error_of("arrive"), HasSubstr("JSON object"));
    EXPECT_THAT(error_of("arrive [1, 2]"), HasSubstr("JSON object"));
    EXPECT_THAT(error_of(R"(arrive {"EntryID": "m9")"), HasSubstr("JSON object"));
    EXPECT_THAT(error_of(R"(arrive {"EntryID": "m9", "Class": 1e999})"), HasSubstr("number overflow"));
}

}  // namespace
