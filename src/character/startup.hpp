#pragma once

#include "character/form.hpp"

// Bringing the character up on a click and taking it down again.
namespace character {

void oMyCB_Click(frmAgentCtrl& f);
void oMyMB_Click(frmAgentCtrl& f);
void ToggleAgent(frmAgentCtrl& f);
void AgentStartup(frmAgentCtrl& f);
void InitAgent(frmAgentCtrl& f);
void ExitAgent(frmAgentCtrl& f);
void AgentShutdown(frmAgentCtrl& f);
void CloseAgent(frmAgentCtrl& f);
void Timer1_Timer(frmAgentCtrl& f);

}  // namespace character
