#include <array>
#include <string>
#include <string_view>

#include "character/reading_state.hpp"
#include "platform/failure.hpp"
#include "preview/preview.hpp"
#include "preview/walk.hpp"
#include "reading/reading_commands.hpp"

namespace preview {

namespace {

using platform::skip_on_failure;
using walk::Move;

// Stepping back is stepping forward in the mirror: everything that differs between the two.
struct Direction {
    // After a removal the cursor already stands on the item that followed the removed one: going
    // forward that item is the first candidate, going back the one before it is.
    bool leave_follower;
    Move step;
    // Where the walk puts the cursor back on the preview item from: the far end, then towards it.
    Move far_end;
    Move back;
    std::string_view end_word;   // "last" / "first"
    std::string_view step_word;  // "next" / "previous"
    std::string_view paused_animation;
    std::array<std::string_view, 2> not_previewing_animations;  // "" for none
};

constexpr Direction kForward{.leave_follower = false,
                             .step = Move::Next,
                             .far_end = Move::Last,
                             .back = Move::Previous,
                             .end_word = "last",
                             .step_word = "next",
                             .paused_animation = "Explain",
                             .not_previewing_animations = {"Suggest", ""}};
constexpr Direction kBackward{.leave_follower = true,
                              .step = Move::Previous,
                              .far_end = Move::First,
                              .back = Move::Next,
                              .end_word = "first",
                              .step_word = "previous",
                              .paused_animation = "Uncertain",
                              .not_previewing_animations = {"Decline", "Surprised"}};

void say_no_unread(frmAgentCtrl& f) { speak(f, "There are no unread " + f.sCurItemRef + "s in the inbox."); }

// The windows opened to read the previous item close, the user being asked about unsaved changes.
void close_reading_windows(frmAgentCtrl& f) {
    if (!f.bReadInspOpen) return;
    character::close_window_or_skip(f.oReadInspector, platform::kOlPromptForSave);
    f.bReadInspOpen = false;
    character::close_window_or_skip(f.oCurNeMInspector, platform::kOlPromptForSave);
    f.bNeMInspOpen = false;
}

void not_running(frmAgentCtrl& f, const Direction& d) {
    const auto& noun = f.sCurItemRef;
    if (f.bNeMStarted && !f.bNeMActive) {
        play(f, d.paused_animation);
        speak(f, "Previewing New Mail is paused.");
        return;
    }
    for (const auto animation : d.not_previewing_animations)
        if (!animation.empty()) play(f, animation);
    speak(f, "We are not Previewing New " + noun + "s." + "So, there is no '" + std::string(d.step_word) + "' " + noun +
                 " to go to.");
}

// From the item that followed the removed preview item, to the first unread one in the direction.
bool found_after_removal(frmAgentCtrl& f, const Direction& d) {
    if (d.leave_follower) walk::step(f, d.step);
    if (!f.oNeMItem) return false;
    while (!walk::is_unread(f.oNeMItem.ptr()))
        if (!walk::step(f, d.step)) return false;
    return true;
}

// Back from the far end to the preview item, so that the next step starts from it.
void put_cursor_back(frmAgentCtrl& f, const Direction& d) {
    walk::step(f, d.far_end);
    while (!walk::is_preview_item(f, f.oNeMItem.ptr())) {
        if (walk::step(f, d.back)) continue;
        say_no_unread(f);
        return;
    }
}

// From the preview item, to the first unread one in the direction; at the end of the list the
// cursor goes back on the preview item.
bool found_from_preview_item(frmAgentCtrl& f, const Direction& d) {
    const auto at_end = [&] {
        speak(f, "This is the " + std::string(d.end_word) + " unread " + f.sCurItemRef + " in the inbox.");
    };
    if (!walk::step(f, d.step)) {
        at_end();
        walk::step(f, d.far_end);  // The preview item is the one at that end.
        return false;
    }
    while (!walk::is_unread(f.oNeMItem.ptr())) {
        if (walk::step(f, d.step)) continue;
        at_end();
        put_cursor_back(f, d);
        return false;
    }
    return true;
}

void move_preview_to_cursor(frmAgentCtrl& f, const Direction& d) {
    close_reading_windows(f);
    skip_on_failure([&] { f.sNeMEntryID = f.oNeMItem->entry_id(); });
    f.oCurReadItem = f.oNeMItem;
    if (is_reading(f)) reading::StopReadItem(f);
    const std::string word{d.step_word};
    speak(f, word + ", |" + word + " " + f.sCurItemRef);
    reading::AnnounceItem(f);
}

void walk_preview(frmAgentCtrl& f, const Direction& d) {
    if (!(f.bNeMStarted && f.bNeMActive)) {
        not_running(f, d);
        return;
    }
    if (f.lNeMUnread == 0) {
        say_no_unread(f);
        f.bNeMItemGone = false;
        close_reading_windows(f);
        return;
    }
    if (f.bNeMItemGone) {
        if (!found_after_removal(f, d)) {
            speak(f, "That was the " + std::string(d.end_word) + " unread " + f.sCurItemRef + " in the inbox.");
            return;
        }
        f.bNeMItemGone = false;
    } else if (!found_from_preview_item(f, d)) {
        return;
    }
    move_preview_to_cursor(f, d);
}

}  // namespace

void NextItem(frmAgentCtrl& f) { walk_preview(f, kForward); }

void PrevItem(frmAgentCtrl& f) { walk_preview(f, kBackward); }

}  // namespace preview
