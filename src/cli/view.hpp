#pragma once

#include <iosfwd>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "sim/agent.hpp"

namespace sim {
class SimPlatform;
}

// What a person watching the character would notice, one line a thing, in place of the transcript:
// the one wording the character chose for each text, changes to the mail, the menu when it opens,
// message boxes as framed blocks. Plumbing (command set-up, captions, completions) is left out.
namespace cli {

// Whether the person's view is wanted for standard output: when it is a terminal.
bool output_is_terminal();
// Whether the terminal on `fd` gets colour: when it is one and NO_COLOR is unset or empty.
bool colour_wanted(int fd);

struct ViewOptions {
    bool colour = false;
    // The user's own lines shown back (the demo's tour); at the prompt the user already sees them.
    bool echo = true;
};

class PersonView {
public:
    // Lines go to `out`; unusable lines ("! ...") to `err`.
    PersonView(sim::SimPlatform& sim, std::ostream& out, std::ostream& err, ViewOptions options);

    // One transcript line as the simulator prints it.
    void line(const std::string& line);
    // A request the character begins performing (or performs, outside real time).
    void performing(const sim::QueuedRequest& request);
    // An animation held back for the speech that may follow is shown on its own.
    void flush();

private:
    void show_echo(std::string_view command);
    void show_mail(std::string_view text);
    void show_box(std::string_view text);
    void say(std::string_view text);
    std::string item(std::string_view id);
    std::string paint(std::string_view text, std::string_view colour) const;

    sim::SimPlatform& sim_;
    std::ostream& out_;
    std::ostream& err_;
    ViewOptions options_;
    bool inspecting_ = false;
    std::optional<std::string> animation_;
    // Copies, replies and new items by their id: what they were made from.
    std::map<std::string, std::string, std::less<>> made_;
};

}  // namespace cli
