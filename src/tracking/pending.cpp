// FIXME: procedures still to come; until they do, each does nothing.
#include "tracking/tracking.hpp"

namespace tracking {

void SetCurExpItems(frmAgentCtrl&) {}
void oCurExplorer_Close(frmAgentCtrl&) {}
void oCurExplorer_FolderSwitch(frmAgentCtrl&) {}
void oCurExplorer_SelectionChange(frmAgentCtrl&) {}
void oCurExplorer_ViewSwitch(frmAgentCtrl&) {}
void oCurInspector_Close(frmAgentCtrl&) {}
void oReadInspector_Close(frmAgentCtrl&) {}
void oCurNeMInspector_Close(frmAgentCtrl&) {}
void oCurItem_Close(frmAgentCtrl&) {}
void oNSFolders_FolderEvent(frmAgentCtrl&) {}

}  // namespace tracking
