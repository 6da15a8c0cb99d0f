#pragma once

#include "character/form.hpp"

// What each of the form's events runs. The wiring is the one place that knows every subsystem: the form
// holds the fields and the subsystems hold the handlers, and neither includes the other's callers.
namespace addin {

// Binds Agent1's and Timer1's events for the form's life, tells each WithEvents field which handlers to
// bind when an object is assigned, and gives reading the preview's steps. Called once, on a new form,
// before any field is assigned.
void bind_events(character::frmAgentCtrl& f);

}  // namespace addin
