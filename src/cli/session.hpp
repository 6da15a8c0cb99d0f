#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "addin/connect.hpp"
#include "cli/inputs.hpp"
#include "cli/listen/hearing.hpp"
#include "cli/scenario.hpp"
#include "sim/sim_platform.hpp"

namespace cli {

// The add-in on a simulated platform, driven one scenario line at a time. Every line is echoed as
// "> LINE", followed by the transcript lines it caused; an unusable line leaves "! FILE:LINE: message".
class Session {
public:
    // Transcript lines go to `out` as they happen.
    Session(sim::SimPlatform& sim, std::ostream& out);
    // The form's field of that name as `show state` prints it; empty when the form has no such field.
    using FieldReader = std::function<std::optional<std::string>(std::string_view field)>;
    // Plays the lines against another add-in than the one built in (the same add-in behind another
    // edge), whose form answers `show state` through `fields`.
    Session(sim::SimPlatform& sim, std::ostream& out, platform::Extensibility& played, FieldReader fields);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Runs one line. False when the line was unusable (its "! " line is written).
    bool execute(std::string_view line, const Place& place);

    // Runs every line of `in` until the first unusable one; the exit status.
    int run(std::istream& in, std::string_view file);

    // Where transcript lines go from now on, instead of `out`: the person's view, or a filter.
    void show_with(std::function<void(const std::string&)> sink);

    // The folder paths of the mailbox the session was built on, for completing them at the prompt.
    std::vector<std::string>& folder_paths() { return folder_paths_; }

    addin::Connect& addin() { return addin_; }
    sim::SimPlatform& sim() { return sim_; }
    // What hears the `hear` lines; a copy given here shares its loaded recogniser.
    listen::Ears& ears() { return ears_; }

    // Who performs `done [N]`: the character at once, unless the prompt or the demo performs it
    // in real time.
    void on_done(std::function<void(std::optional<std::int64_t>)> perform) { done_ = std::move(perform); }

    // What the scenario commands do beyond the simulated platform's own calls.
    // `start`: the mail client starts with this session's add-in.
    void start();
    // `done [N]`: through the performer given to on_done, or at once.
    void done(std::optional<std::int64_t> n);
    // `hear FILE.wav`: a relative FILE is taken from the folder of the file the line came from.
    void hear(const std::string& file, const Place& place);
    // An utterance spoken at the microphone, heard as a `hear` line's recording: the recogniser
    // decides the words, shown on `shown`, which reach the character as said. What goes wrong is
    // told on `errors`.
    void hear_spoken(std::span<const std::int16_t> samples, std::ostream& shown, std::ostream& errors);
    // `show state FIELD...`: every field is checked before any is printed.
    void show_state(const std::vector<std::string>& fields);

private:

    sim::SimPlatform& sim_;
    std::ostream& out_;
    std::function<void(std::optional<std::int64_t>)> done_;
    std::vector<std::string> folder_paths_;
    // The add-in is destroyed before the platform it is subscribed to, which the caller owns.
    addin::Connect addin_;
    platform::Extensibility* played_ = &addin_;
    FieldReader fields_;
    listen::Ears ears_;
};

// "! FILE:LINE: message", or "! FILE: message" when the line is not known.
std::string unusable_line(const Place& place, std::string_view message);

}  // namespace cli
