#include "cli/listen/hearing.hpp"

namespace cli::listen {

std::vector<VoiceCommand> voice_commands(const sim::SimAgent& agent) {
    std::vector<VoiceCommand> out;
    for (auto& [name, voice] : agent.voice_commands()) out.push_back({name, voice});
    return out;
}

std::string hear(Recognizer& recognizer, const sim::SimAgent& agent, std::span<const std::int16_t> samples) {
    const auto commands = voice_commands(agent);
    if (commands.empty()) return {};
    recognizer.listen_for(commands);
    return recognizer.decode(samples).words;
}

}  // namespace cli::listen
