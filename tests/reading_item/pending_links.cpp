// FIXME: dispatch and speech output are being written beside this; until they are in the core
// library these stand in for them, so the tests link. Weak, so the real ones take over where the
// linker sees both. Delete this file once they exist.
#include "commands/catalogue.hpp"
#include "commands/dispatch.hpp"
#include "reading/speech_output.hpp"

namespace commands {
[[gnu::weak]] void LoadCommands(frmAgentCtrl&) {}
[[gnu::weak]] void Agent1_Command(frmAgentCtrl&, const platform::UserInput&) {}
}  // namespace commands

namespace reading {
[[gnu::weak]] void Agent1_RequestComplete(frmAgentCtrl&, const platform::RequestPtr&) {}
[[gnu::weak]] void Agent1_ListenStart(frmAgentCtrl&, const std::string&) {}
[[gnu::weak]] void Agent1_ListenComplete(frmAgentCtrl&, const std::string&, std::int32_t) {}
[[gnu::weak]] void SpeakNextPiece(frmAgentCtrl&) {}
[[gnu::weak]] void PausReadItem(frmAgentCtrl&) {}
[[gnu::weak]] void InterupReading(frmAgentCtrl&) {}
}  // namespace reading
