#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

#include "cli/commands.hpp"
#include "cli/voice.hpp"

namespace cli {

// `dezaror repl`: scenario lines from standard input at a prompt, with line editing and history
// on a terminal, while the character performs its requests in real time. An unusable line is
// reported and the prompt goes on; `help` lists the commands; Tab completes them; Ctrl-C cuts the
// character's speech; the end of the input (Ctrl-D), or Ctrl-C twice, takes the character down as a
// click on its button does, and ends the prompt. On a terminal the typed lines are not echoed again.
// With `key`, Ctrl-T at a terminal is the character's listening key: it starts recording from the
// default capture device, and Ctrl-T again, or half a second of silence, ends the utterance, which is
// heard as a `hear` line's recording is. A `wav` is heard once, as said with the key held, as soon
// as the character is up.
struct Listening {
    bool key = false;
    std::optional<std::string> wav;
};

int repl(const SimInputs& inputs, const VoiceOptions& voice, std::ostream& out, std::ostream& warnings,
         Shown shown = Shown::Transcript, const Listening& listening = {});

// What `help` prints: the commands of the prompt, one a line.
std::string_view repl_help();

}  // namespace cli
