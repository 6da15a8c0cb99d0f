// FIXME: procedures still to come; until they do, each does nothing.
#include "preview/preview.hpp"

namespace preview {

void PrevNewMail(frmAgentCtrl&) {}
void SetupNewMail(frmAgentCtrl&) {}
void PauseNewMail(frmAgentCtrl&) {}
void ContinuNewMail(frmAgentCtrl&) {}
void StopNewMail(frmAgentCtrl&) {}
void oCurNewMailItems_ItemAdd(frmAgentCtrl&) {}
void oCurNewMailItems_ItemRemove(frmAgentCtrl&) {}
void NextItem(frmAgentCtrl&) {}
void PrevItem(frmAgentCtrl&) {}

}  // namespace preview
