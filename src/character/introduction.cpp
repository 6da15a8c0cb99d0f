#include "character/introduction.hpp"

#include <limits>
#include <optional>
#include <string>

#include "character/acts.hpp"
#include "platform/failure.hpp"

namespace character {

namespace {

using platform::skip_on_failure;

// The steps of the tour; each one that fails is left out and the next is queued.
class Tour {
public:
    explicit Tour(frmAgentCtrl& f) : f_(f) {}

    void play(std::string_view animation) { character::play(f_, animation); }
    void speak(const std::string& text) { character::speak(f_, text); }
    void think(std::string_view text) {
        skip_on_failure([&] { f_.oAgentChar->think(text); });
    }
    void move_to(std::int16_t x, std::int16_t y) {
        skip_on_failure([&] { f_.oAgentChar->move_to(x, y); });
    }
    // Without a toolbar button (no explorer when the add-in connected) there is nothing to point at.
    void gesture_at_button() {
        skip_on_failure([&] {
            const auto x = f_.oMyCB->left();
            const auto y = f_.oMyCB->top();
            if (!fits(x) || !fits(y)) return;  // Off any screen the character can reach.
            f_.oAgentChar->gesture_at(static_cast<std::int16_t>(x), static_cast<std::int16_t>(y));
        });
    }
    // An unreadable key leaves an empty key name in the sentence that needed it.
    std::string hot_key() {
        return skip_on_failure([&] { return f_.Agent1.speech_input_hot_key(); }).value_or("");
    }

private:
    static bool fits(std::int32_t v) {
        return v >= std::numeric_limits<std::int16_t>::min() && v <= std::numeric_limits<std::int16_t>::max();
    }
    frmAgentCtrl& f_;
};

}  // namespace

void AgentGreetings(frmAgentCtrl& f) {
    if (!f.bPlayIntro) {
        skip_on_failure([&] { f.oGreetRequest = f.oAgentChar->speak(f.sGreetLine); });
        return;
    }

    Tour tour{f};
    const auto top = skip_on_failure([&] { return f.oAgentChar->top(); });
    const auto left = skip_on_failure([&] { return f.oAgentChar->left(); });
    tour.play("Wave");
    tour.speak("Hello, " + f.sUserName + ".  ");
    tour.move_to(50, 250);
    skip_on_failure([&] { f.oAgentChar->speak("My name is " + f.oAgentChar->name() + ".  "); });
    tour.play("Pleased");
    tour.play("GestureLeft");
    tour.speak("I can read your emails for you.  Allowing you to do other things.  ");
    tour.speak("Just press the " + tour.hot_key() + " key and say 'Preview New Email'.");
    tour.play("DoMagic1");
    tour.speak("Like magic!");
    tour.play("DoMagic2");
    tour.play("Read");
    tour.speak("I will read the sender's name, the date and time you received the new message and the subject.");
    tour.play("Readreturn");
    tour.play("GetAttention");
    tour.speak("After that, just right-click on me, and you will see a list of options to select from -- or speak.");
    tour.play("GetAttentionReturn");
    tour.move_to(250, 175);
    tour.play("Announce");
    tour.speak("Also...  When I am previewing new messages.");
    tour.gesture_at_button();
    tour.speak(
        "My button on the tool bar will change to say 'Preview', (as a reminder that I am previewing new items).");
    tour.play("Explain");
    tour.speak("That's because, when I am previewing new email, I will be focused only on ");
    tour.think("and thinking only about, ");
    tour.speak("the unread messages in your inbox.");
    tour.play("Uncertain");
    tour.play("LookLeft");
    tour.play("LookLeftReturn");
    tour.play("LookRight");
    tour.play("LookRightReturn");
    tour.play("Think");
    tour.think("There was something else... ");
    tour.play("Surprised");
    tour.speak("Oh Yeah! ");
    tour.speak("You can suspend previewing new items by saying 'Pause Previewing'.");
    tour.gesture_at_button();
    tour.speak("When previewing new messages is paused, my button on the tool bar will say 'Paused'.");
    tour.play("Explain");
    tour.speak(
        "Once paused, I will wait for your command to 'Continue Previewing'.  I will then pickup right where I left "
        "off.");
    tour.play("Suggest");
    tour.speak("When I am not Previewing New Email (or it is paused), I can read other items in Outlook.");
    tour.speak("Just select an item and say: 'Read This Item'!");
    tour.play("Explain");
    tour.speak("Pretty cool, don't you think?");
    tour.play("Pleased");
    // Back where it was shown, so the tour leaves the stored position as it was. Without a known
    // starting place the character stays put rather than jumping to a corner of the screen.
    if (left && top) tour.move_to(*left, *top);
    tour.play("Think");
    tour.think(
        "You can also work in any other program or on the internet and I will continue to read your messages and "
        "accept your commands.");
    tour.play("GetAttention");
    tour.play("Search");
    tour.play("GetAttention");
    const std::string last =
        "To get started; Press the " + tour.hot_key() + " key or Right-Click on me and select a command.";
    skip_on_failure([&] { f.oGreetRequest = f.oAgentChar->speak(last); });
}

}  // namespace character
