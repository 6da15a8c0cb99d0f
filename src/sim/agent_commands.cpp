// The character's command set: the commands the add-in adds, the pop-up menu they make, and the
// voice grammars a said phrase is matched against.
#include <fmt/format.h>

#include "sim/agent_objects.hpp"

namespace sim {

using agent_detail::throw_invalid;
using agent_detail::throw_not_loaded;

SimAgent::SimCommand::SimCommand(SimAgent& agent, std::shared_ptr<bool> alive, std::string name,
                                 std::optional<std::string> caption, std::optional<VoiceGrammar> voice, bool enabled,
                                 bool visible)
    : name(std::move(name)),
      caption(std::move(caption)),
      voice(std::move(voice)),
      is_enabled(enabled),
      is_visible(visible),
      agent_(agent),
      alive_(std::move(alive)) {}

bool SimAgent::SimCommand::enabled() {
    use("Enabled");
    return is_enabled;
}

void SimAgent::SimCommand::set_enabled(bool on) {
    use("Enabled");
    agent_.transcript_.add("agent", "command " + quote(name) + " Enabled " + yes_no(on));
    is_enabled = on;
}

bool SimAgent::SimCommand::visible() {
    use("Visible");
    return is_visible;
}

void SimAgent::SimCommand::set_visible(bool on) {
    use("Visible");
    agent_.transcript_.add("agent", "command " + quote(name) + " Visible " + yes_no(on));
    is_visible = on;
}

void SimAgent::SimCommand::use(std::string_view call) {
    agent_.faults_.check(call);
    if (!*alive_) throw_not_loaded();
}

std::shared_ptr<platform::AgentCommand> SimAgent::SimCommands::add(std::string_view name,
                                                                   std::optional<std::string> caption,
                                                                   std::optional<std::string> voice,
                                                                   std::optional<bool> enabled,
                                                                   std::optional<bool> visible) {
    use("Commands.Add");
    if (name.empty()) throw_invalid("a command needs a name");
    if (find(name)) throw_invalid(fmt::format("there is already a command \"{}\"", name));
    std::optional<VoiceGrammar> grammar;
    // A blank voice text is no voice text: the command can only be chosen from the menu.
    if (voice && voice->find_first_not_of(" \t\r\n") != std::string::npos) {
        try {
            grammar.emplace(*voice);
        } catch (const GrammarError& e) {
            throw_invalid(e.what());
        }
    }
    std::string line =
        "add " + quote(name) + " " + (caption ? quote(*caption) : "-") + " " + (voice ? quote(*voice) : "-");
    if (enabled) line += " " + yes_no(*enabled);
    if (visible) line += " " + yes_no(*visible);
    agent_.transcript_.add("agent", line);
    commands.push_back(std::make_shared<SimCommand>(agent_, alive_, std::string(name), std::move(caption),
                                                    std::move(grammar), enabled.value_or(true),
                                                    visible.value_or(true)));
    return commands.back();
}

std::shared_ptr<platform::AgentCommand> SimAgent::SimCommands::item(std::string_view name) {
    use("Commands.Item");
    if (auto command = find(name)) return command;
    throw_invalid(fmt::format("there is no command \"{}\"", name));
}

std::shared_ptr<SimAgent::SimCommand> SimAgent::SimCommands::find(std::string_view name) const {
    for (const auto& command : commands)
        if (command->name == name) return command;
    return nullptr;
}

void SimAgent::SimCommands::set(std::string_view property, std::string_view text) {
    use("Commands." + std::string(property));
    agent_.transcript_.add("agent", "commands " + std::string(property) + " " + quote(text));
}

void SimAgent::SimCommands::use(std::string_view call) {
    agent_.faults_.check(call);
    if (!*alive_) throw_not_loaded();
}

std::string SimAgent::command_heard(std::string_view words) const {
    if (!character_) return {};
    const SimCommand* best = nullptr;
    std::size_t best_taken = 0;
    for (const auto& command : character_->command_set->commands) {
        if (!command->is_enabled || !command->voice) continue;
        const auto taken = command->voice->match(words);
        // Strictly fewer: among equals the first in the catalogue wins.
        if (taken && (!best || *taken < best_taken)) {
            best = command.get();
            best_taken = *taken;
        }
    }
    return best ? best->name : std::string();
}

std::vector<std::pair<std::string, std::string>> SimAgent::voice_commands() const {
    std::vector<std::pair<std::string, std::string>> out;
    if (!character_) return out;
    for (const auto& command : character_->command_set->commands)
        if (command->is_enabled && command->is_visible && command->voice)
            out.emplace_back(command->name, command->voice->text());
    return out;
}

const SimAgent::SimCommand* SimAgent::find_menu_command(std::string_view name_or_caption) const {
    const auto& commands = character_->command_set->commands;
    for (const auto& command : commands)
        if (command->name == name_or_caption) return command.get();
    const std::string wanted = plain_caption(name_or_caption);
    for (const auto& command : commands)
        if (command->caption && plain_caption(*command->caption) == wanted) return command.get();
    return nullptr;
}

std::vector<std::string> SimAgent::menu_lines() const {
    std::vector<std::string> lines;
    if (!character_) return lines;
    for (const auto& command : character_->command_set->commands) {
        if (!command->in_menu()) continue;
        lines.push_back("menu: " + *command->caption + (command->is_enabled ? "" : " (greyed)"));
    }
    return lines;
}

}  // namespace sim
