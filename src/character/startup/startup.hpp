#pragma once

#include "character/form.hpp"

// Bringing the character up on a click. It sits above the rest of the core: starting builds the command
// catalogue, follows the explorer and stops a preview; taking the character down is in character/shutdown.hpp.
namespace character {

void oMyCB_Click(frmAgentCtrl& f);
void oMyMB_Click(frmAgentCtrl& f);
void ToggleAgent(frmAgentCtrl& f);
void AgentStartup(frmAgentCtrl& f);
void InitAgent(frmAgentCtrl& f);

}  // namespace character
