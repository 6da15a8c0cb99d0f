#include "reading/body.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

#include "reading/announcement.hpp"
#include "reading_item/item_fake.hpp"

namespace {

using item_fake::FakeHost;
using item_fake::FakeItem;
using item_fake::Started;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ItemPtr = std::shared_ptr<FakeItem>;

struct Case {
    std::string name;
    std::function<ItemPtr(FakeHost&)> make;
    std::string expected;
};

void expect_bodies(const std::vector<Case>& cases) {
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Started s;
        s.prepare(c.make(s.host));
        s.host.take();
        reading::MakeBodyText(s.f);
        EXPECT_EQ(s.f.sReadText, c.expected);
        EXPECT_EQ(s.f.sBodyText, c.expected);
        EXPECT_THAT(s.host.take(), IsEmpty());  // nothing played or said while composing
    }
}

ItemPtr with_body(FakeHost& h, std::int32_t item_class, std::string body) {
    return h.item("i1", item_class)->set("Body", std::move(body));
}

TEST(Body, MailAndPostsPreferTheirHtmlBody) {
    expect_bodies({
        {"HTML and plain", [](FakeHost& h) { return with_body(h, 43, "plain")->set("HTMLBody", "<b>Hi</b> there"); },
         "Hi there\r\n"},
        {"plain only", [](FakeHost& h) { return with_body(h, 43, "See you at noon. ***"); }, "See you at noon. "},
        {"neither", [](FakeHost& h) { return h.item("m1", 43); }, "What type of message is this?"},
        {"an HTML body that cannot be read gives way to the plain one",
         [](FakeHost& h) { return with_body(h, 43, "plain")->set("HTMLBody", "<b>Hi</b>")->fail("HTMLBody"); },
         "plain"},
        {"a body that cannot be read is empty", [](FakeHost& h) { return with_body(h, 43, "plain")->fail("Body"); },
         "What type of message is this?"},
        {"post with HTML", [](FakeHost& h) { return with_body(h, 45, "plain")->set("HTMLBody", "a|b"); }, "a b\r\n"},
        {"post, plain", [](FakeHost& h) { return with_body(h, 45, "Notice"); }, "Notice"},
        {"empty post", [](FakeHost& h) { return h.item("p1", 45); }, "This post has no message."},
    });
}

// Emptiness is judged on the body as the item gives it: decoration alone is not empty, and cleans to nothing.
TEST(Body, DecorationAloneIsNotEmptyAndLeavesNothingToRead) {
    expect_bodies({
        {"mail", [](FakeHost& h) { return with_body(h, 43, "======"); }, "This message has nothing to read."},
        {"task", [](FakeHost& h) { return with_body(h, 48, "***---"); }, "This message has nothing to read."},
        {"with an attachment the attachment is all there is",
         [](FakeHost& h) { return with_body(h, 43, "======")->set("Attachments", 1); }, "  There is an attachment."},
    });

    Started s;
    s.f.sCurItemRef = "email";
    s.prepare(with_body(s.host, 43, "........"));
    reading::MakeBodyText(s.f);
    EXPECT_EQ(s.f.sReadText, "This email has nothing to read.");
}

TEST(Body, EachClassReadsItsNotesOrSaysWhyNot) {
    expect_bodies({
        {"appointment", [](FakeHost& h) { return with_body(h, 26, "Bring | the files"); }, "Bring   the files"},
        {"appointment, no notes, an attachment", [](FakeHost& h) { return h.item("a1", 26)->set("Attachments", 1); },
         "This Appointment has no note.  There is an attachment."},
        {"contact", [](FakeHost& h) { return h.item("c1", 40); }, "There is no note for this Contact."},
        {"document, whatever it holds", [](FakeHost& h) { return with_body(h, 41, "text")->set("Attachments", 2); },
         "Sorry, I can not read this document."},
        {"journal", [](FakeHost& h) { return h.item("j1", 42); }, "This journal has no message."},
        {"note, which has no attachments to ask for", [](FakeHost& h) { return h.item("n1", 44)->fail("Attachments"); },
         "This note has no nothing to say."},
        {"note", [](FakeHost& h) { return with_body(h, 44, "Buy milk"); }, "Buy milk"},
        {"task, three attachments", [](FakeHost& h) { return h.item("t1", 48)->set("Attachments", 3); },
         "This task has no additional notes.  There are  3 attachments."},
        {"remote, with a body", [](FakeHost& h) { return with_body(h, 47, "text")->set("Attachments", 1); },
         "This is a remote item that must be downloaded to be read.  There is an attachment."},
        {"report", [](FakeHost& h) { return h.item("r1", 46); }, "This report item has no additional notes."},
        {"report", [](FakeHost& h) { return with_body(h, 46, "Undeliverable"); }, "Undeliverable"},
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
        cases.push_back(
            {sentence, [c = item_class](FakeHost& h) { return h.item("x", c)->set("Attachments", 3); }, sentence});
        cases.push_back({sentence + " with notes",
                         [c = item_class](FakeHost& h) { return with_body(h, c, "Agenda")->set("Attachments", 1); },
                         "Agenda"});
    }
    expect_bodies(cases);
}

TEST(Body, AnUnknownClassConfusesTheCharacter) {
    Started s;
    s.prepare(with_body(s.host, 69, "members")->set("Attachments", 2));
    s.host.take();
    reading::MakeBodyText(s.f);
    EXPECT_EQ(s.f.sReadText,
              "Uncertainty has set in, about this item.  I don't think I can read it.  There are  2 attachments.");
    EXPECT_THAT(s.host.take(), ElementsAre("agent: play \"Confused\" #1"));

    // The sentence stands even when the character cannot play.
    s.prepare(s.host.item("x", 69));
    s.host.take();
    s.host.world.faults.fail("Play", 1);
    reading::MakeBodyText(s.f);
    EXPECT_EQ(s.f.sReadText, "Uncertainty has set in, about this item.  I don't think I can read it.");
}

// Announce and read: the body follows the announcement in one reading text.
TEST(Body, FollowsTheAnnouncement) {
    Started s;
    s.f.iReadMode = 6;
    s.prepare(s.host.item("m1", 43)
                  ->set("SenderName", "Bob")
                  ->set("Subject", "Lunch")
                  ->set("Body", "See you.")
                  ->set("Attachments", 1));
    reading::MakeAnnounceText(s.f);
    reading::MakeBodyText(s.f);
    EXPECT_EQ(s.f.sReadText,
              "This message is from Bob. It was received on none. Subject: Lunch. See you.  There is an attachment.");
}

}  // namespace
