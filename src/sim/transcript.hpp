#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/quote.hpp"

// What the add-in made the platforms do, one line per visible act, in the formats of SIM.md.
namespace sim {

using platform::quote;

// A flag as the transcript writes it: "True" or "False".
inline std::string yes_no(bool on) { return on ? "True" : "False"; }

// A caption as the user reads it, to find a control or command by: without the access-key marks,
// in any case.
std::string plain_caption(std::string_view caption);

class Transcript {
public:
    using Sink = std::function<void(const std::string& line)>;

    // Adds "PLATFORM: TEXT" (platform is "agent", "office", "outlook", "msgbox", "settings",
    // "panel", "fault", ...).
    void add(std::string_view platform, std::string_view text);
    // Adds a line as it is (the scenario echo "> LINE", inspection output).
    void raw(std::string line);

    // Lines go to the sink as they are added when one is set, and are kept otherwise.
    void set_sink(Sink sink) { sink_ = std::move(sink); }
    const std::vector<std::string>& lines() const { return lines_; }
    std::vector<std::string> take();
    void clear() { lines_.clear(); }

private:
    Sink sink_;
    std::vector<std::string> lines_;
};

}  // namespace sim
