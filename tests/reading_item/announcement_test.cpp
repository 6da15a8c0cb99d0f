#include "reading/announcement.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

#include "reading_item/item_fake.hpp"

namespace {

using item_fake::at;
using item_fake::FakeHost;
using item_fake::FakeItem;
using item_fake::Started;
using ItemPtr = std::shared_ptr<FakeItem>;

// The clock stands at Tuesday, March 6, 2001, 15:05.
const std::string kReceived = "Tuesday, March, 06, 01 at 12:30 PM";
const std::string kModified = "Monday, March, 05, 01 at 10:00 AM";

ItemPtr mail(FakeHost& h, std::int32_t item_class = 43) {
    return h.item("m1", item_class)
        ->set("SenderName", "Bob Smith")
        ->set("ReceivedTime", at(2001, 3, 6, 12, 30))
        ->set("Subject", "Lunch");
}

ItemPtr meeting(FakeHost& h, std::int32_t item_class, bool with_appointment = true) {
    auto item = h.item("m5", item_class)
                    ->set("SenderName", "Bob Smith")
                    ->set("ReceivedTime", at(2001, 3, 6, 12, 30))
                    ->set("Subject", "Re: Budget")
                    ->set("Attachments", 2);
    if (with_appointment)
        item->behind = h.item("m5.appointment", 26)
                           ->set("Organizer", "Bob Smith")
                           ->set("RequiredAttendees", "Ada Lovelace; Charles Babbage")
                           ->set("Subject", "Budget")
                           ->set("Location", "Room 1")
                           ->set("Start", at(2001, 3, 8, 14, 0));
    return item;
}

ItemPtr task_request(FakeHost& h, std::int32_t item_class, bool with_task = true) {
    auto item = h.item("t3", item_class)
                    ->set("SenderName", "Carl Jung")
                    ->set("Subject", "Write the report")
                    ->set("Importance", 2)
                    ->set("Attachments", 2);
    if (with_task)
        item->behind = h.item("t3.task", 48)
                           ->set("Delegator", "Bob SMITH")
                           ->set("LastModificationTime", at(2001, 3, 5, 10, 0))
                           ->set("DueDate", at(2001, 3, 9))
                           ->set("Status", 1)
                           ->set("PercentComplete", 25)
                           ->set("Importance", 0)
                           ->set("Sensitivity", 2);
    return item;
}

struct Case {
    std::string name;
    std::function<ItemPtr(FakeHost&)> make;
    std::int16_t mode;  // iReadMode
    std::string expected;
};

void expect_announcements(const std::vector<Case>& cases) {
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Started s;
        s.f.iReadMode = c.mode;
        s.prepare(c.make(s.host));
        reading::MakeAnnounceText(s.f);
        EXPECT_EQ(s.f.sReadText, c.expected);
    }
}

TEST(Announcement, MessagesRemoteItemsAndReports) {
    const std::string rest = ". It was received on " + kReceived + ". Subject: Lunch. ";
    expect_announcements({
        {"mail outside the preview", [](FakeHost& h) { return mail(h); }, 4, "This message is from Bob Smith" + rest},
        {"mail during the preview", [](FakeHost& h) { return mail(h); }, 3, "is a message from Bob Smith" + rest},
        {"remote", [](FakeHost& h) { return mail(h, 47); }, 6, "This message is from Bob Smith" + rest},
        {"report", [](FakeHost& h) { return mail(h, 46); }, 2, "is a message from Bob Smith" + rest},
        {"three attachments, announce only", [](FakeHost& h) { return mail(h)->set("Attachments", 3); }, 4,
         "This message is from Bob Smith" + rest + "There are  3 attachments. "},
        {"one attachment, announce only in the preview", [](FakeHost& h) { return mail(h)->set("Attachments", 1); }, 1,
         "is a message from Bob Smith" + rest + "There is an attachment. "},
        {"attachments are the body's business when it is read",
         [](FakeHost& h) { return mail(h)->set("Attachments", 3); }, 6, "This message is from Bob Smith" + rest},
        {"a line that fails leaves no stray separator",
         [](FakeHost& h) { return mail(h)->fail("ReceivedTime")->fail("Subject"); }, 4,
         "This message is from Bob Smith. "},
        {"an attachment count that fails adds nothing", [](FakeHost& h) { return mail(h)->fail("Attachments"); }, 4,
         "This message is from Bob Smith" + rest},
    });
}

TEST(Announcement, AppointmentsContactsDocumentsJournalsAndNotes) {
    expect_announcements({
        {"appointment in the past",
         [](FakeHost& h) { return h.item("a1", 26)->set("Subject", "Dentist")->set("Start", at(2001, 3, 6, 9, 0)); }, 4,
         "This appointment's subject is: Dentist. It is set for Tuesday, March, 06, 01 at 09:00 AM. "
         "and, it is past due.. "},
        {"all-day appointment to come",
         [](FakeHost& h) {
             return h.item("a1", 26)->set("Subject", "Holiday")->set("Start", at(2001, 3, 7))->set("AllDayEvent", true);
         },
         4, "This appointment's subject is: Holiday. It is an all day event. "},
        {"all-day appointment under way is past due",
         [](FakeHost& h) {
             return h.item("a1", 26)->set("Subject", "Holiday")->set("Start", at(2001, 3, 6))->set("AllDayEvent", true);
         },
         4, "This appointment's subject is: Holiday. It is an all day event. and, it is past due.. "},
        {"appointment without a start, one attachment",
         [](FakeHost& h) { return h.item("a1", 26)->set("Subject", "Someday")->set("Attachments", 1); }, 4,
         "This appointment's subject is: Someday. It is set for none. There is an attachment. "},
        {"contact with everything",
         [](FakeHost& h) {
             return h.item("c1", 40)
                 ->set("FullName", "Ada Lovelace")
                 ->set("CompanyName", "Analytical Engines")
                 ->set("HomeTelephoneNumber", "555 1234")
                 ->set("BusinessTelephoneNumber", "555 9876");
         },
         4,
         "This is Ada Lovelace. with Analytical Engines. Their home phone number is 555 1234. "
         "and their business number is 555 9876. "},
        {"contact with a company alone",
         [](FakeHost& h) {
             return h.item("c1", 40)->set("CompanyName", "Analytical Engines")->set("BusinessTelephoneNumber", "555");
         },
         4, "This is Analytical Engines. and their business number is 555. "},
        {"contact with no name", [](FakeHost& h) { return h.item("c1", 40); }, 4, "This contact has no name. "},
        {"contact whose name cannot be read",
         [](FakeHost& h) { return h.item("c1", 40)->set("HomeTelephoneNumber", "555")->fail("FullName"); }, 4,
         "Their home phone number is 555. "},
        {"document outside the preview, attachments never mentioned",
         [](FakeHost& h) {
             return h.item("d1", 41)
                 ->set("Subject", "Plans")
                 ->set("LastModificationTime", at(2001, 3, 5, 10, 0))
                 ->set("Attachments", 2);
         },
         4, "This is an Office document . The subject is Plans. It was last modified on " + kModified + ". "},
        {"document during the preview",
         [](FakeHost& h) {
             return h.item("d1", 41)->set("Subject", "Plans")->set("LastModificationTime", at(2001, 3, 5, 10, 0));
         },
         1, "is an Office document. The subject is Plans. It was last modified on " + kModified + ". "},
        {"journal entry",
         [](FakeHost& h) {
             return h.item("j1", 42)
                 ->set("Subject", "Call with Bob")
                 ->set("Type", "Phone call")
                 ->set("Start", at(2001, 3, 5, 10, 0));
         },
         4,
         "This journal entry's subject is: Call with Bob. The entry type is Phone call. It was started on " +
             kModified + ". "},
        {"yellow note, whose attachments cannot be asked for",
         [](FakeHost& h) {
             return h.item("n1", 44)
                 ->set("Subject", "Milk")
                 ->set("LastModificationTime", at(2001, 3, 5, 10, 0))
                 ->set("Color", 3)
                 ->fail("Attachments");
         },
         4, "The subject is: Milk. It was last modified on " + kModified + ". and, it is yellow. "},
        {"note of no known colour and no subject",
         [](FakeHost& h) {
             return h.item("n1", 44)->set("LastModificationTime", at(2001, 3, 5, 10, 0))->set("Color", 7);
         },
         4, "The note has no subject. It was last modified on " + kModified + ". "},
    });
}

TEST(Announcement, Tasks) {
    expect_announcements({
        {"every optional sentence, ten lines",
         [](FakeHost& h) {
             return h.item("t1", 48)
                 ->set("Delegator", "Bob Smith")
                 ->set("LastModificationTime", at(2001, 3, 5, 10, 0))
                 ->set("Subject", "Report")
                 ->set("DueDate", at(2001, 3, 1))
                 ->set("Sensitivity", 2)
                 ->set("Importance", 2)
                 ->set("Status", 1)
                 ->set("PercentComplete", 50)
                 ->set("Attachments", 2);
         },
         4,
         "This task is delegated from Bob Smith. It was last updated on " + kModified +
             ". The subject is: Report. It is due on Thursday, March, 01, 01. The Task private. "
             "It is a high priority Task. It is in progress. And it is about  50 percent complete. "
             "plus, it is past due. There are  2 attachments. "},
        {"completed: neither percent nor past due",
         [](FakeHost& h) {
             return h.item("t1", 48)
                 ->set("Owner", "Ada")
                 ->set("Subject", "Report")
                 ->set("LastModificationTime", at(2001, 3, 5, 10, 0))
                 ->set("DueDate", at(2001, 3, 1))
                 ->set("Status", 2)
                 ->set("PercentComplete", 100);
         },
         4,
         "This task is owned by: Ada. It was last updated on " + kModified +
             ". The subject is: Report. It is due on Thursday, March, 01, 01. This task has been completed. "},
        {"not started: past due but no percent",
         [](FakeHost& h) {
             return h.item("t1", 48)
                 ->set("Owner", "Ada")
                 ->set("Subject", "Report")
                 ->set("DueDate", at(2001, 3, 1))
                 ->set("Sensitivity", 1)
                 ->set("Importance", 0);
         },
         4,
         "This task is owned by: Ada. It was last updated on none. The subject is: Report. "
         "It is due on Thursday, March, 01, 01. The Task is marked personal. The Task is low priority. "
         "It has not been started yet. plus, it is past due. "},
        {"deferred without a due date, confidential",
         [](FakeHost& h) {
             return h.item("t1", 48)
                 ->set("Owner", "Ada")
                 ->set("Subject", "Report")
                 ->set("Status", 4)
                 ->set("Sensitivity", 3);
         },
         4,
         "This task is owned by: Ada. It was last updated on none. The subject is: Report. It is due on none. "
         "The Task is confidential. It has been deferred. And it is about  0 percent complete. "},
        {"waiting, a status that cannot be read says nothing of it",
         [](FakeHost& h) {
             return h.item("t1", 48)->set("Owner", "Ada")->set("Subject", "Report")->set("Status", 3)->fail("Status");
         },
         4, "This task is owned by: Ada. It was last updated on none. The subject is: Report. It is due on none. "},
    });
}

TEST(Announcement, MeetingItems) {
    const std::string opening_received = "This meeting request is from Bob Smith. Received on " + kReceived + ". ";
    const std::string attendees =
        "The required attendees are: Ada Lovelace; Charles Babbage. There are no optional attendees. ";
    const std::string missing =
        "The associated appointment is missing, so, I'm sorry, but, I do not have any additional information about "
        "this meeting request. ";
    expect_announcements({
        {"request, attachments never mentioned", [](FakeHost& h) { return meeting(h, 53); }, 4,
         opening_received + "The meeting organizer is Bob Smith. " + attendees +
             "and the meeting's subject is: Budget. The location is: Room 1. "
             "This meeting is scheduled for Thursday, March, 08, 01 at 02:00 PM. "},
        {"request during the preview, no place and no date",
         [](FakeHost& h) {
             auto item = meeting(h, 53);
             item->behind->set("Location", "")->set("Start", platform::Date{})->set("OptionalAttendees", "Ann");
             return item;
         },
         1,
         "is a meeting request from Bob Smith. Received on " + kReceived +
             ". The meeting organizer is Bob Smith. The required attendees are: Ada Lovelace; Charles Babbage. "
             "The optional attendees are: Ann. and the meeting's subject is: Budget. "
             "No location has been set for this meeting. No date has been set for this meeting. "},
        {"request without its appointment", [](FakeHost& h) { return meeting(h, 53, false); }, 4,
         opening_received + missing},
        {"cancellation", [](FakeHost& h) { return meeting(h, 54); }, 4,
         "This meeting cancellation is from Bob Smith. It was received on " + kReceived +
             ". This canellation's subject is: Re: Budget. The meeting subject was Budget. "
             "This meeting was scheduled for Thursday, March, 08, 01 at 02:00 PM. "},
        {"cancellation during the preview, no date",
         [](FakeHost& h) {
             auto item = meeting(h, 54);
             item->behind->set("Start", platform::Date{});
             return item;
         },
         2,
         "is a meeting cancellation from Bob Smith. It was received on " + kReceived +
             ". This canellation's subject is: Re: Budget. The meeting subject was Budget. "
             "No date was set for this meeting. "},
        {"cancellation without its appointment", [](FakeHost& h) { return meeting(h, 54, false); }, 4,
         "This meeting cancellation is from Bob Smith. It was received on " + kReceived +
             ". This canellation's subject is: Re: Budget. " + missing},
        {"negative response", [](FakeHost& h) { return meeting(h, 55); }, 4,
         "This negative response to a meeting request is from Bob Smith. It was received on " + kReceived + ". " +
             attendees + "The response's subject line is: Re: Budget. "},
        {"negative response without its appointment", [](FakeHost& h) { return meeting(h, 55, false); }, 3,
         "is a negative response to a meeting request, from Bob Smith. It was received on " + kReceived + ". " +
             missing + "The response's subject line is: Re: Budget. "},
        {"positive response", [](FakeHost& h) { return meeting(h, 56); }, 3,
         "is a positive response to a meeting request, from Bob Smith. It was received on " + kReceived + ". " +
             attendees + "The response's subject: Re: Budget. "},
        {"tentative response", [](FakeHost& h) { return meeting(h, 57); }, 5,
         "This tentative response to a meeting request is from Bob Smith. Received on " + kReceived + ". " + attendees +
             "The Response's subject line says: Re: Budget. "},
        {"tentative response during the preview", [](FakeHost& h) { return meeting(h, 57); }, 1,
         "is a tentative response to a meeting request, from Bob Smith. Received on " + kReceived + ". " + attendees +
             "The Response's subject line says: Re: Budget. "},
    });
}

TEST(Announcement, TaskRequestItems) {
    const std::string missing =
        "The associated task is missing.  so, I'm sorry, but, I do not have any additional information about this "
        "task request. ";
    expect_announcements({
        {"request", [](FakeHost& h) { return task_request(h, 49); }, 4,
         "This task request is delegated from bob smith. It was last updated on " + kModified +
             ". The subject: Write the report. It is due on Friday, March, 09, 01. It is a high priority Task. "
             "And it is about  25 percent complete. The Task is private. "},
        {"request during the preview, waiting and past due",
         [](FakeHost& h) {
             auto item = task_request(h, 49);
             item->behind->set("Status", 3)->set("DueDate", at(2001, 3, 1));
             return item;
         },
         3,
         "is a task request, delegated from bob smith. It was last updated on " + kModified +
             ". The subject: Write the report. It is due on Thursday, March, 01, 01. It is a high priority Task. "
             "This task is on hold and waiting. And it is about  25 percent complete. plus, it is past due. "
             "The Task is private. "},
        {"request that was not started: a request does not say so",
         [](FakeHost& h) {
             auto item = task_request(h, 49);
             item->behind->set("Status", 0)->set("Sensitivity", 0);
             return item;
         },
         4,
         "This task request is delegated from bob smith. It was last updated on " + kModified +
             ". The subject: Write the report. It is due on Friday, March, 09, 01. It is a high priority Task. "},
        {"request without its task", [](FakeHost& h) { return task_request(h, 49, false); }, 4,
         missing + "The subject: Write the report. It is a high priority Task. "},
        {"update, not started and past due",
         [](FakeHost& h) {
             auto item = task_request(h, 50)->set("Importance", 0);
             item->behind->set("Status", 0)->set("DueDate", at(2001, 3, 1))->set("Sensitivity", 1);
             return item;
         },
         4,
         "This task request update is delegated from bob smith. The subject: Write the report. "
         "It is due on Thursday, March, 01, 01. The Task is low priority. It has not been started yet. "
         "plus, it is past due. The Task is marked personal. "},
        {"update during the preview, completed",
         [](FakeHost& h) {
             auto item = task_request(h, 50);
             item->behind->set("Status", 2)->set("DueDate", at(2001, 3, 1));
             return item;
         },
         1,
         "is a task request update, delegated from bob smith. The subject: Write the report. "
         "It is due on Thursday, March, 01, 01. It is a high priority Task. This task has been completed. "
         "The Task is private. "},
        {"update without its task", [](FakeHost& h) { return task_request(h, 50, false); }, 4,
         missing + "The subject: Write the report. It is a high priority Task. "},
        {"acceptance: the task's importance, no status",
         [](FakeHost& h) {
             auto item = task_request(h, 51)->set("Importance", 1);
             item->behind->set("Importance", 2)->set("Status", 4)->set("Sensitivity", 3);
             return item;
         },
         4,
         "This task request acceptance is from Carl Jung. It was last updated on " + kModified +
             ". The subject is: Write the report. And the due date is Friday, March, 09, 01. "
             "It is a high priority Task. The Task is confidential. "},
        {"acceptance during the preview", [](FakeHost& h) { return task_request(h, 51); }, 2,
         "is a task request acceptance from Carl Jung. It was last updated on " + kModified +
             ". The subject is: Write the report. And the due date is Friday, March, 09, 01. "
             "The Task is low priority. The Task is private. "},
        {"acceptance without its task", [](FakeHost& h) { return task_request(h, 51, false); }, 4,
         "This task request acceptance is from Carl Jung. " + missing + "The subject is: Write the report. "},
        {"decline", [](FakeHost& h) { return task_request(h, 52); }, 4,
         "This task request decline is from Carl Jung. It was last updated on " + kModified +
             ". The subject is: Write the report. And the due date is Friday, March, 09, 01. "
             "The Task is low priority. The Task is private. "},
        {"decline during the preview without its task", [](FakeHost& h) { return task_request(h, 52, false); }, 3,
         "is a task request decline from Carl Jung. " + missing + "The subject is: Write the report. "},
    });
}

TEST(Announcement, PostsAndUnknownClassesAreNotUnderstood) {
    expect_announcements({
        {"post", [](FakeHost& h) { return h.item("p1", 45)->set("Subject", "Hello"); }, 4,
         "I am not sure about this message. "},
        {"distribution list with attachments", [](FakeHost& h) { return h.item("x1", 69)->set("Attachments", 1); }, 4,
         "I am not sure about this message. There is an attachment. "},
        {"a class that cannot be read", [](FakeHost& h) { return h.item("x1", 43)->fail("Class"); }, 1,
         "I am not sure about this message. "},
    });

    // In the user's own word for an item.
    Started s;
    s.f.sCurItemRef = "email";
    s.prepare(s.host.item("p1", 45));
    reading::MakeAnnounceText(s.f);
    EXPECT_EQ(s.f.sReadText, "I am not sure about this email. ");
}

// A "|" would make the character speak only one side of it, so none from an item reaches it.
TEST(Announcement, BarsInItemValuesBecomeBlanks) {
    expect_announcements({
        {"mail", [](FakeHost& h) { return mail(h)->set("SenderName", "Bob|Robert")->set("Subject", "Yes|No|Maybe"); },
         4, "This message is from Bob Robert. It was received on " + kReceived + ". Subject: Yes No Maybe. "},
        {"meeting",
         [](FakeHost& h) {
             auto item = meeting(h, 53);
             item->behind->set("RequiredAttendees", "Ada|Charles")
                 ->set("OptionalAttendees", "|")
                 ->set("Location", "Room 1|2")
                 ->set("Organizer", "Bob|");
             return item;
         },
         4,
         "This meeting request is from Bob Smith. Received on " + kReceived +
             ". The meeting organizer is Bob . The required attendees are: Ada Charles. "
             "The optional attendees are:  . and the meeting's subject is: Budget. The location is: Room 1 2. "
             "This meeting is scheduled for Thursday, March, 08, 01 at 02:00 PM. "},
        {"contact", [](FakeHost& h) { return h.item("c1", 40)->set("FullName", "A|B")->set("CompanyName", "C|D"); }, 4,
         "This is A B. with C D. "},
    });
}

// Each announcement starts from clean lines, and asks for the appointment afresh for every sentence about it.
TEST(Announcement, NothingCarriesOverFromThePreviousAnnouncement) {
    Started s;
    s.prepare(mail(s.host)->set("Subject", "Lunch"));
    reading::MakeAnnounceText(s.f);
    s.prepare(mail(s.host)->fail("Subject"));
    reading::MakeAnnounceText(s.f);
    EXPECT_EQ(s.f.sReadText, "This message is from Bob Smith. It was received on " + kReceived + ". ");

    auto first = meeting(s.host, 53);
    s.prepare(first);
    reading::MakeAnnounceText(s.f);
    const auto alone = s.f.sReadText;
    EXPECT_EQ(first->associated_asks, 6);
    s.prepare(meeting(s.host, 53, false));
    reading::MakeAnnounceText(s.f);
    s.prepare(first);
    reading::MakeAnnounceText(s.f);
    EXPECT_EQ(s.f.sReadText, alone);
}

// The announcement is appended: during announce-and-read the body follows it in the same text.
TEST(Announcement, IsAppendedToTheReadingText) {
    Started s;
    s.prepare(mail(s.host));
    s.f.sReadText = "Earlier. ";
    reading::MakeAnnounceText(s.f);
    EXPECT_EQ(s.f.sReadText,
              "Earlier. This message is from Bob Smith. It was received on " + kReceived + ". Subject: Lunch. ");
}

}  // namespace
