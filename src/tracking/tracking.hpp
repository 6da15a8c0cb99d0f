#pragma once

#include "character/form.hpp"

// Following the mail client: the tracked explorer, its folder, selection and view, the inspectors and the item being read.
namespace tracking {

using character::frmAgentCtrl;

void SetCurExpItems(frmAgentCtrl& f);
void oCurExplorer_Close(frmAgentCtrl& f);
void oCurExplorer_FolderSwitch(frmAgentCtrl& f);
void oCurExplorer_SelectionChange(frmAgentCtrl& f);
void oCurExplorer_ViewSwitch(frmAgentCtrl& f);
void oCurInspector_Close(frmAgentCtrl& f);
void oReadInspector_Close(frmAgentCtrl& f);
void oCurNeMInspector_Close(frmAgentCtrl& f);
// The close handler of every typed reference of the current item (oCurAppointItem_Close, oCurContItem_Close,
// oCurDocuItem_Close, oCurEmailItem_Close, ... oCurTaskUpdItem_Close): all are this one.
void oCurItem_Close(frmAgentCtrl& f);
// oNSFolders_FolderAdd, oNSFolders_FolderChange and oNSFolders_FolderRemove are this one.
void oNSFolders_FolderEvent(frmAgentCtrl& f);

}  // namespace tracking
