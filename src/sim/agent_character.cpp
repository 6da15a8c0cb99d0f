// The simulated character: each request call queues a request on the control; the position and
// the listening switch act at once.
#include <fmt/format.h>

#include "platform/object_ref.hpp"
#include "sim/agent_objects.hpp"

namespace sim {

using agent_detail::throw_invalid;
using agent_detail::throw_not_loaded;

SimAgent::SimCharacter::SimCharacter(SimAgent& agent)
    : alive(std::make_shared<bool>(true)), command_set(std::make_shared<SimCommands>(agent, alive)), agent_(agent) {}

platform::RequestPtr SimAgent::SimCharacter::show() { return request("Show", Action::Show); }
platform::RequestPtr SimAgent::SimCharacter::hide() { return request("Hide", Action::Hide); }
platform::RequestPtr SimAgent::SimCharacter::play(std::string_view animation) {
    return request("Play", Action::Play, animation);
}
platform::RequestPtr SimAgent::SimCharacter::speak(std::string_view text) {
    return request("Speak", Action::Speak, text);
}
platform::RequestPtr SimAgent::SimCharacter::think(std::string_view text) {
    return request("Think", Action::Think, text);
}
platform::RequestPtr SimAgent::SimCharacter::move_to(std::int16_t x, std::int16_t y) {
    return request("MoveTo", Action::MoveTo, {}, x, y);
}
platform::RequestPtr SimAgent::SimCharacter::gesture_at(std::int16_t x, std::int16_t y) {
    return request("GestureAt", Action::GestureAt, {}, x, y);
}

void SimAgent::SimCharacter::stop(const platform::RequestPtr& request) {
    use("Stop");
    if (!request) platform::throw_object_not_set();
    const auto* ours = dynamic_cast<const SimRequest*>(request.get());
    if (!ours) throw_invalid("not a request of this character");
    agent_.transcript_.add("agent", fmt::format("stop #{}", ours->request().id));
    agent_.stop_queued(ours->request().id);
}

void SimAgent::SimCharacter::stop_all() {
    use("StopAll");
    agent_.transcript_.add("agent", "stopall");
    agent_.stop_all_queued();
}

bool SimAgent::SimCharacter::listen(bool on) {
    use("Listen");
    agent_.transcript_.add("agent", "listen " + yes_no(on));
    agent_.listening_ = on;
    return true;
}

std::string SimAgent::SimCharacter::name() {
    use("Name");
    return std::string(kCharacterName);
}

std::int16_t SimAgent::SimCharacter::left() {
    use("Left");
    return agent_.left_;
}

void SimAgent::SimCharacter::set_left(std::int16_t x) {
    use("Left");
    agent_.transcript_.add("agent", fmt::format("left {}", x));
    agent_.left_ = x;
}

std::int16_t SimAgent::SimCharacter::top() {
    use("Top");
    return agent_.top_;
}

void SimAgent::SimCharacter::set_top(std::int16_t y) {
    use("Top");
    agent_.transcript_.add("agent", fmt::format("top {}", y));
    agent_.top_ = y;
}

std::shared_ptr<platform::AgentCommands> SimAgent::SimCharacter::commands() {
    use("Commands");
    return command_set;
}

platform::RequestPtr SimAgent::SimCharacter::request(std::string_view call, Action action, std::string_view text,
                                                     std::int16_t x, std::int16_t y) {
    use(call);
    QueuedRequest r;
    r.action = action;
    r.text = text;
    r.x = x;
    r.y = y;
    return agent_.queue_request(std::move(r));
}

void SimAgent::SimCharacter::use(std::string_view call) {
    agent_.faults_.check(call);
    if (!*alive) throw_not_loaded();
}

}  // namespace sim
