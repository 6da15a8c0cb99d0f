#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "actions/actions.hpp"
#include "actions/item_action.hpp"
#include "character/reading_state.hpp"
#include "platform/failure.hpp"
#include "reading/reading_commands.hpp"

namespace actions {

namespace {

using platform::FolderPtr;
using platform::Item;
using platform::PlatformError;
using platform::Ref;
using platform::skip_on_failure;

// Copy and move: everything in which the two differ.
struct Transfer {
    Shape shape;
    std::string_view verb;  // in the folder prompt
    // The moved item leaves the place it was read from: its reading ends and its windows close.
    bool moves;
    std::array<Said, 4> cancelled;  // by Place
    Said done_preview;
    Said done_reading;
    Said done_one_selected;
    Said done_several_selected;
    Said done_inspector;
};

const Transfer kCopy{
    .shape = {.command = TargetCommand::Copy,
              .before = Before::Pause,
              .after_done = After::ReadAndContinue,
              .after_cancelled = After::ReadAndContinue,
              .every_selected = true,
              .read_after_window = true,
              .quiet_outside_window = false,
              .failure = {"Decline", "Sorry, the {N} could not be copied."}},
    .verb = "copy",
    .moves = false,
    .cancelled = {{{"Surprised", "The copy was cancelled."},
                   {"Surprised", "Ok, I did not copy the {T}."},
                   {"Surprised", "Ok, I cancelled it."},
                   {"Surprised", "Ok, copy cancelled."}}},
    .done_preview = {"Acknowledge", "Copied."},
    .done_reading = {"Explain", "I copied it to {F}."},
    .done_one_selected = {"Pleased", "{N} copied."},
    .done_several_selected = {"Pleased", "Your {N}s have been copied."},
    .done_inspector = {"Announce", "The copy has been sent."},
};

const Transfer kMove{
    .shape = {.command = TargetCommand::Move,
              .before = Before::Pause,
              .after_done = After::Leave,
              .after_cancelled = After::ReadAndContinue,
              .every_selected = true,
              .read_after_window = false,
              .quiet_outside_window = false,
              .failure = {"Decline", "Sorry, the {N} could not be moved."}},
    .verb = "move",
    .moves = true,
    .cancelled = {{{"Surprised", "The move was cancelled."},
                   {"Surprised", "The move was cancelled."},
                   {"Surprised", "Ok, I cancelled the move."},
                   {"Surprised", "Ok, the move is cancelled."}}},
    .done_preview = {"Acknowledge", "It's moved."},
    .done_reading = {"Pleased", "Ok, I moved it to {F}."},
    .done_one_selected = {"Announce", "The {N} has been moved."},
    .done_several_selected = {"Announce", "The {N}s have been moved."},
    .done_inspector = {"Explain", "I moved it."},
};

std::string folder_prompt(std::string_view verb, const std::string& type) {
    const std::string v(verb);
    return "Use your keyboard or mouse and select the folder that you want me to " + v + " this " + type + " to." +
           "|Select a folder for me to " + v + " this " + type + " to.|Select a folder for the " + v + "." +
           "|Use your keyboard or mouse and select the folder for the " + v + ".";
}

// The copy is made in the item's own folder and then moved on. One that cannot be moved on would stay
// behind as a stray duplicate, so it is deleted before the failure is reported.
void copy_into(const Ref<Item>& item, const FolderPtr& folder) {
    const Ref<Item> copy = item->copy();
    std::optional<PlatformError> refused;
    platform::with_failure_path([&] { copy->move(folder); },
                                [&](const PlatformError& e) {
                                    refused = e;
                                    copy->delete_item();
                                });
    if (refused) throw *refused;
}

class TransferAction : public ItemAction {
public:
    TransferAction(frmAgentCtrl& f, const Transfer& transfer)
        : f_(f), t_(transfer), words_{f.sCurItemType, f.sCurItemRef, ""} {}

    Outcome begin(Place place) override {
        play(f_, "GetAttention");
        speak(f_, folder_prompt(t_.verb, words_.type));
        folder_ = f_.oNS->pick_folder();
        play(f_, "GetAttentionReturn");
        if (folder_) return Outcome::Done;
        say(f_, t_.cancelled[static_cast<std::size_t>(place)], words_);
        return Outcome::Cancelled;
    }

    void prelude(Place place) override {
        if (!t_.moves) return;
        // The moved item leaves the Inbox or the reading; nothing of it is to be read or shown on.
        if (place == Place::Preview) {
            if (is_preview_reading(f_)) reading::StopReadItem(f_);
            close_flagged(f_.bReadInspOpen, f_.oReadInspector, platform::kOlPromptForSave);
            close_flagged(f_.bNeMInspOpen, f_.oCurNeMInspector, platform::kOlPromptForSave);
        } else if (place == Place::Reading) {
            reading::StopReadItem(f_);
            close_flagged(f_.bReadInspOpen, f_.oReadInspector, platform::kOlDiscard);
        }
    }

    void act(Place, const Ref<Item>& item) override {
        if (t_.moves) {
            item->move(folder_);
        } else {
            copy_into(item, folder_);
        }
    }

    void finish(Place place, std::int32_t count) override {
        switch (place) {
            case Place::Preview:
                say(f_, t_.done_preview, words_);
                return;
            case Place::Reading:
                words_.folder = skip_on_failure([&] { return folder_->name(); }).value_or("");
                say(f_, t_.done_reading, words_);
                return;
            case Place::Selection:
                say(f_, count > 1 ? t_.done_several_selected : t_.done_one_selected, words_);
                return;
            case Place::Inspector:
                // The moved item is no longer where the window shows it; there is nothing to save.
                if (t_.moves) skip_on_failure([&] { close_window(f_.oCurInspector, platform::kOlDiscard); });
                say(f_, t_.done_inspector, words_);
                return;
        }
    }

private:
    static void close_flagged(bool& open, const platform::WithEvents<platform::Inspector>& field,
                              std::int32_t save_mode) {
        if (!open) return;
        skip_on_failure([&] { close_window(field, save_mode); });
        open = false;
    }

    frmAgentCtrl& f_;
    const Transfer& t_;
    Words words_;
    FolderPtr folder_;  // released when the command returns
};

void transfer(frmAgentCtrl& f, const Transfer& t) {
    TransferAction action(f, t);
    run_item_action(f, t.shape, action);
}

}  // namespace

void CopyItem(frmAgentCtrl& f) { transfer(f, kCopy); }
void MoveItem(frmAgentCtrl& f) { transfer(f, kMove); }

}  // namespace actions
