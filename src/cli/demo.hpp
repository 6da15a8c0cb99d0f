#pragma once

#include <iosfwd>
#include <string>

#include "cli/commands.hpp"
#include "cli/voice.hpp"

namespace cli {

// `dezaror demo`: the tour's lines one after another. With a voice (`--voice` or `--wav`) in real
// time, the character performing as it goes, and a pause of the user's before each line the
// character is not busy with; without one as fast as the character's queue allows. What happens is
// shown as it happens, as the transcript or as a person watching would see it. On a mailbox of the
// user's own (`--mailbox`) a short tour of its own: the new mail previewed, the first message read.
// With `listen`, in real time with Ctrl-T at a terminal as the listening key, as at `repl --listen`:
// the user may speak to the character while the tour goes on.
int demo(const SimInputs& inputs, const VoiceOptions& voice, std::istream& tour, const std::string& file,
         std::ostream& out, std::ostream& warnings, Shown shown = Shown::Transcript, bool listen = false);

}  // namespace cli
