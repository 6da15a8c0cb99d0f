#pragma once

#include <string>
#include <string_view>

#include "character/form.hpp"

// Finding the item a command applies to: the preview item, the item being read, the selection of
// the tracked explorer or the item of the active window. Every item command decides the same way;
// only its sentences and a few points of order differ, and those are a row of data (TargetRow) that
// each command keeps beside itself: reading's in reading/, the item actions' in actions/.
namespace target {

using character::frmAgentCtrl;

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

// What an inspector answer starts with, once the window's item is known.
enum class InspectorAck { None, AckLine, ItsOpen };

// One command's sentences and its points of order. An empty sentence means the command has no such
// test; an empty animation means the sentence is spoken without one.
struct TargetRow {
    std::string_view gone = " is no longer in the inbox.";  // after "That " + the item's type noun
    std::string_view follow_up;
    // The response commands answer to the preview only and otherwise take the item being read.
    bool preview_only = false;
    bool uses_item_being_read = true;
    std::string_view no_window_animation;
    std::string_view no_window;
    // Read and delete look for the selection object before they look at the window's kind.
    bool selection_object_first = false;
    std::string_view nothing_here;
    std::string_view none_selected_animation;
    std::string_view none_selected_before;  // + the item word +
    std::string_view none_selected_after;
    std::string_view several;
    // The item actions say it themselves: copy and move only once the folder is picked, print and flag
    // while the character writes.
    bool several_said_by_action = false;
    // Read takes the first of several selected items without a word while a window it opened is up.
    bool several_quiet_while_insp_open = false;
    bool acknowledges = false;
    // Run before the active window is looked into, even when it turns out empty: read stops a reading here.
    void (*before_inspector)(frmAgentCtrl&) = nullptr;
    std::string_view empty_inspector_animation;
    std::string_view empty_inspector;
    InspectorAck inspector_ack = InspectorAck::None;
};

// Runs the resolution for the command of `row` and speaks what it says on the way (the gone-item answer,
// the acknowledgement or read's and open's several-selected sentence, the sentences that end the command).
// For the selection and inspector outcomes the item is also left in oTargetItem and its identity in
// sTargetEntryID. oTargetItem is emptied first, so no command ever acts on an item an earlier one
// found. The response commands look only at the preview: in every other case they get the item
// being read (oCurReadItem), empty or not.
Target ResolveTarget(frmAgentCtrl& f, const TargetRow& row);

// "You have more than one " + the item word + " selected.  " + the command's several-selected sentence.
// ResolveTarget speaks it only for read and open: the item actions speak it at their own moment (copy and
// move, for one, only once the folder has been picked).
std::string several_selected_sentence(const frmAgentCtrl& f, const TargetRow& row);

}  // namespace target
