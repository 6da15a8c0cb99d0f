#pragma once

#include "character/form.hpp"

// The greeting and the scripted introduction.
namespace character {

void AgentGreetings(frmAgentCtrl& f);

}  // namespace character
