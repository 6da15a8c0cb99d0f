#include <array>

#include "actions/actions.hpp"
#include "platform/failure.hpp"

namespace actions {

namespace {

using platform::Item;
using platform::skip_on_failure;

// Where each new item is held: its typed reference, so its Close (and a mail's Send) reaches the same
// handlers as an item opened any other way; notes raise no events and are held plainly.
struct NewItem {
    std::int32_t type;
    platform::WithEvents<Item> frmAgentCtrl::*typed;
    platform::Ref<Item> frmAgentCtrl::*plain;
};

constexpr NewItem kAppointment{platform::kOlAppointmentItem, &frmAgentCtrl::oCurAppointItem, nullptr};
constexpr NewItem kContact{platform::kOlContactItem, &frmAgentCtrl::oCurContItem, nullptr};
constexpr NewItem kJournal{platform::kOlJournalItem, &frmAgentCtrl::oCurJourlItem, nullptr};
constexpr NewItem kMail{platform::kOlMailItem, &frmAgentCtrl::oCurEmailItem, nullptr};
constexpr NewItem kNote{platform::kOlNoteItem, nullptr, &frmAgentCtrl::oCurNoteItem};
constexpr NewItem kTask{platform::kOlTaskItem, &frmAgentCtrl::oCurTaskItem, nullptr};

// The window is the answer: nothing is said, and a reading in progress goes on.
void start_new(frmAgentCtrl& f, const NewItem& row) {
    const auto item = skip_on_failure([&] { return f.oApp->create_item(row.type); }).value_or(nullptr);
    // Without a new item the steps below would show whatever item the reference held before.
    if (!item) return;
    if (row.typed) f.*row.typed = item;
    if (row.plain) f.*row.plain = item;
    skip_on_failure([&] { f.oCurInspector = item->get_inspector(); });
    f.oTargetItem = item;
    skip_on_failure([&] { item->display(); });
}

}  // namespace

void StrtNewAppoint(frmAgentCtrl& f) { start_new(f, kAppointment); }
void StrtNewCont(frmAgentCtrl& f) { start_new(f, kContact); }
void StrtNewJourl(frmAgentCtrl& f) { start_new(f, kJournal); }
void StrtNewMail(frmAgentCtrl& f) { start_new(f, kMail); }
void StrtNewNote(frmAgentCtrl& f) { start_new(f, kNote); }
void StrtNewTask(frmAgentCtrl& f) { start_new(f, kTask); }

}  // namespace actions
