#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// The text tools of the command: what reading would make of a body or a message.
namespace cli {

enum class BodyKind { Plain, Html };

// `dezaror clean`: each file's text through the filter reading applies to its kind of body, one
// after the other. The exit status; an unreadable file leaves a "! FILE: message" line on `err`.
int clean(const std::vector<std::string>& files, BodyKind kind, std::ostream& out, std::ostream& err);

// `dezaror pieces`: the pieces reading cuts the file's text into, one a line, quoted as in the
// transcript.
int pieces(const std::string& file, std::ostream& out, std::ostream& err);

// The whole content of a file; throws InputError naming the file.
std::string read_file(const std::string& file);

}  // namespace cli
