#pragma once

#include <iosfwd>
#include <string_view>

#include "cli/commands.hpp"
#include "cli/voice.hpp"

namespace cli {

// `dezaror repl`: scenario lines from standard input at a prompt, with line editing and history
// on a terminal, while the character performs its requests in real time. An unusable line is
// reported and the prompt goes on; `help` lists the commands; the end of the input (Ctrl-D) takes
// the character down as a click on its button does, and ends the prompt.
int repl(const SimInputs& inputs, const VoiceOptions& voice, std::ostream& out, std::ostream& warnings);

// What `help` prints: the commands of the prompt, one a line.
std::string_view repl_help();

}  // namespace cli
