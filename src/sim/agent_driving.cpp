// What the user and the tests do with the simulated character: let it perform its queue (`done`),
// hold the listening key (`say`), choose from its menu (`menu`), and look at what it holds.
#include <fmt/format.h>

#include <utility>

#include "sim/agent_objects.hpp"

namespace sim {

void SimAgent::perform(std::optional<std::int64_t> n) {
    if (n && *n < 0) throw UsageError(fmt::format("cannot perform {} requests", *n));
    deliver_stopped();
    for (std::int64_t done = 0; !n || done < *n; ++done) {
        if (queue_.empty()) return;
        auto r = queue_.front();
        queue_.pop_front();
        const std::int32_t status =
            std::exchange(fail_next_, false) ? platform::kRequestFailed : platform::kRequestComplete;
        if (status == platform::kRequestComplete) {
            const QueuedRequest& q = r->request();
            switch (q.action) {
                case QueuedRequest::Action::Show:
                    shown_ = true;
                    break;
                case QueuedRequest::Action::Hide:
                    shown_ = false;
                    break;
                case QueuedRequest::Action::Speak:
                    if (!keep_said_) break;
                    spoken_.push_back(q.text);
                    said_.push_back(q.said);
                    break;
                case QueuedRequest::Action::Think:
                    if (keep_said_) said_.push_back(q.said);
                    break;
                case QueuedRequest::Action::MoveTo:
                    left_ = q.x;
                    top_ = q.y;
                    break;
                default:
                    break;
            }
        }
        complete(r, status);
    }
}

void SimAgent::say(std::string_view words) {
    deliver_stopped();
    if (!character_) return;
    const std::string id = character_id_;
    listening_ = true;
    // Holding the listening key cuts off the speech in progress; its completion follows the
    // ListenStart event, through the edge's after-event hook.
    if (!queue_.empty() && queue_.front()->request().action == QueuedRequest::Action::Speak) {
        queue_.front()->status_ = platform::kRequestInterrupted;
        stopped_.push_back(queue_.front());
        queue_.pop_front();
    }
    edge_.deliver("Agent.ListenStart", [&] { listen_start_.raise(id); });
    const platform::UserInput input{command_heard(words), std::string(words)};
    edge_.deliver("Agent.Command", [&] { command_.raise(input); });
    listening_ = false;
    edge_.deliver("Agent.ListenComplete", [&] { listen_complete_.raise(id, kListenUserReleasedKey); });
}

void SimAgent::menu(std::string_view name_or_caption) {
    deliver_stopped();
    if (!character_) throw UsageError("the character is not loaded, so it has no menu");
    const SimCommand* command = find_menu_command(name_or_caption);
    if (!command) throw UsageError(fmt::format("the character has no command \"{}\"", name_or_caption));
    if (!command->in_menu())
        throw UsageError(fmt::format("the command \"{}\" is not in the character's menu", command->name));
    if (!command->is_enabled)
        throw UsageError(fmt::format("the command \"{}\" is greyed in the character's menu", command->name));
    const platform::UserInput input{command->name, ""};
    edge_.deliver("Agent.Command", [&] { command_.raise(input); });
}

std::optional<QueuedRequest> SimAgent::head() const {
    if (queue_.empty()) return std::nullopt;
    return queue_.front()->request();
}

std::vector<QueuedRequest> SimAgent::queue() const {
    std::vector<QueuedRequest> out;
    for (const auto& r : queue_) out.push_back(r->request());
    return out;
}

}  // namespace sim
