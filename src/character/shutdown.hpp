#pragma once

#include "character/form.hpp"

// Taking the character down again: the goodbye, and the shutdown that releases what the form holds.
namespace character {

void ExitAgent(frmAgentCtrl& f);
void AgentShutdown(frmAgentCtrl& f);
void CloseAgent(frmAgentCtrl& f);

// Unloads the character; a failure leaves character_left_loaded set, for the next start to retry.
void unload_character(frmAgentCtrl& f);

}  // namespace character
