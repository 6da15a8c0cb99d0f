// FIXME: procedures still to come; until they do, each does nothing.
#include "actions/actions.hpp"

namespace actions {

void CopyItem(frmAgentCtrl&) {}
void MoveItem(frmAgentCtrl&) {}
void DeleteItem(frmAgentCtrl&) {}
void PrtItem(frmAgentCtrl&) {}
void CloseItem(frmAgentCtrl&) {}
void AcceptItem(frmAgentCtrl&) {}
void DeclineItem(frmAgentCtrl&) {}
void TentativeItem(frmAgentCtrl&) {}
void ForwItem(frmAgentCtrl&) {}
void ReplyItem(frmAgentCtrl&) {}
void ReplyToAll(frmAgentCtrl&) {}
void FlagItem(frmAgentCtrl&) {}
void StrtNewAppoint(frmAgentCtrl&) {}
void StrtNewCont(frmAgentCtrl&) {}
void StrtNewJourl(frmAgentCtrl&) {}
void StrtNewMail(frmAgentCtrl&) {}
void StrtNewNote(frmAgentCtrl&) {}
void StrtNewTask(frmAgentCtrl&) {}

}  // namespace actions
