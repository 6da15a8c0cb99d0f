// FIXME: procedures still to come; until they do, each does nothing.
#include "tracking/mail_events.hpp"

namespace tracking {

void oApp_NewMail(frmAgentCtrl&) {}
void oApp_Reminder(frmAgentCtrl&) {}
void oApp_ItemSend(frmAgentCtrl&) {}
void oCurEmailItem_Send(frmAgentCtrl&) {}

}  // namespace tracking
