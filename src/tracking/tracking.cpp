#include "tracking/tracking.hpp"

#include <memory>
#include <optional>
#include <string>

#include "character/acts.hpp"
#include "character/reading_state.hpp"
#include "character/shutdown.hpp"
#include "platform/failure.hpp"
#include "reading/reading_commands.hpp"

namespace tracking {

namespace {

using platform::Inspector;
using platform::skip_on_failure;

// The items field binds its events on assignment, so a failed fetch leaves the old collection alone.
void take_folder(frmAgentCtrl& f) {
    skip_on_failure([&] { f.oCurFolder = f.oCurExplorer->current_folder(); });
    skip_on_failure([&] { f.oCurrentItems = f.oCurFolder->items(); });
    skip_on_failure([&] { f.lCurUnread = f.oCurFolder->unread_item_count(); });
}

std::optional<std::string> entry_id_of(const platform::ItemPtr& item) {
    if (!item) return std::nullopt;
    return skip_on_failure([&] { return item->entry_id(); });
}

// oReadInspector keeps the window of the last item read in a window after another item has become
// the one being read; its closing must not stop that other reading. Only when the window is known to
// show something else is the reading left alone.
bool shows_item_being_read(frmAgentCtrl& f) {
    const auto inspector = f.oReadInspector.ptr();
    if (!inspector) return true;
    const auto shown = skip_on_failure([&] { return inspector->current_item(); });
    if (!shown) return true;
    const auto shown_id = entry_id_of(*shown);
    const auto read_id = entry_id_of(f.oCurReadItem.ptr());
    return !shown_id || !read_id || *shown_id == *read_id;
}

}  // namespace

void SetCurExpItems(frmAgentCtrl& f) {
    if (!f.bAgentLoaded) return;
    skip_on_failure([&] { f.oCurFolder = f.oCurExplorer->current_folder(); });
    skip_on_failure([&] { f.oCurSelection = f.oCurExplorer->selection(); });
    skip_on_failure([&] { f.oCurrentItems = f.oCurFolder->items(); });
    skip_on_failure([&] { f.sCurView = f.oCurExplorer->current_view(); });
    skip_on_failure([&] { f.lCurUnread = f.oCurFolder->unread_item_count(); });
}

void oCurExplorer_Close(frmAgentCtrl& f) {
    f.oMyCB.reset();
    f.oMyMB.reset();
    character::AgentShutdown(f);
}

void oCurExplorer_FolderSwitch(frmAgentCtrl& f) {
    if (!f.bAgentLoaded) return;
    take_folder(f);
    // The mail client reports the new folder's selection only with its next selection change; until
    // then the old selection would name items of another folder.
    f.oCurSelection.reset();
}

void oCurExplorer_SelectionChange(frmAgentCtrl& f) {
    if (!f.bAgentLoaded) return;
    skip_on_failure([&] { f.oCurSelection = f.oCurExplorer->selection(); });
}

void oCurExplorer_ViewSwitch(frmAgentCtrl& f) {
    if (!f.bAgentLoaded) return;
    skip_on_failure([&] { f.sCurView = f.oCurExplorer->current_view(); });
}

void oCurInspector_Close(frmAgentCtrl& f) { f.bCurInspOpen = false; }

void oReadInspector_Close(frmAgentCtrl& f) {
    if (is_reading(f) && shows_item_being_read(f)) reading::StopReadItem(f);
    f.bReadInspOpen = false;
    if (!f.bNeMInspOpen) return;
    character::close_window_or_skip(f.oCurNeMInspector, platform::kOlDiscard);
    f.bNeMInspOpen = false;
}

void oCurNeMInspector_Close(frmAgentCtrl& f) {
    if (is_preview_reading(f)) reading::StopReadItem(f);
    f.bNeMInspOpen = false;
}

void oCurItem_Close(frmAgentCtrl& f) {
    if (is_reading(f)) reading::StopReadItem(f);
}

void oNSFolders_FolderEvent(frmAgentCtrl& f) {
    skip_on_failure([&] { f.oNSFolders = f.oNS->folders(); });
}

}  // namespace tracking
