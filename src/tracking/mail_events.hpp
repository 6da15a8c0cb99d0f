#pragma once

#include "character/form.hpp"

// Spoken announcements of new mail, reminders and sent items.
namespace tracking {

using character::frmAgentCtrl;

void oApp_NewMail(frmAgentCtrl& f);
void oApp_Reminder(frmAgentCtrl& f);
void oApp_ItemSend(frmAgentCtrl& f);
void oCurEmailItem_Send(frmAgentCtrl& f);

}  // namespace tracking
