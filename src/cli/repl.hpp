#pragma once

#include <iosfwd>
#include <string_view>

#include "cli/commands.hpp"
#include "cli/voice.hpp"

namespace cli {

// `dezaror repl`: scenario lines from standard input at a prompt, with line editing and history
// on a terminal, while the character performs its requests in real time. An unusable line is
// reported and the prompt goes on; `help` lists the commands; Tab completes them; Ctrl-C cuts the
// character's speech; the end of the input (Ctrl-D), or Ctrl-C twice, takes the character down as a
// click on its button does, and ends the prompt. On a terminal the typed lines are not echoed again.
int repl(const SimInputs& inputs, const VoiceOptions& voice, std::ostream& out, std::ostream& warnings,
         Shown shown = Shown::Transcript);

// What `help` prints: the commands of the prompt, one a line.
std::string_view repl_help();

}  // namespace cli
