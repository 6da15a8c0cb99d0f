#include "reading/body.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "reading/announcement.hpp"
#include "support/lines.hpp"
#include "support/reader.hpp"

namespace {

using nlohmann::json;
using support::Reader;
using support::take_acts;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::Not;
using ::testing::StartsWith;

struct Case {
    std::string name;
    json item;
    std::string expected;
};

// An item "i1" of the class with the properties given.
json item(std::int32_t item_class, json properties = json::object()) {
    properties["EntryID"] = "i1";
    properties["Class"] = item_class;
    return properties;
}

json with_body(std::int32_t item_class, const std::string& body, json more = json::object()) {
    more["Body"] = body;
    return item(item_class, std::move(more));
}

void expect_bodies(const std::vector<Case>& cases) {
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Reader r{c.item};
        r.prepare("i1");
        take_acts(r.sim);
        r.run(reading::MakeBodyText);
        EXPECT_EQ(r.f.sReadText, c.expected);
        EXPECT_EQ(r.f.sBodyText, c.expected);
        EXPECT_THAT(take_acts(r.sim), Not(Contains(StartsWith("agent: "))));  // nothing played or said while composing
    }
}

TEST(Body, MailAndPostsPreferTheirHtmlBody) {
    expect_bodies({
        {"HTML and plain", with_body(43, "plain", {{"HTMLBody", "<b>Hi</b> there"}}), "Hi there\r\n"},
        {"plain only", with_body(43, "See you at noon. ***"), "See you at noon. "},
        {"neither", item(43), "What type of message is this?"},
        {"an HTML body that cannot be read gives way to the plain one",
         with_body(43, "plain", {{"HTMLBody", "<b>Hi</b>"}, {"fail", {"HTMLBody"}}}), "plain"},
        {"a body that cannot be read is empty", with_body(43, "plain", {{"fail", {"Body"}}}),
         "What type of message is this?"},
        {"post with HTML", with_body(45, "plain", {{"HTMLBody", "a|b"}}), "a b\r\n"},
        {"post, plain", with_body(45, "Notice"), "Notice"},
        {"empty post", item(45), "This post has no message."},
    });
}

// Emptiness is judged on the body as the item gives it: decoration alone is not empty, and cleans to nothing.
TEST(Body, DecorationAloneIsNotEmptyAndLeavesNothingToRead) {
    expect_bodies({
        {"mail", with_body(43, "======"), "This message has nothing to read."},
        {"task", with_body(48, "***---"), "This message has nothing to read."},
        {"with an attachment the attachment is all there is", with_body(43, "======", {{"Attachments", 1}}),
         "  There is an attachment."},
    });

    Reader r{with_body(43, "........")};
    r.f.sCurItemRef = "email";
    r.prepare("i1");
    r.run(reading::MakeBodyText);
    EXPECT_EQ(r.f.sReadText, "This email has nothing to read.");
}

TEST(Body, EachClassReadsItsNotesOrSaysWhyNot) {
    expect_bodies({
        {"appointment", with_body(26, "Bring | the files"), "Bring   the files"},
        {"appointment, no notes, an attachment", item(26, {{"Attachments", 1}}),
         "This Appointment has no note.  There is an attachment."},
        {"contact", item(40), "There is no note for this Contact."},
        {"document, whatever it holds", with_body(41, "text", {{"Attachments", 2}}),
         "Sorry, I can not read this document."},
        {"journal", item(42), "This journal has no message."},
        {"note, which has no attachments to ask for", item(44), "This note has no nothing to say."},
        {"note", with_body(44, "Buy milk"), "Buy milk"},
        {"task, three attachments", item(48, {{"Attachments", 3}}),
         "This task has no additional notes.  There are  3 attachments."},
        {"remote, with a body", with_body(47, "text", {{"Attachments", 1}}),
         "This is a remote item that must be downloaded to be read.  There is an attachment."},
        {"report", item(46), "This report item has no additional notes."},
        {"report", with_body(46, "Undeliverable"), "Undeliverable"},
    });
}

// Meeting and task request items never mention their attachments, and all meeting items share one sentence.
TEST(Body, RequestsAndTheirAnswers) {
    const std::vector<std::pair<std::int32_t, std::string>> empty = {
        {53, "This meeting request has no additional notes."},
        {54, "This meeting request has no additional notes."},
        {55, "This meeting request has no additional notes."},
        {56, "This meeting request has no additional notes."},
        {57, "This meeting request has no additional notes."},
        {49, "This task request has no additional notes."},
        {50, "This task request update has no additional notes."},
        {51, "This task request accept has no additional notes."},
        {52, "This task request decline has no additional notes."},
    };
    std::vector<Case> cases;
    for (const auto& [item_class, sentence] : empty) {
        cases.push_back({sentence, item(item_class, {{"Attachments", 3}}), sentence});
        cases.push_back({sentence + " with notes", with_body(item_class, "Agenda", {{"Attachments", 1}}), "Agenda"});
    }
    expect_bodies(cases);
}

TEST(Body, AnUnknownClassConfusesTheCharacter) {
    Reader r{with_body(69, "members", {{"Attachments", 2}}), json{{"EntryID", "x"}, {"Class", 69}}};
    r.prepare("i1");
    take_acts(r.sim);
    r.run(reading::MakeBodyText);
    EXPECT_EQ(r.f.sReadText,
              "Uncertainty has set in, about this item.  I don't think I can read it.  There are  2 attachments.");
    EXPECT_THAT(take_acts(r.sim), ElementsAre("agent: play \"Confused\""));

    // The sentence stands even when the character cannot play.
    r.prepare("x");
    r.sim.fault("Play", 1);
    r.run(reading::MakeBodyText);
    EXPECT_EQ(r.f.sReadText, "Uncertainty has set in, about this item.  I don't think I can read it.");
}

// Announce and read: the body follows the announcement in one reading text.
TEST(Body, FollowsTheAnnouncement) {
    Reader r{json{{"EntryID", "m1"},
                  {"Class", 43},
                  {"SenderName", "Bob"},
                  {"Subject", "Lunch"},
                  {"Body", "See you."},
                  {"Attachments", 1}}};
    r.f.iReadMode = 6;
    r.prepare("m1");
    r.run(reading::MakeAnnounceText);
    r.run(reading::MakeBodyText);
    EXPECT_EQ(r.f.sReadText,
              "This message is from Bob. It was received on none. Subject: Lunch. See you.  There is an attachment.");
}

}  // namespace
