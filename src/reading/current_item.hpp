#pragma once

#include "character/form.hpp"

// The current item: its class, its spoken type noun, its typed reference and the response commands.
namespace reading {

using character::frmAgentCtrl;

void SetCurReadItem(frmAgentCtrl& f);
// False when preparing failed (after its message box).
bool PrepReadItem(frmAgentCtrl& f);

}  // namespace reading
