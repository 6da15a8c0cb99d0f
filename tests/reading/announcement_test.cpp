#include "reading/announcement.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "support/reader.hpp"

namespace {

using nlohmann::json;
using support::Reader;

// The clock stands at Tuesday, March 6, 2001, 15:05.
const std::string kReceived = "Tuesday, March, 06, 01 at 12:30 PM";
const std::string kModified = "Monday, March, 05, 01 at 10:00 AM";

// The item with more properties, or with some replaced.
json with(json item, const json& more) {
    item.update(more);
    return item;
}

json mail(std::int32_t item_class = 43) {
    return {{"EntryID", "m1"},
            {"Class", item_class},
            {"SenderName", "Bob Smith"},
            {"ReceivedTime", "2001-03-06T12:30:00"},
            {"Subject", "Lunch"}};
}

json appointment() {
    return {{"Organizer", "Bob Smith"},
            {"RequiredAttendees", "Ada Lovelace; Charles Babbage"},
            {"Subject", "Budget"},
            {"Location", "Room 1"},
            {"Start", "2001-03-08T14:00:00"}};
}

json meeting(std::int32_t item_class, json behind = appointment()) {
    return {{"EntryID", "m5"},
            {"Class", item_class},
            {"SenderName", "Bob Smith"},
            {"ReceivedTime", "2001-03-06T12:30:00"},
            {"Subject", "Re: Budget"},
            {"Attachments", 2},
            {"appointment", std::move(behind)}};
}

json task() {
    return {{"Delegator", "Bob SMITH"},
            {"LastModificationTime", "2001-03-05T10:00:00"},
            {"DueDate", "2001-03-09T00:00:00"},
            {"Status", 1},
            {"PercentComplete", 25},
            {"Importance", 0},
            {"Sensitivity", 2}};
}

json task_request(std::int32_t item_class, json behind = task()) {
    return {{"EntryID", "t3"}, {"Class", item_class}, {"SenderName", "Carl Jung"}, {"Subject", "Write the report"},
            {"Importance", 2}, {"Attachments", 2},    {"task", std::move(behind)}};
}

json without(json item, const std::string& key) {
    item.erase(key);
    return item;
}

struct Case {
    std::string name;
    json item;
    std::int16_t mode;  // iReadMode
    std::string expected;
};

std::string announcement(const json& item, std::int16_t mode, const std::string& word = "message") {
    Reader r{item};
    r.f.sCurItemRef = word;
    r.f.iReadMode = mode;
    r.prepare(item["EntryID"].get<std::string>());
    r.run(reading::MakeAnnounceText);
    return r.f.sReadText;
}

void expect_announcements(const std::vector<Case>& cases) {
    for (const auto& c : cases) EXPECT_EQ(announcement(c.item, c.mode), c.expected) << c.name;
}

TEST(Announcement, MessagesRemoteItemsAndReports) {
    const std::string rest = ". It was received on " + kReceived + ". Subject: Lunch. ";
    expect_announcements({
        {"mail outside the preview", mail(), 4, "This message is from Bob Smith" + rest},
        {"mail during the preview", mail(), 3, "is a message from Bob Smith" + rest},
        {"remote", mail(47), 6, "This message is from Bob Smith" + rest},
        {"report", mail(46), 2, "is a message from Bob Smith" + rest},
        {"three attachments, announce only", with(mail(), {{"Attachments", 3}}), 4,
         "This message is from Bob Smith" + rest + "There are  3 attachments. "},
        {"one attachment, announce only in the preview", with(mail(), {{"Attachments", 1}}), 1,
         "is a message from Bob Smith" + rest + "There is an attachment. "},
        {"attachments are the body's business when it is read", with(mail(), {{"Attachments", 3}}), 6,
         "This message is from Bob Smith" + rest},
        {"a line that fails leaves no stray separator", with(mail(), {{"fail", {"ReceivedTime", "Subject"}}}), 4,
         "This message is from Bob Smith. "},
        {"an attachment count that fails adds nothing", with(mail(), {{"fail", {"Attachments"}}}), 4,
         "This message is from Bob Smith" + rest},
    });
}

TEST(Announcement, AppointmentsContactsDocumentsJournalsAndNotes) {
    const json appointment_item = {{"EntryID", "a1"}, {"Class", 26}};
    const json contact = {{"EntryID", "c1"}, {"Class", 40}};
    const json document = {
        {"EntryID", "d1"}, {"Class", 41}, {"Subject", "Plans"}, {"LastModificationTime", "2001-03-05T10:00:00"}};
    const json note = {{"EntryID", "n1"}, {"Class", 44}, {"LastModificationTime", "2001-03-05T10:00:00"}};
    expect_announcements({
        {"appointment in the past", with(appointment_item, {{"Subject", "Dentist"}, {"Start", "2001-03-06T09:00:00"}}),
         4,
         "This appointment's subject is: Dentist. It is set for Tuesday, March, 06, 01 at 09:00 AM. "
         "and, it is past due.. "},
        {"all-day appointment to come",
         with(appointment_item, {{"Subject", "Holiday"}, {"Start", "2001-03-07T00:00:00"}, {"AllDayEvent", true}}), 4,
         "This appointment's subject is: Holiday. It is an all day event. "},
        {"all-day appointment under way is past due",
         with(appointment_item, {{"Subject", "Holiday"}, {"Start", "2001-03-06T00:00:00"}, {"AllDayEvent", true}}), 4,
         "This appointment's subject is: Holiday. It is an all day event. and, it is past due.. "},
        {"appointment without a start, one attachment",
         with(appointment_item, {{"Subject", "Someday"}, {"Attachments", 1}}), 4,
         "This appointment's subject is: Someday. It is set for none. There is an attachment. "},
        {"contact with everything",
         with(contact, {{"FullName", "Ada Lovelace"},
                        {"CompanyName", "Analytical Engines"},
                        {"HomeTelephoneNumber", "555 1234"},
                        {"BusinessTelephoneNumber", "555 9876"}}),
         4,
         "This is Ada Lovelace. with Analytical Engines. Their home phone number is 555 1234. "
         "and their business number is 555 9876. "},
        {"contact with a company alone",
         with(contact, {{"CompanyName", "Analytical Engines"}, {"BusinessTelephoneNumber", "555"}}), 4,
         "This is Analytical Engines. and their business number is 555. "},
        {"contact with no name", contact, 4, "This contact has no name. "},
        {"contact whose name cannot be read", with(contact, {{"HomeTelephoneNumber", "555"}, {"fail", {"FullName"}}}),
         4, "Their home phone number is 555. "},
        {"document outside the preview, attachments never mentioned", with(document, {{"Attachments", 2}}), 4,
         "This is an Office document . The subject is Plans. It was last modified on " + kModified + ". "},
        {"document during the preview", document, 1,
         "is an Office document. The subject is Plans. It was last modified on " + kModified + ". "},
        {"journal entry",
         {{"EntryID", "j1"},
          {"Class", 42},
          {"Subject", "Call with Bob"},
          {"Type", "Phone call"},
          {"Start", "2001-03-05T10:00:00"}},
         4,
         "This journal entry's subject is: Call with Bob. The entry type is Phone call. It was started on " +
             kModified + ". "},
        {"yellow note, which has no attachments to ask for", with(note, {{"Subject", "Milk"}, {"Color", 3}}), 4,
         "The subject is: Milk. It was last modified on " + kModified + ". and, it is yellow. "},
        {"note of no known colour and no subject", with(note, {{"Color", 7}}), 4,
         "The note has no subject. It was last modified on " + kModified + ". "},
    });
}

TEST(Announcement, Tasks) {
    const json task_item = {
        {"EntryID", "t1"}, {"Class", 48}, {"Owner", "Ada"}, {"Subject", "Report"}, {"Importance", 1}};
    expect_announcements({
        {"every optional sentence, ten lines",
         with(task_item, {{"Delegator", "Bob Smith"},
                          {"LastModificationTime", "2001-03-05T10:00:00"},
                          {"DueDate", "2001-03-01T00:00:00"},
                          {"Sensitivity", 2},
                          {"Importance", 2},
                          {"Status", 1},
                          {"PercentComplete", 50},
                          {"Attachments", 2}}),
         4,
         "This task is delegated from Bob Smith. It was last updated on " + kModified +
             ". The subject is: Report. It is due on Thursday, March, 01, 01. The Task private. "
             "It is a high priority Task. It is in progress. And it is about  50 percent complete. "
             "plus, it is past due. There are  2 attachments. "},
        {"completed: neither percent nor past due",
         with(task_item, {{"LastModificationTime", "2001-03-05T10:00:00"},
                          {"DueDate", "2001-03-01T00:00:00"},
                          {"Status", 2},
                          {"PercentComplete", 100}}),
         4,
         "This task is owned by: Ada. It was last updated on " + kModified +
             ". The subject is: Report. It is due on Thursday, March, 01, 01. This task has been completed. "},
        {"not started: past due but no percent",
         with(task_item, {{"DueDate", "2001-03-01T00:00:00"}, {"Sensitivity", 1}, {"Importance", 0}}), 4,
         "This task is owned by: Ada. It was last updated on none. The subject is: Report. "
         "It is due on Thursday, March, 01, 01. The Task is marked personal. The Task is low priority. "
         "It has not been started yet. plus, it is past due. "},
        {"deferred without a due date, confidential", with(task_item, {{"Status", 4}, {"Sensitivity", 3}}), 4,
         "This task is owned by: Ada. It was last updated on none. The subject is: Report. It is due on none. "
         "The Task is confidential. It has been deferred. And it is about  0 percent complete. "},
        {"waiting, a status that cannot be read says nothing of it",
         with(task_item, {{"Status", 3}, {"fail", {"Status"}}}), 4,
         "This task is owned by: Ada. It was last updated on none. The subject is: Report. It is due on none. "},
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
        {"request, attachments never mentioned", meeting(53), 4,
         opening_received + "The meeting organizer is Bob Smith. " + attendees +
             "and the meeting's subject is: Budget. The location is: Room 1. "
             "This meeting is scheduled for Thursday, March, 08, 01 at 02:00 PM. "},
        {"request during the preview, no place and no date",
         meeting(53, with(without(appointment(), "Start"), {{"Location", ""}, {"OptionalAttendees", "Ann"}})), 1,
         "is a meeting request from Bob Smith. Received on " + kReceived +
             ". The meeting organizer is Bob Smith. The required attendees are: Ada Lovelace; Charles Babbage. "
             "The optional attendees are: Ann. and the meeting's subject is: Budget. "
             "No location has been set for this meeting. No date has been set for this meeting. "},
        {"request without its appointment", meeting(53, nullptr), 4, opening_received + missing},
        {"cancellation", meeting(54), 4,
         "This meeting cancellation is from Bob Smith. It was received on " + kReceived +
             ". This canellation's subject is: Re: Budget. The meeting subject was Budget. "
             "This meeting was scheduled for Thursday, March, 08, 01 at 02:00 PM. "},
        {"cancellation during the preview, no date", meeting(54, without(appointment(), "Start")), 2,
         "is a meeting cancellation from Bob Smith. It was received on " + kReceived +
             ". This canellation's subject is: Re: Budget. The meeting subject was Budget. "
             "No date was set for this meeting. "},
        {"cancellation without its appointment", meeting(54, nullptr), 4,
         "This meeting cancellation is from Bob Smith. It was received on " + kReceived +
             ". This canellation's subject is: Re: Budget. " + missing},
        {"negative response", meeting(55), 4,
         "This negative response to a meeting request is from Bob Smith. It was received on " + kReceived + ". " +
             attendees + "The response's subject line is: Re: Budget. "},
        {"negative response without its appointment", meeting(55, nullptr), 3,
         "is a negative response to a meeting request, from Bob Smith. It was received on " + kReceived + ". " +
             missing + "The response's subject line is: Re: Budget. "},
        {"positive response", meeting(56), 3,
         "is a positive response to a meeting request, from Bob Smith. It was received on " + kReceived + ". " +
             attendees + "The response's subject: Re: Budget. "},
        {"tentative response", meeting(57), 5,
         "This tentative response to a meeting request is from Bob Smith. Received on " + kReceived + ". " + attendees +
             "The Response's subject line says: Re: Budget. "},
        {"tentative response during the preview", meeting(57), 1,
         "is a tentative response to a meeting request, from Bob Smith. Received on " + kReceived + ". " + attendees +
             "The Response's subject line says: Re: Budget. "},
    });
}

TEST(Announcement, TaskRequestItems) {
    const std::string missing =
        "The associated task is missing.  so, I'm sorry, but, I do not have any additional information about this "
        "task request. ";
    expect_announcements({
        {"request", task_request(49), 4,
         "This task request is delegated from bob smith. It was last updated on " + kModified +
             ". The subject: Write the report. It is due on Friday, March, 09, 01. It is a high priority Task. "
             "And it is about  25 percent complete. The Task is private. "},
        {"request during the preview, waiting and past due",
         task_request(49, with(task(), {{"Status", 3}, {"DueDate", "2001-03-01T00:00:00"}})), 3,
         "is a task request, delegated from bob smith. It was last updated on " + kModified +
             ". The subject: Write the report. It is due on Thursday, March, 01, 01. It is a high priority Task. "
             "This task is on hold and waiting. And it is about  25 percent complete. plus, it is past due. "
             "The Task is private. "},
        {"request that was not started: a request does not say so",
         task_request(49, with(task(), {{"Status", 0}, {"Sensitivity", 0}})), 4,
         "This task request is delegated from bob smith. It was last updated on " + kModified +
             ". The subject: Write the report. It is due on Friday, March, 09, 01. It is a high priority Task. "},
        {"request without its task", task_request(49, nullptr), 4,
         missing + "The subject: Write the report. It is a high priority Task. "},
        {"update, not started and past due",
         with(task_request(50, with(task(), {{"Status", 0}, {"DueDate", "2001-03-01T00:00:00"}, {"Sensitivity", 1}})),
              {{"Importance", 0}}),
         4,
         "This task request update is delegated from bob smith. The subject: Write the report. "
         "It is due on Thursday, March, 01, 01. The Task is low priority. It has not been started yet. "
         "plus, it is past due. The Task is marked personal. "},
        {"update during the preview, completed",
         task_request(50, with(task(), {{"Status", 2}, {"DueDate", "2001-03-01T00:00:00"}})), 1,
         "is a task request update, delegated from bob smith. The subject: Write the report. "
         "It is due on Thursday, March, 01, 01. It is a high priority Task. This task has been completed. "
         "The Task is private. "},
        {"update without its task", task_request(50, nullptr), 4,
         missing + "The subject: Write the report. It is a high priority Task. "},
        {"acceptance: the task's importance, no status",
         with(task_request(51, with(task(), {{"Importance", 2}, {"Status", 4}, {"Sensitivity", 3}})),
              {{"Importance", 1}}),
         4,
         "This task request acceptance is from Carl Jung. It was last updated on " + kModified +
             ". The subject is: Write the report. And the due date is Friday, March, 09, 01. "
             "It is a high priority Task. The Task is confidential. "},
        {"acceptance during the preview", task_request(51), 2,
         "is a task request acceptance from Carl Jung. It was last updated on " + kModified +
             ". The subject is: Write the report. And the due date is Friday, March, 09, 01. "
             "The Task is low priority. The Task is private. "},
        {"acceptance without its task", task_request(51, nullptr), 4,
         "This task request acceptance is from Carl Jung. " + missing + "The subject is: Write the report. "},
        {"decline", task_request(52), 4,
         "This task request decline is from Carl Jung. It was last updated on " + kModified +
             ". The subject is: Write the report. And the due date is Friday, March, 09, 01. "
             "The Task is low priority. The Task is private. "},
        {"decline during the preview without its task", task_request(52, nullptr), 3,
         "is a task request decline from Carl Jung. " + missing + "The subject is: Write the report. "},
    });
}

TEST(Announcement, PostsAndUnknownClassesAreNotUnderstood) {
    expect_announcements({
        {"post", {{"EntryID", "p1"}, {"Class", 45}, {"Subject", "Hello"}}, 4, "I am not sure about this message. "},
        {"distribution list with attachments",
         {{"EntryID", "x1"}, {"Class", 69}, {"Attachments", 1}},
         4,
         "I am not sure about this message. There is an attachment. "},
        {"a class that cannot be read", with(mail(), {{"fail", {"Class"}}}), 1, "I am not sure about this message. "},
    });
    // In the user's own word for an item.
    EXPECT_EQ(announcement({{"EntryID", "p1"}, {"Class", 45}}, 4, "email"), "I am not sure about this email. ");
}

// A "|" would make the character speak only one side of it, so none from an item reaches it.
TEST(Announcement, BarsInItemValuesBecomeBlanks) {
    expect_announcements({
        {"mail", with(mail(), {{"SenderName", "Bob|Robert"}, {"Subject", "Yes|No|Maybe"}}), 4,
         "This message is from Bob Robert. It was received on " + kReceived + ". Subject: Yes No Maybe. "},
        {"meeting",
         meeting(53, with(appointment(), {{"RequiredAttendees", "Ada|Charles"},
                                          {"OptionalAttendees", "|"},
                                          {"Location", "Room 1|2"},
                                          {"Organizer", "Bob|"}})),
         4,
         "This meeting request is from Bob Smith. Received on " + kReceived +
             ". The meeting organizer is Bob . The required attendees are: Ada Charles. "
             "The optional attendees are:  . and the meeting's subject is: Budget. The location is: Room 1 2. "
             "This meeting is scheduled for Thursday, March, 08, 01 at 02:00 PM. "},
        {"contact",
         {{"EntryID", "c1"}, {"Class", 40}, {"FullName", "A|B"}, {"CompanyName", "C|D"}},
         4,
         "This is A B. with C D. "},
    });
}

// Each announcement starts from clean lines, and asks for the appointment afresh.
TEST(Announcement, NothingCarriesOverFromThePreviousAnnouncement) {
    Reader r{mail(), with(mail(), {{"EntryID", "m2"}, {"fail", {"Subject"}}}), meeting(53),
             with(meeting(53, nullptr), {{"EntryID", "m6"}})};
    const auto announce = [&](std::string_view id) {
        r.prepare(id);
        r.run(reading::MakeAnnounceText);
        return r.f.sReadText;
    };
    announce("m1");
    EXPECT_EQ(announce("m2"), "This message is from Bob Smith. It was received on " + kReceived + ". ");
    const auto alone = announce("m5");
    announce("m6");
    EXPECT_EQ(announce("m5"), alone);
}

// The announcement is appended: during announce-and-read the body follows it in the same text.
TEST(Announcement, IsAppendedToTheReadingText) {
    Reader r{mail()};
    r.prepare("m1");
    r.f.sReadText = "Earlier. ";
    r.run(reading::MakeAnnounceText);
    EXPECT_EQ(r.f.sReadText,
              "Earlier. This message is from Bob Smith. It was received on " + kReceived + ". Subject: Lunch. ");
}

}  // namespace
