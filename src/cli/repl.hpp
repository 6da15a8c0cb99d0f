#pragma once

#include <iosfwd>

#include "cli/commands.hpp"

namespace cli {

// `dezaror repl`: scenario lines at a prompt, with line editing and history when `in` is a
// terminal. An unusable line is reported and the prompt goes on.
int repl(const SimInputs& inputs, std::istream& in, std::ostream& out);

}  // namespace cli
