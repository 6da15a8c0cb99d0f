#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "cli/listen/recognizer.hpp"
#include "sim/agent.hpp"

// The recogniser as the simulated character's ears.
namespace cli::listen {

// The commands the character listens for now: added, enabled and visible, with a voice text.
std::vector<VoiceCommand> voice_commands(const sim::SimAgent& agent);

// The words heard in one utterance, with a grammar of the commands the character listens for now:
// what `say` passes on as typed, "" for speech that is no command (or no character to hear it).
std::string hear(Recognizer& recognizer, const sim::SimAgent& agent, std::span<const std::int16_t> samples);

// `help voice`: what the character can be told now, one command a line, with an example of each
// and the key to hold; or why it cannot listen.
std::string voice_help(const sim::SimAgent& agent);

// The recogniser of a session or the prompt, loaded on its first use; copies share it.
class Ears {
public:
    // The words heard in a WAV file of one utterance; a relative path is taken from the folder of
    // `scenario_file` when that is a file. Throws ListenError.
    std::string hear_file(const sim::SimAgent& agent, const std::string& path, std::string_view scenario_file = {});
    std::string hear_samples(const sim::SimAgent& agent, std::span<const std::int16_t> samples);

private:
    std::shared_ptr<std::unique_ptr<Recognizer>> recognizer_ = std::make_shared<std::unique_ptr<Recognizer>>();
};

}  // namespace cli::listen
