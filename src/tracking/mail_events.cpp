#include "tracking/mail_events.hpp"

#include <string>
#include <string_view>

#include "character/acts.hpp"
#include "character/reading_state.hpp"

namespace tracking {

// The character queues these between two pieces of a reading, so the reading is not stopped: it goes
// on after them, and the quieter wordings keep the interruption short.
void oApp_NewMail(frmAgentCtrl& f) {
    if (!f.bAgentLoaded || f.bMailSaid) return;
    f.bMailSaid = true;
    if (is_reading(f)) {
        play(f, "ReadReturn");
        play(f, "Announce");
        speak(f, "You have new " + f.sCurItemRef + "s in your Inbox!|New mail has arrived.|New messages have arrived.");
        play(f, "Read");
        return;
    }
    play(f, "Announce");
    speak(f, "You've got mail.|You have new " + f.sCurItemRef + "s in your Inbox.|" +
                 "New mail has arrived.|New messages have been delivered to your Inbox.|The mail is here.");
    play(f, "Congratulate");
}

void oApp_Reminder(frmAgentCtrl& f) {
    if (!f.bAgentLoaded) return;
    if (is_reading(f)) {
        speak(f, "Reminder alert!");
        return;
    }
    play(f, "Announce");
    speak(f, "Reminder alert, reminder alert!");
}

// Whatever kind of item is sent, the user hears the mail word: the item itself is not looked at.
void oApp_ItemSend(frmAgentCtrl& f) {
    if (!f.bAgentLoaded) return;
    speak(f, "Your " + f.sCurItemRef + " has been sent.");
}

void oCurEmailItem_Send(frmAgentCtrl& f) {
    if (!f.bAgentLoaded) return;
    speak(f, "Your " + f.sCurItemRef + " has been put in the Outbox.");
}

}  // namespace tracking
