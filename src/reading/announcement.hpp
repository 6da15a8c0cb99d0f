#pragma once

#include "character/form.hpp"

// The spoken summary of the current item, worded per item class.
namespace reading {

using character::frmAgentCtrl;

void MakeAnnounceText(frmAgentCtrl& f);

}  // namespace reading
