#pragma once

#include "character/form.hpp"

// The character's command set: every command with its caption, voice grammar and switches.
namespace commands {

using character::frmAgentCtrl;

// Builds the catalogue on the loaded character; reports its own failure.
void LoadCommands(frmAgentCtrl& f);

}  // namespace commands
