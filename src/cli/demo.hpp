#pragma once

#include <iosfwd>
#include <string>

#include "cli/commands.hpp"
#include "cli/voice.hpp"

namespace cli {

// `dezaror demo --voice` or `--wav`: the tour's lines one after another in real time, the
// character performing as it goes and the transcript printed as it happens. A pause of the user's
// comes before each line the character is not busy with.
int demo(const SimInputs& inputs, const VoiceOptions& voice, std::istream& tour, const std::string& file,
         std::ostream& out, std::ostream& warnings);

}  // namespace cli
