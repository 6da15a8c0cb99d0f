#pragma once

#include "character/form.hpp"

// Commands that switch the remembered preferences.
namespace commands {

using character::frmAgentCtrl;

void TurnOffIntro(frmAgentCtrl& f);
void TurnOnIntro(frmAgentCtrl& f);
void ChngSortDescent(frmAgentCtrl& f);

}  // namespace commands
