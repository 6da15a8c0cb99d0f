#include "reading/target.hpp"

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "platform/failure.hpp"
#include "preview/preview.hpp"
#include "reading/reading_commands.hpp"

namespace reading {

namespace {

using platform::ItemPtr;
using platform::skip_on_failure;

// What an inspector answer starts with, once the window's item is known.
enum class InspectorAck { None, AckLine, ItsOpen };

// One command's sentences and its points of order. An empty sentence means the command has no such
// test; an empty animation means the sentence is spoken without one.
struct Row {
    std::string_view gone = " is no longer in the inbox.";  // after "That " + the item's type noun
    std::string_view follow_up;
    // The response commands answer to the preview only and otherwise take the item being read.
    bool preview_only = false;
    bool uses_item_being_read = true;
    std::string_view no_window_animation;
    std::string_view no_window;
    // Read and delete look for the selection object before they look at the window's kind.
    bool selection_object_first = false;
    std::string_view nothing_here;
    std::string_view none_selected_animation;
    std::string_view none_selected_before;  // + the item word +
    std::string_view none_selected_after;
    std::string_view several;
    // The item actions say it themselves: copy and move only once the folder is picked, print and flag
    // while the character writes.
    bool several_said_by_action = false;
    // Read takes the first of several selected items without a word while a window it opened is up.
    bool several_quiet_while_insp_open = false;
    bool acknowledges = false;
    // Read stops a reading before it looks into the window, even when the window turns out empty.
    bool stops_reading_at_inspector = false;
    std::string_view empty_inspector_animation;
    std::string_view empty_inspector;
    InspectorAck inspector_ack = InspectorAck::None;
};

constexpr std::size_t kCommands = static_cast<std::size_t>(TargetCommand::Tentative) + 1;

// A member left out of a row is a test the command does not make; naming only what a command has
// keeps each row readable against the others, so the warning about left-out members is off here.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
constexpr std::array<Row, kCommands> kRows{{
    // Read
    {.follow_up = "Let's read the next one.",
     .uses_item_being_read = false,
     .no_window = "There is no active window to read from.",
     .selection_object_first = true,
     .nothing_here = "Sorry, there is nothing here that I can read.",
     .none_selected_before = "There are no ",
     .none_selected_after = "s selected to read.",
     .several = "I will read the first one.",
     .several_quiet_while_insp_open = true,
     .acknowledges = true,
     .stops_reading_at_inspector = true,
     .empty_inspector = "There is nothing here to read.",
     .inspector_ack = InspectorAck::AckLine},
    // Open: no no-window test and no empty-inspector test.
    {.follow_up = "Let's preview the next one.",
     .uses_item_being_read = false,
     .nothing_here = "There is nothing here that I can open.",
     .none_selected_before = "There are no ",
     .none_selected_after = "s selected.",
     .several = "I will open the first one.",
     .acknowledges = true,
     .inspector_ack = InspectorAck::ItsOpen},
    // Copy
    {.follow_up = "Let's go to the next one.",
     .no_window_animation = "Confused",
     .no_window = "There is no active item to copy.",
     .nothing_here = "There is nothing here that I can copy.",
     .none_selected_animation = "Uncertain",
     .none_selected_before = "There is no ",
     .none_selected_after = " selected to copy.",
     .several = "I will copy all of them.",
     .several_said_by_action = true,
     .empty_inspector_animation = "Confused",
     .empty_inspector = "There is nothing here to copy."},
    // Move
    {.follow_up = "Let's read the next one.",
     .no_window_animation = "Confused",
     .no_window = "There is no active item to move.",
     .nothing_here = "There is nothing here that I can move.",
     .none_selected_animation = "Uncertain",
     .none_selected_before = "There is no ",
     .none_selected_after = " selected to move.",
     .several = "I will move them all.",
     .several_said_by_action = true,
     .empty_inspector_animation = "Confused",
     .empty_inspector = "There is nothing here to move."},
    // Delete
    {.follow_up = "Let's look at the next one.",
     .no_window = "There is no active item to delete.",
     .selection_object_first = true,
     .nothing_here = "There is nothing here that I can delete.",
     .none_selected_before = "There is no ",
     .none_selected_after = " selected to delete.",
     .several = "I will delete them.",
     .several_said_by_action = true,
     .empty_inspector = "There is nothing here to delete."},
    // Print
    {.gone = " is gone and can not be printed.",
     .follow_up = "Let's go read the next one.",
     .no_window_animation = "Confused",
     .no_window = "There is no active item to print.",
     .nothing_here = "There is nothing here that I can print.",
     .none_selected_animation = "Uncertain",
     .none_selected_before = "There is no ",
     .none_selected_after = " selected to print.",
     .several = "I will print them all.",
     .several_said_by_action = true,
     .empty_inspector_animation = "Confused",
     .empty_inspector = "There is nothing here to print."},
    // Forward
    {.follow_up = "Let's go to the next one.",
     .no_window_animation = "Confused",
     .no_window = "There is no active item here to forward.",
     .nothing_here = "There is nothing here that I can forward.",
     .none_selected_animation = "Uncertain",
     .none_selected_before = "There is no ",
     .none_selected_after = " selected to forward.",
     .several = "I will forward the first one.",
     .several_said_by_action = true,
     .empty_inspector_animation = "Confused",
     .empty_inspector = "There is nothing here to forward."},
    // Reply
    {.follow_up = "Let's look at the next one.",
     .no_window_animation = "Confused",
     .no_window = "There is no active item here to reply to.",
     .nothing_here = "There is nothing here that I can reply to.",
     .none_selected_animation = "Uncertain",
     .none_selected_before = "There is no ",
     .none_selected_after = " selected to reply to.",
     .several = "I will reply to the first one.",
     .several_said_by_action = true,
     .empty_inspector_animation = "Confused",
     .empty_inspector = "There is nothing here to reply to."},
    // ReplyToAll: the sentences of reply.
    {.follow_up = "Let's read the next one.",
     .no_window_animation = "Confused",
     .no_window = "There is no active item here to reply to.",
     .nothing_here = "There is nothing here that I can reply to.",
     .none_selected_animation = "Uncertain",
     .none_selected_before = "There is no ",
     .none_selected_after = " selected to reply to.",
     .several = "I will reply to the first one.",
     .several_said_by_action = true,
     .empty_inspector_animation = "Confused",
     .empty_inspector = "There is nothing here to reply to."},
    // Flag
    {.follow_up = "Let's go to the next one.",
     .no_window_animation = "Confused",
     .no_window = "There is no active item here to flag.",
     .nothing_here = "There is nothing here that I can flag.",
     .none_selected_animation = "Uncertain",
     .none_selected_before = "There is no ",
     .none_selected_after = " selected to flag.",
     .several = "I will flag them all.",
     .several_said_by_action = true,
     .empty_inspector_animation = "Confused",
     .empty_inspector = "There is nothing here to flag."},
    // Accept, Decline, Tentative
    {.follow_up = "Let's read the next one.", .preview_only = true},
    {.follow_up = "Let's go to the next one.", .preview_only = true},
    {.follow_up = "Let's go to the next one.", .preview_only = true},
}};
#pragma GCC diagnostic pop

void speak(frmAgentCtrl& f, const std::string& text) {
    skip_on_failure([&] { f.oAgentChar->speak(text); });
}

void play(frmAgentCtrl& f, std::string_view animation) {
    if (animation.empty()) return;
    skip_on_failure([&] { f.oAgentChar->play(animation); });
}

std::string several_selected(const frmAgentCtrl& f, const Row& row) {
    return "You have more than one " + f.sCurItemRef + " selected.  " + std::string(row.several);
}

const Target kAnswered{TargetKind::Nothing, nullptr, true};

Target nothing_here(frmAgentCtrl& f, const Row& row) {
    play(f, "Explain");
    speak(f, std::string(row.nothing_here));
    return kAnswered;
}

struct Found {
    ItemPtr item;
    std::string entry_id;
};

// An item that cannot be fetched or named is no target: acting on a guess could delete or move the
// wrong message.
std::optional<Found> first_selected(frmAgentCtrl& f) {
    auto item = skip_on_failure([&] { return f.oCurSelection->item(1); });
    if (!item || !*item) return std::nullopt;
    auto entry_id = skip_on_failure([&] { return (*item)->entry_id(); });
    if (!entry_id) return std::nullopt;
    return Found{*item, *entry_id};
}

Target from_selection(frmAgentCtrl& f, const Row& row) {
    if (!f.oCurSelection) return nothing_here(f, row);
    const auto count = skip_on_failure([&] { return f.oCurSelection->count(); });
    if (!count) return nothing_here(f, row);
    if (*count == 0) {
        play(f, row.none_selected_animation);
        speak(f, std::string(row.none_selected_before) + f.sCurItemRef + std::string(row.none_selected_after));
        return kAnswered;
    }
    // Fetched before anything is said, so the user never hears an acknowledgement for an item that
    // then turns out to be unreachable.
    auto found = first_selected(f);
    if (!found) return nothing_here(f, row);
    if (*count > 1 && !(row.several_quiet_while_insp_open && f.bCurInspOpen)) {
        if (!row.several_said_by_action) speak(f, several_selected(f, row));
    } else if (row.acknowledges) {
        speak(f, f.sAckLine);
    }
    f.oTargetItem = found->item;
    f.sTargetEntryID = found->entry_id;
    return {TargetKind::Selection, found->item};
}

Target from_inspector(frmAgentCtrl& f, const Row& row) {
    if (row.stops_reading_at_inspector && f.iReadMode > 0) StopReadItem(f);
    const auto inspector = skip_on_failure([&] { return f.oApp->active_inspector(); }).value_or(nullptr);
    f.oCurInspector = inspector;
    ItemPtr item;
    if (inspector) item = skip_on_failure([&] { return inspector->current_item(); }).value_or(nullptr);
    if (!item && !row.empty_inspector.empty()) {
        play(f, row.empty_inspector_animation);
        speak(f, std::string(row.empty_inspector));
        return kAnswered;
    }
    switch (row.inspector_ack) {
        case InspectorAck::None:
            break;
        case InspectorAck::AckLine:
            speak(f, f.sAckLine);
            break;
        case InspectorAck::ItsOpen:
            speak(f, "It's open.");
            break;
    }
    f.oTargetItem = item;
    f.sTargetEntryID = item ? skip_on_failure([&] { return item->entry_id(); }).value_or("") : "";
    return {TargetKind::Inspector, item};
}

}  // namespace

std::string several_selected_sentence(const frmAgentCtrl& f, TargetCommand command) {
    return several_selected(f, kRows[static_cast<std::size_t>(command)]);
}

Target ResolveTarget(frmAgentCtrl& f, TargetCommand command) {
    const Row& row = kRows[static_cast<std::size_t>(command)];
    f.oTargetItem.reset();

    if (preview_runs(f)) {
        if (f.bNeMItemGone) {
            speak(f, "That " + f.sCurItemType + std::string(row.gone));
            speak(f, std::string(row.follow_up));
            preview::NextItem(f);
            return kAnswered;
        }
        if (!row.preview_only) return {TargetKind::PreviewItem, f.oNeMItem.ptr()};
    }
    if (row.preview_only) return {TargetKind::ItemBeingRead, f.oCurReadItem.ptr()};
    if (row.uses_item_being_read && f.iReadMode != 0) return {TargetKind::ItemBeingRead, f.oCurReadItem.ptr()};

    f.oActWindow = skip_on_failure([&] { return f.oApp->active_window(); }).value_or(nullptr);
    if (!f.oActWindow) {
        if (!row.no_window.empty()) {
            play(f, row.no_window_animation);
            speak(f, std::string(row.no_window));
            return kAnswered;
        }
        return {};
    }
    if (row.selection_object_first && !f.oCurSelection) return nothing_here(f, row);

    const auto kind = skip_on_failure([&] { return f.oActWindow->type_name(); });
    if (kind == "Explorer") return from_selection(f, row);
    if (kind == "Inspector") return from_inspector(f, row);
    return {};
}

}  // namespace reading
