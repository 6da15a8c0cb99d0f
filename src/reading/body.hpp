#pragma once

#include "character/form.hpp"

// The current item's own text, cleaned for speech.
namespace reading {

using character::frmAgentCtrl;

void MakeBodyText(frmAgentCtrl& f);

}  // namespace reading
