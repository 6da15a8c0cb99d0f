#pragma once

#include <filesystem>
#include <iosfwd>
#include <optional>

#include "cli/voice.hpp"

namespace cli {

// `dezaror read FILE.eml`: the add-in reads the one message on the simulator, and what the character
// speaks of it (the announcement, then the body) is printed one piece a line, quoted as in the
// transcript. The exit status: 0, or 2 with a "! FILE: message" line on `err` when the file cannot
// be read or is no mail message.
int read_message(const std::filesystem::path& eml, std::ostream& out, std::ostream& err);

// `dezaror read FILE`: as `read_message` for a message file; for an mbox file each message in turn,
// or only the `index`th (from 1), each after a line "message N of COUNT" when there are several.
// With a voice the pieces are spoken, and recorded, as they would be said.
int read_messages(const std::filesystem::path& file, std::optional<std::size_t> index, const VoiceOptions& voice,
                  std::ostream& out, std::ostream& err);

}  // namespace cli
