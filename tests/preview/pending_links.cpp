// FIXME: speech output, the catalogue and dispatch are being written beside the preview; until they
// are in the core library these do nothing, so the preview's tests link. Weak, so the real ones take
// over where the linker sees both. Delete this file once they exist.
#include "commands/catalogue.hpp"
#include "commands/dispatch.hpp"
#include "reading/speech_output.hpp"

namespace commands {
[[gnu::weak]] void LoadCommands(frmAgentCtrl&) {}
[[gnu::weak]] void Agent1_Command(frmAgentCtrl&, const platform::UserInput&) {}
}  // namespace commands

namespace reading {
[[gnu::weak]] void SpeakNextPiece(frmAgentCtrl&) {}
[[gnu::weak]] void PausReadItem(frmAgentCtrl&) {}
[[gnu::weak]] void InterupReading(frmAgentCtrl&) {}
[[gnu::weak]] void FindNextPiece(frmAgentCtrl&) {}
[[gnu::weak]] void Agent1_RequestComplete(frmAgentCtrl&, const platform::RequestPtr&) {}
[[gnu::weak]] void Agent1_ListenStart(frmAgentCtrl&, const std::string&) {}
[[gnu::weak]] void Agent1_ListenComplete(frmAgentCtrl&, const std::string&, std::int32_t) {}
}  // namespace reading
