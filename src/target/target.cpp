#include "target/target.hpp"

#include <optional>
#include <string>
#include <string_view>

#include "character/acts.hpp"
#include "character/reading_state.hpp"
#include "platform/failure.hpp"

namespace target {

namespace {

using platform::ItemPtr;
using platform::skip_on_failure;

const Target kAnswered{TargetKind::Nothing, nullptr, true};

Target nothing_here(frmAgentCtrl& f, const TargetRow& row) {
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

Target from_selection(frmAgentCtrl& f, const TargetRow& row) {
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
        if (!row.several_said_by_action) speak(f, several_selected_sentence(f, row));
    } else if (row.acknowledges) {
        speak(f, f.sAckLine);
    }
    f.oTargetItem = found->item;
    f.sTargetEntryID = found->entry_id;
    return {TargetKind::Selection, found->item};
}

Target from_inspector(frmAgentCtrl& f, const TargetRow& row) {
    if (row.before_inspector) row.before_inspector(f);
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

std::string several_selected_sentence(const frmAgentCtrl& f, const TargetRow& row) {
    return "You have more than one " + f.sCurItemRef + " selected.  " + std::string(row.several);
}

Target ResolveTarget(frmAgentCtrl& f, const TargetRow& row) {
    f.oTargetItem.reset();

    if (preview_runs(f)) {
        if (f.bNeMItemGone) {
            speak(f, "That " + f.sCurItemType + std::string(row.gone));
            speak(f, std::string(row.follow_up));
            f.preview.NextItem(f);
            return kAnswered;
        }
        if (!row.preview_only) return {TargetKind::PreviewItem, f.oNeMItem.ptr()};
    }
    if (row.preview_only) return {TargetKind::ItemBeingRead, f.oCurReadItem.ptr()};
    if (row.uses_item_being_read && is_reading(f)) return {TargetKind::ItemBeingRead, f.oCurReadItem.ptr()};

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

}  // namespace target
