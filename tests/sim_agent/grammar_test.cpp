#include "sim/grammar.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <stdexcept>
#include <string>

#include "sim_agent/catalogue_data.hpp"

namespace {

using sim::GrammarError;
using sim::VoiceGrammar;

const VoiceGrammar& grammar_of(const std::string& name) {
    static std::map<std::string, VoiceGrammar> compiled;
    if (auto it = compiled.find(name); it != compiled.end()) return it->second;
    for (const auto& row : sim_test::catalogue())
        if (row.name == name) return compiled.emplace(name, VoiceGrammar(*row.voice)).first->second;
    throw std::logic_error("no command " + name);
}

TEST(VoiceGrammar, EveryVoiceTextOfTheCatalogueCompiles) {
    for (const auto& row : sim_test::catalogue()) {
        if (row.voice) {
            EXPECT_NO_THROW(VoiceGrammar{*row.voice}) << row.name;
        }
    }
}

// What a user plausibly says for each command, and what `...` has to take for it.
TEST(VoiceGrammar, PhrasesMatchTheirCommand) {
    struct Case {
        const char* command;
        const char* heard;
        std::size_t taken;
    };
    const Case cases[] = {
        {"PrevNewMail", "Preview new messages", 0},
        {"PrevNewMail", "preview NEW email", 0},
        {"PauseNewMail", "Pause previewing", 0},
        {"PauseNewMail", "pause previewing new items", 0},
        {"PauseNewMail", "pause previewing emails", 0},
        {"ContinuNewMail", "Continue previewing new", 0},
        {"StopNewMail", "stop previewing new mail", 0},
        {"PrevItem", "Previous", 0},
        {"PrevItem", "previous item", 0},
        {"NextItem", "Next", 0},
        {"NextItem", "next message", 0},
        {"ReReadItem", "read again", 0},
        {"OpenThisItem", "Open the meeting request", 1},
        {"OpenThisItem", "open task request", 0},
        {"OpenThisItem", "open this email", 1},
        {"OpenAndRead", "open and read this message", 1},
        {"ReadThisItem", "read this email", 1},
        {"ReadThisItem", "Read   this\tmessage ", 1},
        {"ReadThisItem", "read the journal", 1},
        {"ReadThisItem", "read item", 0},
        {"PausReadItem", "pause reading", 0},
        {"PausReadItem", "pause reading this message", 1},
        {"ContReadItem", "continue reading the email", 1},
        {"StopReadItem", "stop reading now", 1},
        {"CloseItem", "close this contact", 1},
        {"DeleteItem", "delete contact", 0},
        {"DeleteItem", "delete that old mail", 2},
        {"CopyItem", "copy this message to folder", 1},
        {"CopyItem", "copy message", 0},
        {"MoveItem", "move the task to", 1},
        {"ForwItem", "forward email to", 0},
        {"ForwItem", "forward message", 0},
        {"ReplyItem", "reply to mail", 0},
        {"ReplyToAll", "Reply to all", 0},
        {"FlagItem", "flag meeting request for follow up", 0},
        {"AcceptItem", "accept this meeting", 1},
        {"DeclineItem", "decline the task request", 1},
        {"TentativeItem", "tentative", 0},
        {"TentativeItem", "mark tentative for now", 2},
        {"PrtItem", "print this appointment", 1},
        {"StrtNewAppoint", "start new appointment", 0},
        {"StrtNewCont", "start new contact", 0},
        {"StrtNewJourl", "start new journal entry", 0},
        {"StrtNewJourl", "start new journal", 0},
        {"StrtNewMail", "start new email", 0},
        {"StrtNewNote", "start new note", 0},
        {"StrtNewTask", "start new task", 0},
        {"ChngSortDescent", "Change order", 0},
        {"ChngSortDescent", "change the preview sort order", 0},
        {"TurnOffIntro", "Turn off the introduction", 0},
        {"TurnOffIntro", "turn off intro", 0},
        {"TurnOnIntro", "play the intro", 0},
        {"TurnOnIntro", "turn on introduction", 0},
    };
    for (const auto& c : cases) {
        const auto taken = grammar_of(c.command).match(c.heard);
        ASSERT_TRUE(taken.has_value()) << c.command << " should match \"" << c.heard << "\"";
        EXPECT_EQ(*taken, c.taken) << c.command << " \"" << c.heard << "\"";
    }
}

TEST(VoiceGrammar, PhrasesOutsideTheGrammarDoNotMatch) {
    struct Case {
        const char* command;
        const char* heard;
    };
    const Case cases[] = {
        {"PrevNewMail", "preview new"},                  // the alternative is not optional
        {"PrevNewMail", "preview new messages please"},  // nothing may follow
        {"PrevNewMail", "preview new message"},          // only the plural is in the grammar
        {"NextItem", "next next"},
        {"ReadThisItem", "read this"},                 // `...` cannot stand for the noun too
        {"ReadThisItem", "please read this message"},  // nothing may come first
        {"ReadThisItem", "read this meeting"},         // "meeting" alone is not an alternative here
        {"ReReadItem", "read"},
        {"ReplyToAll", "reply to"},
        {"FlagItem", "flag note for follow up"},  // the flag grammar has no note
        {"FlagItem", "flag item for follow"},
        {"StrtNewJourl", "start new journal entries"},
        {"ChngSortDescent", "change the the order"},
        {"TurnOffIntro", "turn off the"},
        {"TurnOnIntro", "play turn on intro"},
        {"TentativeItem", "mark"},
        {"DeleteItem", ""},
    };
    for (const auto& c : cases)
        EXPECT_FALSE(grammar_of(c.command).match(c.heard).has_value()) << c.command << " \"" << c.heard << "\"";
}

TEST(VoiceGrammar, NestedOptionalsAndAlternativesCombine) {
    const VoiceGrammar g("a [b [c] (d|e f)] [...] g");
    EXPECT_EQ(g.match("a g"), 0u);
    EXPECT_EQ(g.match("a b d g"), 0u);
    EXPECT_EQ(g.match("a b c e f g"), 0u);
    EXPECT_EQ(g.match("a b c g"), 2u);  // no alternative fits, so `...` takes "b c"
    EXPECT_EQ(g.match("a x y z g"), 3u);
    EXPECT_EQ(g.match("a b e g"), 2u);  // "e" without its "f" leaves both words to `...`
    EXPECT_FALSE(g.match("a b d").has_value());
}

TEST(VoiceGrammar, FewestWordsTakenWhenSeveralWaysMatch) {
    // "request" alone or "meeting request": `...` takes "the" rather than "the meeting".
    EXPECT_EQ(grammar_of("OpenThisItem").match("open the meeting request"), 1u);
    // The open grammar matches too, but only with three words taken.
    EXPECT_EQ(grammar_of("OpenThisItem").match("open and read this message"), 3u);
}

// Many optionals in a row and a long phrase: a backtracking matcher would take exponential
// time here; the compiled automaton answers at once.
TEST(VoiceGrammar, LongPhrasesAndManyOptionalsStayCheap) {
    std::string text;
    for (int i = 0; i < 40; ++i) text += "[...] [(x|x y)] ";
    text += "end";
    const VoiceGrammar g(text);
    std::string heard;
    for (int i = 0; i < 200; ++i) heard += "x y ";
    EXPECT_FALSE(g.match(heard + "z").has_value());
    EXPECT_EQ(g.match(heard + "end"), 320u);  // the 40 groups take 80 of the 400 words
}

TEST(VoiceGrammar, MalformedTextsAreRefusedWithThePlace) {
    for (const char* text : {"Open [...", "Open (a|b", "Open a)", "Open ]", "", "   "}) {
        try {
            VoiceGrammar g(text);
            ADD_FAILURE() << "accepted \"" << text << "\"";
        } catch (const GrammarError& e) {
            EXPECT_THAT(e.what(), ::testing::HasSubstr("column")) << text;
        }
    }
}

}  // namespace
