#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "reading_commands/window_fake.hpp"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

struct Started {
    window_fake::FakeHost host;
    character::frmAgentCtrl f{host};
    Started() { window_fake::start(host, f); }
};

TEST(MailEvents, NewMailIsAnnouncedOncePerTimerPeriod) {
    Started s;
    s.f.sCurItemRef = "email";
    for (int i = 0; i < 3; ++i) s.host.app->new_mail.raise();
    const std::vector<std::string> announcement{
        "agent: play \"Announce\" #1",
        "agent: speak \"You've got mail.|You have new emails in your Inbox.|New mail has arrived.|New messages have "
        "been delivered to your Inbox.|The mail is here.\" #2",
        "agent: play \"Congratulate\" #3"};
    EXPECT_EQ(s.host.take(), announcement);
    s.host.tick.raise();
    s.host.app->new_mail.raise();
    EXPECT_EQ(s.host.take().size(), 3U);
}

// Between two pieces of a reading the announcement is short and hands back to the reading.
TEST(MailEvents, NewMailDuringAReadingReturnsToIt) {
    Started s;
    s.f.iReadMode = 6;
    s.host.app->new_mail.raise();
    EXPECT_THAT(s.host.take(), ElementsAre("agent: play \"ReadReturn\" #1", "agent: play \"Announce\" #2",
                                           "agent: speak \"You have new messages in your Inbox!|New mail has "
                                           "arrived.|New messages have arrived.\" #3",
                                           "agent: play \"Read\" #4"));
}

TEST(MailEvents, NothingIsSaidOrRememberedWhileTheCharacterIsDown) {
    Started s;
    s.f.bAgentLoaded = false;
    s.host.app->new_mail.raise();
    s.host.app->reminder.raise(s.host.item("a1"));
    bool cancel = false;
    s.host.app->item_send.raise(s.host.item("m1"), cancel);
    EXPECT_FALSE(s.f.bMailSaid);
    EXPECT_THAT(s.host.take(), IsEmpty());
}

TEST(MailEvents, RemindersAndSentItems) {
    Started s;
    s.host.app->reminder.raise(s.host.item("a1"));
    s.f.iReadMode = 3;
    s.host.app->reminder.raise(s.host.item("a1"));
    bool cancel = false;
    s.host.app->item_send.raise(s.host.item("t1"), cancel);
    s.f.oCurEmailItem = s.host.item("m1");
    s.host.item("m1")->sent.raise(cancel);
    EXPECT_FALSE(cancel);
    EXPECT_THAT(s.host.take(),
                ElementsAre("agent: play \"Announce\" #1", "agent: speak \"Reminder alert, reminder alert!\" #2",
                            "agent: speak \"Reminder alert!\" #3", "agent: speak \"Your message has been sent.\" #4",
                            "agent: speak \"Your message has been put in the Outbox.\" #5"));
}

}  // namespace
