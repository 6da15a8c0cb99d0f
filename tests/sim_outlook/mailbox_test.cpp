#include "sim/mailbox.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>
#include <string>

namespace {

using ::testing::HasSubstr;

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void collect(const std::vector<sim::FolderRecord>& folders, std::set<std::int32_t>& classes, int& with_appointment,
             int& without_appointment, int& with_task, int& without_task) {
    for (const auto& folder : folders) {
        for (const auto& item : folder.items) {
            classes.insert(item.item_class);
            if (item.item_class == 53) ++(item.appointment ? with_appointment : without_appointment);
            if (item.item_class == 49) ++(item.task ? with_task : without_task);
        }
        collect(folder.folders, classes, with_appointment, without_appointment, with_task, without_task);
    }
}

TEST(MailboxLoad, SampleHasEveryItemClass) {
    const auto mailbox =
        sim::load_mailbox(read_file(std::string(DEZAROR_SOURCE_DIR) + "/samples/mailbox.json"), "mailbox.json");
    std::set<std::int32_t> classes;
    int with_appointment = 0, without_appointment = 0, with_task = 0, without_task = 0;
    collect(mailbox.folders, classes, with_appointment, without_appointment, with_task, without_task);
    EXPECT_EQ(classes,
              (std::set<std::int32_t>{26, 40, 41, 42, 43, 44, 45, 46, 47, 48, 49, 50, 51, 52, 53, 54, 55, 56, 57}));
    EXPECT_GT(with_appointment, 0);
    EXPECT_GT(without_appointment, 0);
    EXPECT_GT(with_task, 0);
    EXPECT_GT(without_task, 0);
    ASSERT_TRUE(mailbox.explorer);
    EXPECT_EQ(mailbox.explorer->selection, std::vector<std::string>{"m1"});
}

TEST(MailboxLoad, ReadsValuesAndDefaults) {
    const auto mailbox = sim::load_mailbox(R"({"user": "Ada", "now": "2001-03-06T15:05:00", "folders": [
        {"name": "Inbox", "inbox": true, "items": [
          {"EntryID": "m1", "Class": 43, "Subject": "Hi", "ReceivedTime": "2000-02-29T23:59:59",
           "UnRead": true, "Attachments": 2, "DueDate": null, "fail": ["Body"]}]}]})",
                                           "box.json");
    const auto& item = mailbox.folders.at(0).items.at(0);
    EXPECT_EQ(item.properties.text("Subject"), "Hi");
    EXPECT_EQ(item.properties.text("Body"), "");
    EXPECT_EQ(item.properties.number("Attachments"), 2);
    EXPECT_TRUE(item.properties.flag("UnRead"));
    EXPECT_FALSE(item.properties.date("DueDate"));
    EXPECT_EQ(sim::format_date(item.properties.date("ReceivedTime")), "2000-02-29T23:59:59");
    EXPECT_EQ(item.fail, std::vector<std::string>{"Body"});
    // Without an explorer key the mail client opens on the Inbox.
    ASSERT_TRUE(mailbox.explorer);
    EXPECT_EQ(mailbox.explorer->folder, "");
}

struct BadMailbox {
    const char* json;
    const char* message;
};

// Each refusal names the file and the place, so the user can find the fault.
TEST(MailboxLoad, RefusesBadInputNamingFileAndPlace) {
    const BadMailbox cases[] = {
        {"{\"folders\": [\n  {\"name\": \"Inbox\",\n   \"items\": [}]}",
         "box.json:3: malformed JSON: parse error at line 3, column 14"},
        {R"({"folders": [{"name": "Inbox", "items": [{"Class": 43}]}]})",
         "box.json: folders[0].items[0]: the item has no EntryID"},
        {R"({"folders": [{"name": "Inbox", "items": [{"EntryID": "m1"}]}]})",
         "box.json: folders[0].items[0]: the item m1 has no Class"},
        {R"({"folders": [{"name": "A", "items": [{"EntryID": "m1", "Class": 43}]},
                         {"name": "B", "folders": [{"name": "C", "items": [{"EntryID": "m1", "Class": 43}]}]}]})",
         "box.json: folders[1].folders[0].items[0].EntryID: a second item with the EntryID \"m1\""},
        {R"({"folders": [{"name": "Inbox", "items": [{"EntryID": "m1", "Class": 43}, {"EntryID": "m2", "Class": 43,
             "ReceivedTime": "2001-02-30T10:00:00"}]}]})",
         "box.json: folders[0].items[1].ReceivedTime: \"2001-02-30T10:00:00\" is not a date like "
         "\"2001-03-06T12:30:00\""},
        {R"({"folders": [{"name": "Inbox", "items": [{"EntryID": "m1", "Class": "43"}]}]})",
         "box.json: folders[0].items[0].Class: \"43\" should be a whole number"},
        {R"({"folders": [{"name": "Inbox", "items": [{"EntryID": "m1", "Class": 43, "UnRead": "yes"}]}]})",
         "box.json: folders[0].items[0].UnRead: \"yes\" should be true or false"},
        {R"({"folders": [{"name": "Inbox", "items": [{"EntryID": "m1", "Class": 43, "Unread": true}]}]})",
         "box.json: folders[0].items[0].Unread: unknown property \"Unread\""},
        {R"({"folders": [{"name": "Inbox", "items": [{"EntryID": "m1", "Class": 43, "appointment": {}}]}]})",
         "box.json: folders[0].items[0].appointment: only meeting items (Class 53 to 57) have an appointment"},
        {R"({"folders": [{"name": "Inbox", "items": [{"EntryID": "m1", "Class": 53,
             "appointment": {"Start": "tomorrow"}}]}]})",
         "box.json: folders[0].items[0].appointment.Start: \"tomorrow\" is not a date"},
        {R"({"explorer": {"folder": "Inbox", "selection": ["m9"]}, "folders": [{"name": "Inbox", "items": []}]})",
         "box.json: explorer.selection[0]: no item \"m9\""},
        {R"({"explorer": {"folder": "Outbox"}, "folders": [{"name": "Inbox", "items": []}]})",
         "box.json: explorer.folder: no folder \"Outbox\""},
        {R"({"folders": [{"name": "A/B"}]})", "box.json: folders[0].name: \"A/B\" should be a non-empty string"},
        {R"({"folders": [{"name": "A"}, {"name": "A"}]})",
         "box.json: folders[1].name: a second folder named \"A\" in the same folder"},
        {R"({"folders": [{"name": "A", "items": [{"EntryID": "m 1", "Class": 43}]}]})",
         "box.json: folders[0].items[0].EntryID: \"m 1\" should be one word"},
        {R"({"now": "2001-03-06 15:05"})", "box.json: now: \"2001-03-06 15:05\" is not a date"},
        {R"([1, 2])", "box.json: the mailbox should be a JSON object"},
        // A number too large for any value is no syntax error, and the parser gives no position (found by fuzzing).
        {R"({"now": 1e999})", "box.json: malformed JSON: number overflow parsing '1e999'"},
    };
    for (const auto& c : cases) {
        try {
            sim::load_mailbox(c.json, "box.json");
            ADD_FAILURE() << "accepted: " << c.json;
        } catch (const sim::MailboxError& e) {
            EXPECT_THAT(e.what(), HasSubstr(c.message)) << c.json;
            EXPECT_EQ(std::string(e.what()).rfind("box.json", 0), 0U);
        }
    }
}

TEST(MailboxLoad, ItemFromJsonNamesThePlaceInsideTheItem) {
    try {
        sim::item_from_json(nlohmann::json::parse(R"({"EntryID": "n1", "Class": 43, "Attachments": 1.5})"));
        ADD_FAILURE();
    } catch (const sim::MailboxError& e) {
        EXPECT_EQ(e.place, "Attachments");
        EXPECT_STREQ(e.what(), "Attachments: 1.5 should be a whole number");
    }
}

TEST(MailboxShow, ItemJsonPutsIdClassAndStateFirst) {
    auto item = sim::item_from_json(nlohmann::json::parse(
        R"({"Subject": "Review \"A\"", "EntryID": "m5", "UnRead": false, "Class": 53, "ReceivedTime": "2001-03-06T11:05:00",
            "appointment": {"Location": "Room 4", "Start": "2001-03-08T10:00:00"}})"));
    EXPECT_EQ(
        sim::to_json(item),
        R"({"EntryID": "m5", "Class": 53, "UnRead": false, "Subject": "Review \"A\"", )"
        R"("ReceivedTime": "2001-03-06T11:05:00", "appointment": {"Start": "2001-03-08T10:00:00", "Location": "Room 4"}})");
}

}  // namespace
