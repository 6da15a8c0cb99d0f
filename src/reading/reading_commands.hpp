#pragma once

#include "character/form.hpp"

// The reading commands: read, open, open and read, read again, continue, stop.
namespace reading {

using character::frmAgentCtrl;

void ReadThisItem(frmAgentCtrl& f);
void OpenThisItem(frmAgentCtrl& f);
void OpenAndRead(frmAgentCtrl& f);
void ReReadItem(frmAgentCtrl& f);
void ContReadItem(frmAgentCtrl& f);
void StopReadItem(frmAgentCtrl& f);
void AnnounceItem(frmAgentCtrl& f);
void AnnounceAndRead(frmAgentCtrl& f);
void ReadItemBody(frmAgentCtrl& f);

}  // namespace reading
