#pragma once

#include <filesystem>
#include <iosfwd>

namespace cli {

// `dezaror read FILE.eml`: the add-in reads the one message on the simulator, and what the character
// speaks of it (the announcement, then the body) is printed one piece a line, quoted as in the
// transcript. The exit status: 0, or 2 with a "! FILE: message" line on `err` when the file cannot
// be read or is no mail message.
int read_message(const std::filesystem::path& eml, std::ostream& out, std::ostream& err);

}  // namespace cli
