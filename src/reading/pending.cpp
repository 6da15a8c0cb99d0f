// FIXME: procedures still to come; until they do, each does nothing.
#include "reading/announcement.hpp"
#include "reading/body.hpp"
#include "reading/current_item.hpp"
#include "reading/reading_commands.hpp"

namespace reading {

void ReadThisItem(frmAgentCtrl&) {}
void OpenThisItem(frmAgentCtrl&) {}
void OpenAndRead(frmAgentCtrl&) {}
void ReReadItem(frmAgentCtrl&) {}
void ContReadItem(frmAgentCtrl&) {}
void StopReadItem(frmAgentCtrl&) {}
void AnnounceItem(frmAgentCtrl&) {}
void AnnounceAndRead(frmAgentCtrl&) {}
void ReadItemBody(frmAgentCtrl&) {}
void SetCurReadItem(frmAgentCtrl&) {}
bool PrepReadItem(frmAgentCtrl&) { return true; }
void MakeAnnounceText(frmAgentCtrl&) {}
void MakeBodyText(frmAgentCtrl&) {}

}  // namespace reading
