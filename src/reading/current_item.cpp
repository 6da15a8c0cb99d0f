#include "reading/current_item.hpp"

#include <array>
#include <span>
#include <string>
#include <string_view>

#include "platform/failure.hpp"

namespace reading {
namespace {

using platform::Ref;
using platform::skip_on_failure;
using platform::WithEvents;

// The character's answers to a request, in the order they are shown. A row shows the first `responses` of them:
// a task request has no tentative answer.
constexpr std::array<std::string_view, 3> kResponseCommands = {"AcceptItem", "DeclineItem", "TentativeItem"};

struct ItemClassRow {
    std::int32_t item_class;
    std::string_view noun;
    // The field whose Close event ends the reading of this class; notes raise no events and are held plainly.
    WithEvents<platform::Item> frmAgentCtrl::*typed;
    Ref<platform::Item> frmAgentCtrl::*plain;
    std::size_t responses;
};

// In the order they are tried; the values are distinct, so the order is only for the reader.
const auto kItemClasses = std::to_array<ItemClassRow>({
    {platform::kOlAppointment, "appointment", &frmAgentCtrl::oCurAppointItem, nullptr, 0},
    {platform::kOlContact, "contact", &frmAgentCtrl::oCurContItem, nullptr, 0},
    {platform::kOlDocument, "office document", &frmAgentCtrl::oCurDocuItem, nullptr, 0},
    {platform::kOlJournal, "journal", &frmAgentCtrl::oCurJourlItem, nullptr, 0},
    {platform::kOlMail, "message", &frmAgentCtrl::oCurEmailItem, nullptr, 0},
    {platform::kOlMeetingRequest, "meeting request", &frmAgentCtrl::oCurMeetReqItem, nullptr, 3},
    {platform::kOlMeetingCancellation, "meeting cancellation", &frmAgentCtrl::oCurMeetReqItem, nullptr, 0},
    {platform::kOlMeetingResponseNegative, "meeting negative response", &frmAgentCtrl::oCurMeetReqItem, nullptr, 0},
    {platform::kOlMeetingResponsePositive, "meeting positive response", &frmAgentCtrl::oCurMeetReqItem, nullptr, 0},
    {platform::kOlMeetingResponseTentative, "meeting tentative response", &frmAgentCtrl::oCurMeetReqItem, nullptr, 0},
    {platform::kOlNote, "note", nullptr, &frmAgentCtrl::oCurNoteItem, 0},
    {platform::kOlPost, "post", &frmAgentCtrl::oCurPostItem, nullptr, 0},
    {platform::kOlTask, "task", &frmAgentCtrl::oCurTaskItem, nullptr, 0},
    {platform::kOlTaskRequest, "task request", &frmAgentCtrl::oCurTaskReqItem, nullptr, 2},
    {platform::kOlTaskRequestAccept, "task request accept", &frmAgentCtrl::oCurTaskAccItem, nullptr, 0},
    {platform::kOlTaskRequestDecline, "task request decline", &frmAgentCtrl::oCurTaskDecItem, nullptr, 0},
    {platform::kOlTaskRequestUpdate, "task request update", &frmAgentCtrl::oCurTaskUpdItem, nullptr, 0},
    {platform::kOlRemote, "remote message", &frmAgentCtrl::oCurRemoteItem, nullptr, 0},
    {platform::kOlReport, "report message", &frmAgentCtrl::oCurRptItem, nullptr, 0},
});

constexpr std::string_view kUnknownItem = "unknown item";

const ItemClassRow* find_class(std::int32_t item_class) {
    for (const auto& row : kItemClasses)
        if (row.item_class == item_class) return &row;
    return nullptr;
}

// Each switch is a statement of its own: a command that cannot be reached leaves the others to be set.
void switch_command(frmAgentCtrl& f, std::string_view name, bool on) {
    skip_on_failure([&] { f.oAgentChar->commands()->item(name)->set_enabled(on); });
    skip_on_failure([&] { f.oAgentChar->commands()->item(name)->set_visible(on); });
}

}  // namespace

void SetCurReadItem(frmAgentCtrl& f) {
    // Without the character there are no commands to switch, and an earlier classification is kept.
    if (!f.bAgentLoaded) return;

    for (auto name : kResponseCommands) switch_command(f, name, false);

    // Unbind every earlier item first, so that only the current one's Close can stop the reading.
    for (const auto& row : kItemClasses) {
        if (row.typed) (f.*row.typed).reset();
        if (row.plain) (f.*row.plain).reset();
    }
    f.sCurItemType = "";
    if (!f.oCurReadItem) return;

    const auto item_class = skip_on_failure([&] { return f.oCurReadItem->item_class(); });
    const ItemClassRow* row = item_class ? find_class(*item_class) : nullptr;
    if (!row) {
        f.sCurItemType = kUnknownItem;
        return;
    }
    if (row->typed) f.*row->typed = f.oCurReadItem;
    if (row->plain) f.*row->plain = f.oCurReadItem;
    f.sCurItemType = row->noun;
    for (auto name : std::span(kResponseCommands).first(row->responses)) switch_command(f, name, true);
}

bool PrepReadItem(frmAgentCtrl& f) {
    SetCurReadItem(f);
    // Emptying the reading state reaches no platform object today; the failure path is the one the reading
    // commands rely on should that change, and they stop when it is taken.
    return platform::with_failure_path(
        [&] {
            f.sReadText = "";
            f.lReadPos = 1;
            f.lReadDone = 0;
            f.lReadPieces = 0;
        },
        [&](const platform::PlatformError& e) {
            // Unlike the other boxes this one carries the default title, not the application's.
            f.host.message_boxes().show(
                "There is an error Preping the document and it can not be read.\r\n" + platform::error_text(e),
                platform::kCritical, "");
        });
}

}  // namespace reading
