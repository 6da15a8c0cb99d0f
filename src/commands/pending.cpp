// FIXME: procedures still to come; until they do, each does nothing.
#include "commands/options.hpp"

namespace commands {

void TurnOffIntro(frmAgentCtrl&) {}
void TurnOnIntro(frmAgentCtrl&) {}
void ChngSortDescent(frmAgentCtrl&) {}

}  // namespace commands
