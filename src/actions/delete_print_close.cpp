#include <array>
#include <string>
#include <string_view>

#include "actions/actions.hpp"
#include "actions/item_action.hpp"
#include "platform/failure.hpp"

namespace actions {

namespace {

using platform::Item;
using platform::Ref;
using platform::skip_on_failure;

// The animation after a deletion, by the number drawn from 1 to 15, three numbers each.
constexpr std::array<std::string_view, 5> kDeletionAnimations{"Process", "GetAttention", "Explain", "DoMagic2",
                                                              "Surprised"};

const Shape kDeleteShape{.command = TargetCommand::Delete,
                         .before = Before::Stop,
                         .after_done = After::Leave,
                         .after_cancelled = After::Leave,
                         .every_selected = true,
                         .read_after_window = false,
                         .quiet_outside_window = false,
                         .failure = {"", "The {N} could not be deleted."}};

const Shape kPrintShape{.command = TargetCommand::Print,
                        .before = Before::Pause,
                        .after_done = After::Continue,
                        .after_cancelled = After::Leave,
                        .every_selected = true,
                        .read_after_window = false,
                        .quiet_outside_window = false,
                        .failure = {"Decline", "Sorry, the {N} could not be printed."}};

constexpr std::string_view kPrintSentence =
    "Stand away, from the printer.|Ok, let's print it.|Printing."
    "|Stand back from the printer.|Ok, let's print it.|It's printing."
    "|Stand back, get away from the printer.|Ok, it's on the way.|It's printing.";

class Deletion : public ItemAction {
public:
    Deletion(frmAgentCtrl& f, std::string_view animation)
        : f_(f), animation_(animation), words_{f.sCurItemType, f.sCurItemRef, ""} {}

    // The item's own window goes first and unasked: what it shows is about to be deleted.
    void prelude(Place place) override {
        if (place == Place::Preview && f_.bNeMInspOpen) {
            close_window(f_.oCurNeMInspector, platform::kOlDiscard);
            f_.bNeMInspOpen = false;
        } else if (place == Place::Reading && f_.bReadInspOpen) {
            skip_on_failure([&] { close_window(f_.oReadInspector, platform::kOlDiscard); });
            f_.bReadInspOpen = false;
        }
    }

    void act(Place, const Ref<Item>& item) override { item->delete_item(); }

    void finish(Place place, std::int32_t count) override {
        if (place == Place::Inspector) skip_on_failure([&] { close_window(f_.oCurInspector, platform::kOlDiscard); });
        std::string_view sentence = "The {N} has been deleted.";
        if (place == Place::Preview || place == Place::Reading) sentence = "The {T} has been deleted.";
        if (count > 1) sentence = "The {N}s have been deleted.";
        say(f_, {animation_, sentence}, words_);
    }

private:
    frmAgentCtrl& f_;
    std::string_view animation_;
    Words words_;
};

class Printing : public ItemAction {
public:
    explicit Printing(frmAgentCtrl& f) : f_(f) {}
    Outcome begin(Place) override {
        play(f_, "Write");
        return Outcome::Done;
    }
    void prelude(Place) override { speak(f_, std::string(kPrintSentence)); }
    void act(Place, const Ref<Item>& item) override { item->print_out(); }
    void finish(Place, std::int32_t) override {
        play(f_, "WriteReturn");
        play(f_, "Congratulate_2");
    }

private:
    frmAgentCtrl& f_;
};

}  // namespace

std::string_view deletion_animation(double x) {
    const int r = static_cast<int>(15 * x) + 1;
    return kDeletionAnimations[static_cast<std::size_t>((r - 1) / 3)];
}

void DeleteItem(frmAgentCtrl& f) {
    // Drawn first, every time, so that the random sequence does not depend on the branch taken.
    const double x = skip_on_failure([&] { return f.host.random().next(); }).value_or(0.0);
    Deletion action(f, deletion_animation(x));
    run_item_action(f, kDeleteShape, action);
}

void PrtItem(frmAgentCtrl& f) {
    Printing action(f);
    run_item_action(f, kPrintShape, action);
}

void CloseItem(frmAgentCtrl& f) {
    // A window the read commands opened is closed whatever window is active; its Close clears the flag.
    if (f.bReadInspOpen) {
        skip_on_failure([&] { close_window(f.oReadInspector, platform::kOlPromptForSave); });
        return;
    }
    f.oActWindow = skip_on_failure([&] { return f.oApp->active_window(); }).value_or(nullptr);
    if (!f.oActWindow) {
        speak(f, "There is no active window to close.");
        return;
    }
    const auto window = f.oActWindow.ptr();
    f.oActWindow.reset();
    if (skip_on_failure([&] { return window->type_name(); }) == "Inspector") {
        skip_on_failure([&] {
            const Ref<platform::Inspector> inspector = f.oApp->active_inspector();
            inspector->close(platform::kOlPromptForSave);
        });
        return;
    }
    speak(f, "Everything is closed.");
}

}  // namespace actions
