#pragma once

#include "character/form.hpp"

// The new-mail preview: walking the unread Inbox items one by one.
namespace preview {

using character::frmAgentCtrl;

void PrevNewMail(frmAgentCtrl& f);
void SetupNewMail(frmAgentCtrl& f);
void PauseNewMail(frmAgentCtrl& f);
void ContinuNewMail(frmAgentCtrl& f);
void StopNewMail(frmAgentCtrl& f);
void oCurNewMailItems_ItemAdd(frmAgentCtrl& f);
void oCurNewMailItems_ItemRemove(frmAgentCtrl& f);
void NextItem(frmAgentCtrl& f);
void PrevItem(frmAgentCtrl& f);

}  // namespace preview
