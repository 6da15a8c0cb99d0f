#include "commands/options.hpp"

#include <string>
#include <string_view>

#include "character/acts.hpp"
#include "character/introduction.hpp"
#include "character/reading_state.hpp"
#include "platform/failure.hpp"
#include "preview/preview.hpp"
#include "reading/reading_commands.hpp"
#include "reading/speech_output.hpp"

namespace commands {

namespace {

using platform::skip_on_failure;

enum class Offer { On, Off };

void offer(frmAgentCtrl& f, std::string_view command, Offer to) {
    const bool on = to == Offer::On;
    skip_on_failure([&] { f.oAgentChar->commands()->item(command)->set_enabled(on); });
    skip_on_failure([&] { f.oAgentChar->commands()->item(command)->set_visible(on); });
}

// Each option command first holds a reading in progress, so that its answer is heard on its own.
void hold_reading(frmAgentCtrl& f) {
    if (is_reading(f)) reading::PausReadItem(f);
}

void resume_reading(frmAgentCtrl& f) {
    play(f, "Read");
    reading::ContReadItem(f);
}

}  // namespace

// The preference changes before anything is said, so it holds even when the character cannot speak.
void TurnOffIntro(frmAgentCtrl& f) {
    hold_reading(f);
    f.bPlayIntro = false;
    play(f, "Write");
    speak(f, "I will not play the introduction next time I start.");
    offer(f, "TurnOffIntro", Offer::Off);
    offer(f, "TurnOnIntro", Offer::On);
    play(f, "WriteReturn");
    if (!is_reading(f)) return;
    resume_reading(f);
}

void TurnOnIntro(frmAgentCtrl& f) {
    hold_reading(f);
    f.bPlayIntro = true;
    play(f, "Write");
    offer(f, "TurnOnIntro", Offer::Off);
    offer(f, "TurnOffIntro", Offer::On);
    if (!is_reading(f)) {
        speak(f, "Ok! - Let's play the introduction...");
        play(f, "WriteReturn");
        character::AgentGreetings(f);  // The whole introduction, now that bPlayIntro is set.
        return;
    }
    speak(f, "Ok! - I will play the introduction next time I start.");
    play(f, "WriteReturn");
    resume_reading(f);
}

void ChngSortDescent(frmAgentCtrl& f) {
    hold_reading(f);
    f.bNeMSortDescend = !f.bNeMSortDescend;
    play(f, "Write");
    speak(f, f.bNeMSortDescend ? std::string("Previewing new emails will be sorted descending. ") +
                                     "I will start with the newest ones first."
                               : std::string("Previewing new emails will be sorted ascending. ") +
                                     "I will read starting with the oldest ones first.");
    play(f, "WriteReturn");
    if (is_item_reading(f)) {
        // An ordinary reading was interrupted: it goes on, and a paused preview keeps its order until restarted.
        resume_reading(f);
        return;
    }
    if (!f.bNeMStarted) return;
    const bool running = f.bNeMActive;
    preview::StopNewMail(f);
    // A running preview starts again from the other end; a paused one would resume in the old order, so it stops.
    if (running) preview::PrevNewMail(f);
}

}  // namespace commands
