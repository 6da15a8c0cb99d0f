#pragma once

#include <CLI/CLI.hpp>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/inputs.hpp"
#include "cli/voice.hpp"

// The subcommands of `dezaror` and their options.
namespace cli {

// The subcommands' names, for suggesting the nearest to a misspelt one.
std::vector<std::string> subcommand_names();
// The name among `names` nearest to `typed` (at most a third of its letters differ), or none.
std::optional<std::string> nearest(std::string_view typed, const std::vector<std::string>& names);

struct CommandLine {
    std::string scenario;
    std::string mailbox;
    std::string settings;
    std::uint64_t seed = 0;
    std::string wav;
    bool voice = false;
    std::string voice_name;
    int rate = 0;
    bool html = false;
    bool transcript = false;
    std::optional<std::size_t> index;
    bool listen = false;
    std::string listen_wav;
    std::vector<std::string> files;
};

// How `demo` and `repl` show what happens: the transcript, as `run` prints it, or what a person
// watching would notice.
enum class Shown { Transcript, Person };

void add_subcommands(CLI::App& app, CommandLine& line);

// Runs the subcommand the user chose; the exit status.
int dispatch(const CLI::App& app, const CommandLine& line);

// What the simulator is built from, after the defaults of each subcommand.
struct SimInputs {
    std::optional<std::string> mailbox;   // none: the bundled sample
    std::optional<std::string> settings;  // none: in memory
    std::uint64_t seed = 0;
};

class Session;

// Builds the simulator from `inputs` and runs `body` on a session printing to `out`: the exit
// status. An unusable mailbox or settings file leaves its "! " line on `err` instead.
int with_session(const SimInputs& inputs, std::ostream& out, std::ostream& err,
                 const std::function<int(Session&)>& body);

// Runs scenario lines from `in` on a fresh simulator with the add-in: the exit status. The
// transcript and any "! " line go to `out`. What the character performs is heard and recorded as
// `voice` asks, outside real time.
int run_scenario(const SimInputs& inputs, const VoiceOptions& voice, std::istream& in, const std::string& file,
                 std::ostream& out);

// Runs `body` with the voice the options ask for, or none, and finishes the WAV file after it:
// the exit status. A voice that cannot start or a WAV that cannot be finished leaves its "! " line
// on `out`; warnings (no player program) go to `warnings`.
int with_voice(const VoiceOptions& options, std::ostream& out, std::ostream& warnings,
               const std::function<int(Voice*)>& body);

}  // namespace cli
