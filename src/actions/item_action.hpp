#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "character/acts.hpp"
#include "character/form.hpp"
#include "platform/object_ref.hpp"
#include "target/target.hpp"

// The shape every command that acts on the item at hand shares: the preview item, the item being read,
// the selection or open item of the active window, and a failure path. The commands differ in data (the
// shape below) and in what they do at a few points (ItemAction).
namespace actions {

using character::close_window;
using character::frmAgentCtrl;

// The item commands, each with its row of target resolution (its sentences and points of order).
enum class TargetCommand { Copy, Move, Delete, Print, Forward, Reply, ReplyToAll, Flag, Accept, Decline, Tentative };
const target::TargetRow& target_row(TargetCommand command);

// Where the target was found.
enum class Place { Preview, Reading, Selection, Inspector };

enum class Outcome { Done, Cancelled };

// What becomes of a reading in progress before an action on the preview item or the item being read.
enum class Before {
    Leave,
    Pause,  // only when a reading is in progress or held
    Stop,   // whether or not one is
};

// ... and after it. A failure leaves a paused reading held, to be continued by the user.
enum class After {
    Leave,
    Continue,         // ContReadItem, when a reading is in progress or held
    ReadAndContinue,  // the same after "Read"
};

// A sentence of an action as data: "{T}" stands for the type noun and "{N}" for the item word, both as they
// are when the command starts, and "{F}" for the name of the folder picked.
struct Words {
    std::string type;
    std::string ref;
    std::string folder;
    std::string fill(std::string_view pattern) const;
};

// An animation (or "" for none) and the sentence spoken after it.
struct Said {
    std::string_view animation;
    std::string_view sentence;
};

struct Shape {
    TargetCommand command;
    Before before;
    After after_done;
    After after_cancelled;
    // Otherwise only the first selected item is acted on.
    bool every_selected;
    // "Read" after the window branch when a reading has started meanwhile.
    bool read_after_window;
    // Outside the window branch a failure is dropped without a word.
    bool quiet_outside_window;
    Said failure;
};

// What a command does at the points where the shape leaves it room. Any platform failure thrown from
// these ends the action through the failure path; calls that may fail without consequence are made
// under skip_on_failure by the command itself.
class ItemAction {
public:
    virtual ~ItemAction() = default;
    // Before any item is touched; a cancelled action says so here and touches nothing.
    virtual Outcome begin(Place) { return Outcome::Done; }
    // Once, after the several-selected sentence and before the first item.
    virtual void prelude(Place) {}
    virtual void act(Place place, const platform::Ref<platform::Item>& item) = 0;
    // After the last item; count is how many were selected (1 outside the selection).
    virtual void finish(Place, std::int32_t /*count*/) {}
};

// Runs `action` as `shape` says. The item word and type noun in the failure sentence are those at the
// start of the command.
void run_item_action(frmAgentCtrl& f, const Shape& shape, ItemAction& action);

// The animation played after a deletion, for x drawn from the random source in [0, 1): five animations,
// each for three of the whole numbers 1 to 15.
std::string_view deletion_animation(double x);

// The animation and the sentence, with the words filled in.
void say(frmAgentCtrl& f, const Said& said, const Words& words);

}  // namespace actions
