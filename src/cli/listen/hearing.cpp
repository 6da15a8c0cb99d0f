#include "cli/listen/hearing.hpp"

#include <fmt/format.h>

#include <filesystem>

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

std::string voice_help(const sim::SimAgent& agent) {
    const auto commands = voice_commands(agent);
    if (commands.empty()) return "The character is not up, so it hears nothing: start, then click button.\n";
    std::string out = fmt::format(
        "Say these while holding the listening key ({}; `say WORDS` types them, `hear FILE.wav` plays a\n"
        "16 kHz recording of them{}). Each command, an example, and all it hears ([x] optional,\n"
        "(a|b) one of, ... any words):\n",
        sim::kListeningKey, recognizer_built() ? "" : ", once dezaror is built with pocketsphinx");
    for (const VoiceCommand& c : commands)
        out += fmt::format("  {:<16} {:<28} {}\n", c.name, fmt::format("\"{}\"", example_phrase(c.voice, 0)), c.voice);
    return out;
}

std::string Ears::hear_file(const sim::SimAgent& agent, const std::string& path, std::string_view scenario_file) {
    std::filesystem::path file(path);
    const std::filesystem::path scenario(scenario_file);
    if (file.is_relative() && !scenario_file.empty() && std::filesystem::is_regular_file(scenario))
        file = scenario.parent_path() / file;
    return hear_samples(agent, read_wav(file.string()));
}

std::string Ears::hear_samples(const sim::SimAgent& agent, std::span<const std::int16_t> samples) {
    if (!*recognizer_) *recognizer_ = std::make_unique<Recognizer>();
    return hear(**recognizer_, agent, samples);
}

}  // namespace cli::listen
