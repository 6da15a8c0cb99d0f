#pragma once

#include "character/form.hpp"

// The remembered preferences and the information panel.
namespace character {

// Reads the settings into the form and onto the loaded character.
void LoadSettings(frmAgentCtrl& f);
void SaveAgent(frmAgentCtrl& f);
void OKButton_Click(frmAgentCtrl& f);
void CancelButton_Click(frmAgentCtrl& f);

}  // namespace character
