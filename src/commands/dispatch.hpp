#pragma once

#include "character/form.hpp"

// Routing a command chosen from the menu or heard to its procedure.
namespace commands {

using character::frmAgentCtrl;

void Agent1_Command(frmAgentCtrl& f, const platform::UserInput& input);
void EndListen(frmAgentCtrl& f);
void SetItemRef(frmAgentCtrl& f, std::string_view heard);

}  // namespace commands
