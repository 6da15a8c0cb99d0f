#pragma once

#include "character/form.hpp"

// Speaking the reading text piece by piece, pausing, and the character's request and listening events.
namespace reading {

using character::frmAgentCtrl;

void SpeakNextPiece(frmAgentCtrl& f);
void FindNextPiece(frmAgentCtrl& f);
void InterupReading(frmAgentCtrl& f);
void PausReadItem(frmAgentCtrl& f);
void Agent1_RequestComplete(frmAgentCtrl& f, const platform::RequestPtr& request);
void Agent1_ListenStart(frmAgentCtrl& f, const std::string& character_id);
void Agent1_ListenComplete(frmAgentCtrl& f, const std::string& character_id, std::int32_t cause);

}  // namespace reading
