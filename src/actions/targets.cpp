#include <array>

#include "actions/item_action.hpp"

namespace actions {

namespace {

constexpr std::size_t kCommands = static_cast<std::size_t>(TargetCommand::Tentative) + 1;

// A member left out of a row is a test the command does not make; naming only what a command has
// keeps each row readable against the others, so the warning about left-out members is off here.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
constexpr std::array<target::TargetRow, kCommands> kRows{{
    // Copy
    {.follow_up = "Let's go to the next one.",
     .no_window_animation = "Confused",
     .no_window = "There is no active item to copy.",
     .nothing_here = "There is nothing here that I can copy.",
     .none_selected_animation = "Uncertain",
     .none_selected_before = "There is no ",
     .none_selected_after = " selected to copy.",
     .several = "I will copy all of them.",
     .several_said_by_action = true,
     .empty_inspector_animation = "Confused",
     .empty_inspector = "There is nothing here to copy."},
    // Move
    {.follow_up = "Let's read the next one.",
     .no_window_animation = "Confused",
     .no_window = "There is no active item to move.",
     .nothing_here = "There is nothing here that I can move.",
     .none_selected_animation = "Uncertain",
     .none_selected_before = "There is no ",
     .none_selected_after = " selected to move.",
     .several = "I will move them all.",
     .several_said_by_action = true,
     .empty_inspector_animation = "Confused",
     .empty_inspector = "There is nothing here to move."},
    // Delete
    {.follow_up = "Let's look at the next one.",
     .no_window = "There is no active item to delete.",
     .selection_object_first = true,
     .nothing_here = "There is nothing here that I can delete.",
     .none_selected_before = "There is no ",
     .none_selected_after = " selected to delete.",
     .several = "I will delete them.",
     .several_said_by_action = true,
     .empty_inspector = "There is nothing here to delete."},
    // Print
    {.gone = " is gone and can not be printed.",
     .follow_up = "Let's go read the next one.",
     .no_window_animation = "Confused",
     .no_window = "There is no active item to print.",
     .nothing_here = "There is nothing here that I can print.",
     .none_selected_animation = "Uncertain",
     .none_selected_before = "There is no ",
     .none_selected_after = " selected to print.",
     .several = "I will print them all.",
     .several_said_by_action = true,
     .empty_inspector_animation = "Confused",
     .empty_inspector = "There is nothing here to print."},
    // Forward
    {.follow_up = "Let's go to the next one.",
     .no_window_animation = "Confused",
     .no_window = "There is no active item here to forward.",
     .nothing_here = "There is nothing here that I can forward.",
     .none_selected_animation = "Uncertain",
     .none_selected_before = "There is no ",
     .none_selected_after = " selected to forward.",
     .several = "I will forward the first one.",
     .several_said_by_action = true,
     .empty_inspector_animation = "Confused",
     .empty_inspector = "There is nothing here to forward."},
    // Reply
    {.follow_up = "Let's look at the next one.",
     .no_window_animation = "Confused",
     .no_window = "There is no active item here to reply to.",
     .nothing_here = "There is nothing here that I can reply to.",
     .none_selected_animation = "Uncertain",
     .none_selected_before = "There is no ",
     .none_selected_after = " selected to reply to.",
     .several = "I will reply to the first one.",
     .several_said_by_action = true,
     .empty_inspector_animation = "Confused",
     .empty_inspector = "There is nothing here to reply to."},
    // ReplyToAll: the sentences of reply.
    {.follow_up = "Let's read the next one.",
     .no_window_animation = "Confused",
     .no_window = "There is no active item here to reply to.",
     .nothing_here = "There is nothing here that I can reply to.",
     .none_selected_animation = "Uncertain",
     .none_selected_before = "There is no ",
     .none_selected_after = " selected to reply to.",
     .several = "I will reply to the first one.",
     .several_said_by_action = true,
     .empty_inspector_animation = "Confused",
     .empty_inspector = "There is nothing here to reply to."},
    // Flag
    {.follow_up = "Let's go to the next one.",
     .no_window_animation = "Confused",
     .no_window = "There is no active item here to flag.",
     .nothing_here = "There is nothing here that I can flag.",
     .none_selected_animation = "Uncertain",
     .none_selected_before = "There is no ",
     .none_selected_after = " selected to flag.",
     .several = "I will flag them all.",
     .several_said_by_action = true,
     .empty_inspector_animation = "Confused",
     .empty_inspector = "There is nothing here to flag."},
    // Accept, Decline, Tentative
    {.follow_up = "Let's read the next one.", .preview_only = true},
    {.follow_up = "Let's go to the next one.", .preview_only = true},
    {.follow_up = "Let's go to the next one.", .preview_only = true},
}};
#pragma GCC diagnostic pop

}  // namespace

const target::TargetRow& target_row(TargetCommand command) { return kRows[static_cast<std::size_t>(command)]; }

}  // namespace actions
