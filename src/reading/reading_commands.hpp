#pragma once

#include "character/form.hpp"
#include "target/target.hpp"

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

// Where read and open look for their item, and what they say on the way.
extern const target::TargetRow kReadTarget;
extern const target::TargetRow kOpenTarget;

}  // namespace reading
