#pragma once

#include <cstdint>
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

}  // namespace cli::listen
