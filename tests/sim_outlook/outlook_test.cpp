#include "sim/outlook.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "platform/error.hpp"

namespace {

using platform::PlatformError;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

struct FakeClock : platform::Clock {
    platform::LocalTime now() override { return time; }
    platform::LocalTime time = *sim::parse_date("2001-03-06T15:05:00");
};

// The simulated mail client on a mailbox, started, with its transcript.
struct Rig {
    explicit Rig(std::string_view json)
        : outlook(sim::load_mailbox(json, "test.json"), transcript, faults, edge, clock) {
        outlook.start();
    }
    std::shared_ptr<platform::NameSpace> ns() { return outlook.application()->get_namespace("MAPI"); }
    std::shared_ptr<platform::Folder> inbox() { return ns()->get_default_folder(platform::kOlFolderInbox); }
    std::vector<std::string> lines() { return transcript.take(); }

    sim::Transcript transcript;
    sim::Faults faults{transcript};
    sim::Edge edge{transcript};
    FakeClock clock;
    sim::SimOutlook outlook;
};

// An Inbox of mail items given as id:hour, plus an Archive, a refusing folder and Deleted Items.
std::string inbox_of(std::initializer_list<std::pair<const char*, int>> items, bool deleted_items = true) {
    nlohmann::json list = nlohmann::json::array();
    for (const auto& [id, hour] : items) {
        char time[32];
        std::snprintf(time, sizeof time, "2001-03-06T%02d:00:00", hour);
        list.push_back({{"EntryID", id}, {"Class", 43}, {"ReceivedTime", time}, {"UnRead", true}});
    }
    nlohmann::json folders = nlohmann::json::array({{{"name", "Inbox"}, {"inbox", true}, {"items", list}},
                                                    {{"name", "Archive"}, {"items", nlohmann::json::array()}},
                                                    {{"name", "Locked"}, {"refuse", {"Move"}}}});
    if (deleted_items) folders.push_back({{"name", "Deleted Items"}});
    return nlohmann::json{
        {"user", "Ada Lovelace"}, {"explorer", {{"folder", "Inbox"}, {"selection", {"m1"}}}}, {"folders", folders}}
        .dump();
}

std::string id_of(const platform::ItemPtr& item) { return item ? item->entry_id() : "-"; }

// The cursor's contract the preview relies on to find out that its item went.
TEST(SimItems, CursorFollowsRemovals) {
    Rig rig(inbox_of({{"m1", 9}, {"m2", 10}, {"m3", 11}, {"m4", 12}, {"m5", 13}}));
    auto items = rig.inbox()->items();
    items->sort("[ReceivedTime]", false);
    EXPECT_EQ(id_of(items->get_first()), "m1");
    EXPECT_EQ(id_of(items->get_next()), "m2");
    EXPECT_EQ(id_of(items->get_next()), "m3");

    rig.outlook.remove("m3");  // at the cursor: the follower takes its place
    EXPECT_EQ(id_of(items->get_previous()), "m2");
    EXPECT_EQ(id_of(items->get_next()), "m4");

    rig.outlook.remove("m1");  // before the cursor: it shifts back with its item
    EXPECT_EQ(id_of(items->get_next()), "m5");
    rig.outlook.remove("m2");
    EXPECT_EQ(id_of(items->get_previous()), "m4");
    EXPECT_EQ(id_of(items->get_previous()), "-");
    EXPECT_EQ(id_of(items->get_next()), "m4");
}

TEST(SimItems, CursorStaysBeyondEitherEnd) {
    Rig rig(inbox_of({{"m1", 9}, {"m2", 10}}));
    auto items = rig.inbox()->items();
    EXPECT_EQ(id_of(items->get_last()), "m2");
    EXPECT_EQ(id_of(items->get_next()), "-");
    EXPECT_EQ(id_of(items->get_next()), "-");
    EXPECT_EQ(id_of(items->get_previous()), "m2");
    EXPECT_EQ(id_of(items->get_first()), "m1");
    EXPECT_EQ(id_of(items->get_previous()), "-");
    EXPECT_EQ(id_of(items->get_previous()), "-");
    EXPECT_EQ(id_of(items->get_next()), "m1");

    // The last item removed while the cursor is on it: the cursor is past the end.
    EXPECT_EQ(id_of(items->get_last()), "m2");
    rig.outlook.remove("m2");
    EXPECT_EQ(id_of(items->get_previous()), "m1");

    auto empty = rig.ns()->get_default_folder(platform::kOlFolderInbox);
    rig.outlook.remove("m1");
    auto none = empty->items();
    EXPECT_EQ(id_of(none->get_first()), "-");
    EXPECT_EQ(id_of(none->get_last()), "-");
}

TEST(SimItems, SortIsStableAndEachCollectionHasItsOwnOrderAndCursor) {
    Rig rig(inbox_of({{"m1", 10}, {"m2", 9}, {"m3", 10}, {"m4", 11}, {"m5", 10}}));
    auto newest = rig.inbox()->items();
    newest->sort("[ReceivedTime]", true);
    auto oldest = rig.inbox()->items();
    oldest->sort("[ReceivedTime]", false);
    EXPECT_THAT(rig.lines(), ElementsAre(R"(outlook: Sort "Inbox" "[ReceivedTime]" True)",
                                         R"(outlook: Sort "Inbox" "[ReceivedTime]" False)"));
    std::vector<std::string> down, up;
    for (auto item = newest->get_first(); item; item = newest->get_next()) down.push_back(item->entry_id());
    for (auto item = oldest->get_first(); item; item = oldest->get_next()) up.push_back(item->entry_id());
    EXPECT_THAT(down, ElementsAre("m4", "m1", "m3", "m5", "m2"));
    EXPECT_THAT(up, ElementsAre("m2", "m1", "m3", "m5", "m4"));
    // The same item is the same object however it was reached.
    oldest->get_first();
    newest->get_first();
    EXPECT_EQ(oldest->get_next(), newest->get_next());
}

TEST(SimItems, ArrivalDuringAWalkTakesItsSortedPlace) {
    Rig rig(inbox_of({{"m1", 9}, {"m2", 11}, {"m3", 13}}));
    auto items = rig.inbox()->items();
    items->sort("[ReceivedTime]", false);
    std::vector<std::string> added;
    auto sub = items->on_item_add([&](const platform::ItemPtr& item) { added.push_back(item->entry_id()); });
    EXPECT_EQ(id_of(items->get_first()), "m1");
    EXPECT_EQ(id_of(items->get_next()), "m2");
    rig.outlook.arrive(
        nlohmann::json::parse(R"({"EntryID": "n1", "Class": 43, "ReceivedTime": "2001-03-06T12:00:00"})"));
    rig.outlook.arrive(
        nlohmann::json::parse(R"({"EntryID": "n2", "Class": 43, "ReceivedTime": "2001-03-06T10:00:00"})"));
    EXPECT_THAT(added, ElementsAre("n1", "n2"));
    // n2 went in before the cursor, which kept its item.
    EXPECT_EQ(id_of(items->get_next()), "n1");
    EXPECT_EQ(id_of(items->get_next()), "m3");
    EXPECT_EQ(items->count(), 5);
    EXPECT_EQ(rig.inbox()->unread_item_count(), 5);
}

TEST(SimItems, ManyItemsWalkInOrder) {
    std::string json = R"({"folders": [{"name": "Inbox", "inbox": true, "items": [)";
    for (int i = 0; i < 2000; ++i) {
        if (i) json += ",";
        json += R"({"EntryID": "m)" + std::to_string(i) + R"(", "Class": 43, "ReceivedTime": "2001-03-0)" +
                std::to_string(1 + i % 9) + R"(T10:00:00"})";
    }
    Rig rig(json + "]}]}");
    auto items = rig.inbox()->items();
    items->sort("[ReceivedTime]", true);
    int seen = 0;
    platform::Date last = platform::LocalTime::max();
    for (auto item = items->get_first(); item; item = items->get_next(), ++seen) {
        EXPECT_LE(item->received_time(), last);
        last = item->received_time();
    }
    EXPECT_EQ(seen, 2000);
}

// Moves and deletions leave a selection the add-in holds as it was, and raise no SelectionChange.
TEST(SimExplorer, SelectionIsASnapshot) {
    Rig rig(inbox_of({{"m1", 9}, {"m2", 10}, {"m3", 11}}));
    auto explorer = rig.outlook.application()->active_explorer();
    int changes = 0;
    auto sub = explorer->on_selection_change([&] { ++changes; });
    rig.outlook.select({"m2", "m3"});
    auto selection = explorer->selection();
    EXPECT_EQ(changes, 1);
    selection->item(1)->delete_item();
    rig.outlook.remove("m3");
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(selection->count(), 2);
    EXPECT_EQ(id_of(selection->item(1)), "m2");
    EXPECT_EQ(explorer->selection()->count(), 0);
    EXPECT_THROW(selection->item(3), PlatformError);
}

TEST(SimExplorer, FolderSwitchClearsTheSelectionUntilTheNextSelect) {
    Rig rig(inbox_of({{"m1", 9}}));
    auto explorer = rig.outlook.application()->active_explorer();
    EXPECT_EQ(explorer->selection()->count(), 1);
    std::vector<std::string> events;
    auto a =
        explorer->on_folder_switch([&] { events.push_back("FolderSwitch " + explorer->current_folder()->name()); });
    auto b = explorer->on_view_switch([&] { events.push_back("ViewSwitch " + explorer->current_view()); });
    rig.outlook.folder("Archive");
    rig.outlook.view("By Sender");
    EXPECT_THAT(events, ElementsAre("FolderSwitch Archive", "ViewSwitch By Sender"));
    EXPECT_EQ(explorer->selection()->count(), 0);
    EXPECT_THROW(rig.outlook.select({"m1"}), sim::UsageError);  // not in Archive
    EXPECT_THROW(rig.outlook.folder("Nowhere"), sim::UsageError);
}

TEST(SimItemActions, DeleteGoesToDeletedItemsThenForGood) {
    Rig rig(inbox_of({{"m1", 9}, {"m2", 10}}));
    auto items = rig.inbox()->items();
    int removed = 0;
    auto sub = items->on_item_remove([&] { ++removed; });
    auto item = items->get_first();
    item->delete_item();
    EXPECT_EQ(removed, 1);
    EXPECT_EQ(rig.outlook.show_folder("Deleted Items"), "Deleted Items m1");
    EXPECT_EQ(rig.outlook.show_folder("Inbox"), "Inbox m2");
    item->delete_item();
    EXPECT_FALSE(rig.outlook.has_item("m1"));
    EXPECT_THROW(item->subject(), PlatformError);
    EXPECT_THAT(rig.lines(), ElementsAre("outlook: Delete m1", "outlook: Delete m1"));

    Rig bare(inbox_of({{"m1", 9}}, /*deleted_items=*/false));
    bare.inbox()->items()->get_first()->delete_item();
    EXPECT_FALSE(bare.outlook.has_item("m1"));
}

TEST(SimItemActions, MoveAndCopyIntoARefusingFolderFail) {
    Rig rig(inbox_of({{"m1", 9}, {"m2", 10}}));
    auto item = rig.inbox()->items()->get_first();
    rig.outlook.pick("Locked");
    auto folder = rig.ns()->pick_folder();
    EXPECT_THROW(item->move(folder), PlatformError);
    auto copy = item->copy();
    EXPECT_THROW(copy->move(folder), PlatformError);
    EXPECT_THAT(rig.lines(), ElementsAre(R"(outlook: PickFolder -> "Locked")", "fault: Move",
                                         "outlook: Copy m1 -> m1.copy1", "fault: Move"));
    // The copy stays where it was made; the original did not move.
    EXPECT_EQ(rig.outlook.show_folder("Inbox"), "Inbox m1 m2 m1.copy1");
    EXPECT_EQ(rig.outlook.show_folder("Locked"), "Locked");

    rig.outlook.pick("Archive");
    item->copy()->move(rig.ns()->pick_folder());
    EXPECT_EQ(rig.ns()->pick_folder(), nullptr);  // the answer was used up
    EXPECT_THAT(rig.lines(), ElementsAre("outlook: Copy m1 -> m1.copy2", R"(outlook: PickFolder -> "Archive")",
                                         R"(outlook: Move m1.copy2 "Archive")", "outlook: PickFolder -> Nothing"));
    EXPECT_EQ(rig.outlook.folder_of("m1.copy2"), "Archive");
}

// Close, arrival and sending raise their events in the mail client's order, inside the call.
TEST(SimEvents, OrderOfCloseArriveAndSend) {
    Rig rig(inbox_of({{"m1", 9}}));
    auto app = rig.outlook.application();
    auto item = rig.inbox()->items()->get_first();
    std::vector<std::string> events;
    rig.outlook.open("m1");
    auto inspector = app->active_inspector();
    ASSERT_TRUE(inspector);
    EXPECT_EQ(app->active_window()->type_name(), "Inspector");
    std::vector<platform::Subscription> subs;
    subs.push_back(inspector->on_close([&] { events.push_back("Inspector.Close"); }));
    subs.push_back(item->on_close([&](bool&) { events.push_back("Item.Close"); }));
    subs.push_back(item->on_send([&](bool&) { events.push_back("Item.Send"); }));
    subs.push_back(
        app->on_item_send([&](const platform::ItemPtr& i, bool&) { events.push_back("ItemSend " + i->entry_id()); }));
    subs.push_back(app->on_new_mail([&] { events.push_back("NewMail"); }));
    auto items = rig.inbox()->items();
    subs.push_back(
        items->on_item_add([&](const platform::ItemPtr& i) { events.push_back("ItemAdd " + i->entry_id()); }));

    inspector->close(platform::kOlPromptForSave);
    events.push_back("returned");
    EXPECT_EQ(rig.outlook.active_window_name(), "explorer");
    rig.outlook.arrive(nlohmann::json::parse(R"({"EntryID": "m9", "Class": 43})"));
    rig.outlook.send("m1");
    EXPECT_THAT(events, ElementsAre("Inspector.Close", "Item.Close", "returned", "ItemAdd m9", "NewMail", "ItemSend m1",
                                    "Item.Send"));
    EXPECT_THAT(rig.lines(), ElementsAre("outlook: Close m1 2"));
    // Arrived mail is unread and received now.
    EXPECT_EQ(rig.outlook.show_item("m9"),
              R"(m9 {"EntryID": "m9", "Class": 43, "UnRead": true, "ReceivedTime": "2001-03-06T15:05:00"})");
    EXPECT_THROW(rig.outlook.arrive(nlohmann::json::parse(R"({"EntryID": "m9", "Class": 43})")), sim::UsageError);
}

TEST(SimEvents, WindowsTheAddInOpensBecomeActive) {
    Rig rig(inbox_of({{"m1", 9}}));
    auto app = rig.outlook.application();
    auto item = rig.inbox()->items()->get_first();
    auto inspector = item->get_inspector();
    EXPECT_EQ(rig.outlook.active_window_name(), "explorer");  // not displayed yet
    EXPECT_EQ(item->get_inspector(), inspector);
    item->display();
    EXPECT_EQ(app->active_window(), inspector);
    rig.outlook.activate_other();
    EXPECT_EQ(app->active_window()->type_name(), "Reminder");
    inspector->activate();
    EXPECT_EQ(rig.outlook.active_window_name(), "inspector m1");
    auto reply = item->reply();
    reply->display();
    EXPECT_EQ(rig.outlook.active_window_name(), "inspector r1");
    rig.outlook.activate_none();
    EXPECT_EQ(app->active_window(), nullptr);
    EXPECT_THAT(rig.lines(), ElementsAre("outlook: GetInspector m1", "outlook: GetInspector m1", "outlook: Display m1",
                                         "outlook: Activate m1", "outlook: Reply m1 -> r1", "outlook: Display r1"));
    rig.outlook.close_explorer();
    EXPECT_EQ(app->active_explorer(), nullptr);
    EXPECT_THROW(rig.outlook.activate_explorer(), sim::UsageError);
}

TEST(SimFaults, ItemFailListsAndInjectedFaults) {
    Rig rig(R"({"folders": [{"name": "Inbox", "inbox": true, "items": [
        {"EntryID": "m1", "Class": 43, "Body": "Hello.", "fail": ["Body", "Delete"]},
        {"EntryID": "o1", "Class": 44, "Body": "A note."},
        {"EntryID": "m5", "Class": 53, "appointment": {"Location": "Room 4"}},
        {"EntryID": "m6", "Class": 53}]}]})");
    auto items = rig.inbox()->items();
    auto mail = items->get_first();
    auto note = items->get_next();
    auto request = items->get_next();
    auto orphan = items->get_next();

    try {
        mail->body();
        ADD_FAILURE();
    } catch (const PlatformError& e) {
        EXPECT_EQ(e.number, 440);
    }
    EXPECT_THROW(mail->delete_item(), PlatformError);
    EXPECT_TRUE(rig.outlook.has_item("m1"));
    // A member the class lacks fails as a late-bound call does.
    try {
        note->attachments_count();
        ADD_FAILURE();
    } catch (const PlatformError& e) {
        EXPECT_EQ(e.number, 438);
    }
    EXPECT_EQ(note->body(), "A note.");

    auto appointment = request->get_associated_appointment(true);
    EXPECT_EQ(appointment->location(), "Room 4");
    EXPECT_EQ(request->get_associated_appointment(false), appointment);
    appointment->respond(platform::kOlMeetingAccepted, false, true);
    EXPECT_THROW(orphan->get_associated_appointment(false), PlatformError);

    rig.faults.fail("GetFirst", 1);
    EXPECT_THROW(items->get_first(), PlatformError);
    EXPECT_EQ(id_of(items->get_first()), "m1");
    EXPECT_THAT(rig.lines(), ElementsAre("fault: Body", "fault: Delete", "outlook: Respond m5.appointment 3 False True",
                                         "fault: GetFirst"));
}

TEST(SimFaults, UserOperationsRefuseUnknownNames) {
    Rig rig(inbox_of({{"m1", 9}}));
    EXPECT_THROW(rig.outlook.open("m9"), sim::UsageError);
    EXPECT_THROW(rig.outlook.close("m1"), sim::UsageError);  // not open
    EXPECT_THROW(rig.outlook.pick("Nowhere"), sim::UsageError);
    EXPECT_THROW(rig.outlook.remove_folder("Nowhere"), sim::UsageError);
    EXPECT_THROW(rig.outlook.show_item("m9"), sim::UsageError);
    EXPECT_THROW(rig.outlook.arrive(nlohmann::json::parse(R"({"Class": 43})")), sim::UsageError);
    EXPECT_THAT(rig.lines(), IsEmpty());
}

TEST(SimFolders, AddAndRemoveRaiseTheirEvents) {
    Rig rig(inbox_of({{"m1", 9}}));
    auto folders = rig.ns()->folders();
    std::vector<std::string> events;
    auto a = folders->on_folder_add([&](const platform::FolderPtr& f) { events.push_back("add " + f->name()); });
    auto r = folders->on_folder_remove([&] { events.push_back("remove"); });
    rig.outlook.add_folder("Projects");
    EXPECT_EQ(folders->count(), 5);
    rig.outlook.remove_folder("Projects");
    EXPECT_THROW(rig.outlook.add_folder("Inbox"), sim::UsageError);
    EXPECT_THAT(events, ElementsAre("add Projects", "remove"));
}

}  // namespace
