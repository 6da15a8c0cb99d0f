#include "actions/item_action.hpp"

#include <memory>

#include "character/reading_state.hpp"
#include "platform/failure.hpp"
#include "reading/reading_commands.hpp"
#include "reading/speech_output.hpp"

namespace actions {

namespace {

using platform::Item;
using platform::PlatformError;
using platform::Ref;
using platform::skip_on_failure;
using target::TargetKind;

void before_action(frmAgentCtrl& f, Before before) {
    switch (before) {
        case Before::Leave:
            return;
        case Before::Pause:
            if (is_reading(f)) reading::PausReadItem(f);
            return;
        case Before::Stop:
            reading::StopReadItem(f);
            return;
    }
}

// Tested afresh: the item may have closed while the folder picker was up, and its reading with it.
void after_action(frmAgentCtrl& f, After after) {
    if (after == After::Leave || !is_reading(f)) return;
    if (after == After::ReadAndContinue) play(f, "Read");
    reading::ContReadItem(f);
}

bool in_window(Place place) { return place == Place::Selection || place == Place::Inspector; }

void act_on_selection(frmAgentCtrl& f, const Shape& shape, ItemAction& action, const Ref<Item>& first) {
    // The selection the command started with: events raised by the action itself may replace the field.
    const Ref<platform::Selection> selection = f.oCurSelection.ptr();
    const std::int32_t count = selection->count();
    if (count > 1) speak(f, target::several_selected_sentence(f, target_row(shape.command)));
    action.prelude(Place::Selection);
    if (!shape.every_selected) {
        action.act(Place::Selection, first);
    } else {
        for (std::int32_t i = 1; i <= count; ++i) {
            f.oTargetItem = selection->item(i);
            action.act(Place::Selection, f.oTargetItem);
        }
    }
    action.finish(Place::Selection, count);
}

void run_branch(frmAgentCtrl& f, const Shape& shape, ItemAction& action, Place place, const Ref<Item>& item,
                const Words& words) {
    if (!in_window(place)) before_action(f, shape.before);
    Outcome outcome = Outcome::Done;
    const bool ended = platform::with_failure_path(
        [&] {
            outcome = action.begin(place);
            if (outcome == Outcome::Cancelled) return;
            if (place == Place::Selection) {
                act_on_selection(f, shape, action, item);
                return;
            }
            action.prelude(place);
            action.act(place, item);
            action.finish(place, 1);
        },
        [&](const PlatformError&) {
            if (shape.quiet_outside_window && !in_window(place)) return;
            say(f, shape.failure, words);
        });
    if (!ended) return;
    if (in_window(place)) {
        if (shape.read_after_window && is_reading(f)) play(f, "Read");
        return;
    }
    after_action(f, outcome == Outcome::Done ? shape.after_done : shape.after_cancelled);
}

}  // namespace

void say(frmAgentCtrl& f, const Said& said, const Words& words) {
    play(f, said.animation);
    speak(f, words.fill(said.sentence));
}

std::string Words::fill(std::string_view pattern) const {
    std::string text;
    text.reserve(pattern.size() + folder.size());
    while (!pattern.empty()) {
        const auto open = pattern.find('{');
        text += pattern.substr(0, open);
        if (open == std::string_view::npos) break;
        const std::string_view key = pattern.substr(open, 3);
        if (key == "{T}") {
            text += type;
        } else if (key == "{N}") {
            text += ref;
        } else if (key == "{F}") {
            text += folder;
        } else {
            text += key;
        }
        pattern.remove_prefix(open + key.size());
    }
    return text;
}

void run_item_action(frmAgentCtrl& f, const Shape& shape, ItemAction& action) {
    const Words words{f.sCurItemType, f.sCurItemRef, ""};
    const target::Target target = target::ResolveTarget(f, target_row(shape.command));
    f.oActWindow.reset();
    Place place = Place::Preview;
    switch (target.kind) {
        case TargetKind::PreviewItem:
            place = Place::Preview;
            break;
        case TargetKind::ItemBeingRead:
            place = Place::Reading;
            break;
        case TargetKind::Selection:
            place = Place::Selection;
            break;
        case TargetKind::Inspector:
            place = Place::Inspector;
            break;
        case TargetKind::Nothing:
            return;
    }
    run_branch(f, shape, action, place, target.item, words);
}

}  // namespace actions
