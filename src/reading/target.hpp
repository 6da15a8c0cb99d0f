#pragma once

#include <string>

#include "character/form.hpp"

// Finding the item a command applies to: the preview item, the item being read, the selection of
// the tracked explorer or the item of the active window. Every item command decides the same way;
// only its sentences and a few points of order differ, and those are a row of data per command.
namespace reading {

using character::frmAgentCtrl;

enum class TargetCommand {
    Read,
    Open,
    Copy,
    Move,
    Delete,
    Print,
    Forward,
    Reply,
    ReplyToAll,
    Flag,
    Accept,
    Decline,
    Tentative,
};

enum class TargetKind {
    Nothing,        // a sentence was spoken (or, for another kind of window, nothing at all): the command ends
    PreviewItem,    // oNeMItem
    ItemBeingRead,  // oCurReadItem
    Selection,      // item is the first selected one; oCurSelection holds them all
    Inspector,      // the item of the active inspector, now in oCurInspector; may be empty for open
};

struct Target {
    TargetKind kind = TargetKind::Nothing;
    platform::ItemPtr item;
    // With Nothing: the command's answer was spoken (the gone-item answer or a sentence of the window
    // step), as opposed to finding nothing without a word.
    bool answered = false;
};

// Runs the resolution for `command` and speaks what it says on the way (the gone-item answer, the
// acknowledgement or read's and open's several-selected sentence, the sentences that end the command). For the
// selection and inspector outcomes the item is also left in oTargetItem and its identity in
// sTargetEntryID. oTargetItem is emptied first, so no command ever acts on an item an earlier one
// found. The response commands look only at the preview: in every other case they get the item
// being read (oCurReadItem), empty or not.
Target ResolveTarget(frmAgentCtrl& f, TargetCommand command);

// "You have more than one " + the item word + " selected.  " + the command's several-selected sentence.
// ResolveTarget speaks it only for read and open: the item actions speak it at their own moment (copy and
// move, for one, only once the folder has been picked).
std::string several_selected_sentence(const frmAgentCtrl& f, TargetCommand command);

// The preview runs, rather than being idle or paused.
inline bool preview_runs(const frmAgentCtrl& f) { return f.bNeMStarted && f.bNeMActive; }

}  // namespace reading
