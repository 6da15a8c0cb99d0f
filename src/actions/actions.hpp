#pragma once

#include "character/form.hpp"

// Commands that act on items or open new ones.
namespace actions {

using character::frmAgentCtrl;

void CopyItem(frmAgentCtrl& f);
void MoveItem(frmAgentCtrl& f);
void DeleteItem(frmAgentCtrl& f);
void PrtItem(frmAgentCtrl& f);
void CloseItem(frmAgentCtrl& f);
void AcceptItem(frmAgentCtrl& f);
void DeclineItem(frmAgentCtrl& f);
void TentativeItem(frmAgentCtrl& f);
void ForwItem(frmAgentCtrl& f);
void ReplyItem(frmAgentCtrl& f);
void ReplyToAll(frmAgentCtrl& f);
void FlagItem(frmAgentCtrl& f);
void StrtNewAppoint(frmAgentCtrl& f);
void StrtNewCont(frmAgentCtrl& f);
void StrtNewJourl(frmAgentCtrl& f);
void StrtNewMail(frmAgentCtrl& f);
void StrtNewNote(frmAgentCtrl& f);
void StrtNewTask(frmAgentCtrl& f);

}  // namespace actions
