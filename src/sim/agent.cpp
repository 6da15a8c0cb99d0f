#include "sim/agent.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <cctype>
#include <utility>

#include "platform/error.hpp"
#include "platform/object_ref.hpp"
#include "sim/grammar.hpp"

namespace sim {

namespace {

using platform::PlatformError;

// The character server's own error numbers for the misuses the simulator refuses.
constexpr std::int32_t kErrInvalidArgument = 5;
constexpr std::int32_t kErrNotLoaded = -2147213301;
constexpr std::int32_t kErrAlreadyLoaded = -2147213303;
constexpr std::int32_t kErrNotConnected = -2147213306;

[[noreturn]] void throw_not_loaded() { throw PlatformError(kErrNotLoaded, "The character is not loaded"); }

[[noreturn]] void throw_invalid(std::string_view what) {
    throw PlatformError(kErrInvalidArgument, fmt::format("Invalid procedure call or argument: {}", what));
}

std::string yes_no(bool on) { return on ? "True" : "False"; }

// A menu caption as the user reads it: without the access-key marks, in any case.
std::string plain_caption(std::string_view caption) {
    std::string out;
    for (char c : caption)
        if (c != '&') out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::string describe(const QueuedRequest& r) {
    using A = QueuedRequest::Action;
    switch (r.action) {
        case A::Show:
            return "show";
        case A::Hide:
            return "hide";
        case A::Play:
            return "play " + quote(r.text);
        case A::Speak:
            return "speak " + quote(r.text);
        case A::Think:
            return "think " + quote(r.text);
        case A::MoveTo:
            return fmt::format("moveto {} {}", r.x, r.y);
        case A::GestureAt:
            return fmt::format("gestureat {} {}", r.x, r.y);
    }
    return {};
}

// One of the "|"-separated alternatives of `text`, each as likely as the others.
std::string choose_alternative(std::string_view text, std::mt19937_64& choices) {
    std::vector<std::string_view> alternatives;
    for (std::size_t from = 0;;) {
        const auto bar = text.find('|', from);
        alternatives.push_back(text.substr(from, bar == std::string_view::npos ? std::string_view::npos : bar - from));
        if (bar == std::string_view::npos) break;
        from = bar + 1;
    }
    if (alternatives.size() == 1) return std::string(text);
    // The top 53 bits as a fraction, as the random source does, so every library draws alike.
    const double x = static_cast<double>(choices() >> 11) * 0x1.0p-53;
    const auto pick = std::min(alternatives.size() - 1, static_cast<std::size_t>(x * alternatives.size()));
    return std::string(alternatives[pick]);
}

}  // namespace

class SimAgent::SimRequest : public platform::Request {
public:
    SimRequest(Faults& faults, QueuedRequest request) : faults_(faults), request_(std::move(request)) {}
    std::int32_t id() override {
        faults_.check("ID");
        return request_.id;
    }
    std::int32_t status() override {
        faults_.check("Status");
        return status_;
    }

    const QueuedRequest& request() const { return request_; }
    std::int32_t status_ = platform::kRequestPending;

private:
    Faults& faults_;
    QueuedRequest request_;
};

class SimAgent::SimCommand : public platform::AgentCommand {
public:
    SimCommand(SimAgent& agent, std::shared_ptr<bool> alive, std::string name, std::optional<std::string> caption,
               std::optional<VoiceGrammar> voice, bool enabled, bool visible)
        : name(std::move(name)),
          caption(std::move(caption)),
          voice(std::move(voice)),
          is_enabled(enabled),
          is_visible(visible),
          agent_(agent),
          alive_(std::move(alive)) {}

    bool enabled() override {
        use("Enabled");
        return is_enabled;
    }
    void set_enabled(bool on) override {
        use("Enabled");
        agent_.transcript_.add("agent", "command " + quote(name) + " Enabled " + yes_no(on));
        is_enabled = on;
    }
    bool visible() override {
        use("Visible");
        return is_visible;
    }
    void set_visible(bool on) override {
        use("Visible");
        agent_.transcript_.add("agent", "command " + quote(name) + " Visible " + yes_no(on));
        is_visible = on;
    }

    bool in_menu() const { return caption.has_value() && is_visible; }

    const std::string name;
    const std::optional<std::string> caption;
    const std::optional<VoiceGrammar> voice;
    bool is_enabled;
    bool is_visible;

private:
    void use(std::string_view call) {
        agent_.faults_.check(call);
        if (!*alive_) throw_not_loaded();
    }
    SimAgent& agent_;
    std::shared_ptr<bool> alive_;
};

class SimAgent::SimCommands : public platform::AgentCommands {
public:
    SimCommands(SimAgent& agent, std::shared_ptr<bool> alive) : agent_(agent), alive_(std::move(alive)) {}

    void set_caption(std::string_view text) override { set("Caption", text); }
    void set_voice_caption(std::string_view text) override { set("VoiceCaption", text); }
    void set_voice(std::string_view text) override { set("Voice", text); }

    std::shared_ptr<platform::AgentCommand> add(std::string_view name, std::optional<std::string> caption,
                                                std::optional<std::string> voice, std::optional<bool> enabled,
                                                std::optional<bool> visible) override {
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

    std::shared_ptr<platform::AgentCommand> item(std::string_view name) override {
        use("Commands.Item");
        if (auto command = find(name)) return command;
        throw_invalid(fmt::format("there is no command \"{}\"", name));
    }

    std::shared_ptr<SimCommand> find(std::string_view name) const {
        for (const auto& command : commands)
            if (command->name == name) return command;
        return nullptr;
    }

    std::vector<std::shared_ptr<SimCommand>> commands;  // in the order added: the menu's order

private:
    void set(std::string_view property, std::string_view text) {
        use("Commands." + std::string(property));
        agent_.transcript_.add("agent", "commands " + std::string(property) + " " + quote(text));
    }
    void use(std::string_view call) {
        agent_.faults_.check(call);
        if (!*alive_) throw_not_loaded();
    }
    SimAgent& agent_;
    std::shared_ptr<bool> alive_;
};

class SimAgent::SimCharacter : public platform::Character {
public:
    explicit SimCharacter(SimAgent& agent)
        : alive(std::make_shared<bool>(true)),
          command_set(std::make_shared<SimCommands>(agent, alive)),
          agent_(agent) {}

    using Action = QueuedRequest::Action;
    platform::RequestPtr show() override { return request("Show", Action::Show); }
    platform::RequestPtr hide() override { return request("Hide", Action::Hide); }
    platform::RequestPtr play(std::string_view animation) override { return request("Play", Action::Play, animation); }
    platform::RequestPtr speak(std::string_view text) override { return request("Speak", Action::Speak, text); }
    platform::RequestPtr think(std::string_view text) override { return request("Think", Action::Think, text); }
    platform::RequestPtr move_to(std::int16_t x, std::int16_t y) override {
        return request("MoveTo", Action::MoveTo, {}, x, y);
    }
    platform::RequestPtr gesture_at(std::int16_t x, std::int16_t y) override {
        return request("GestureAt", Action::GestureAt, {}, x, y);
    }

    void stop(const platform::RequestPtr& request) override {
        use("Stop");
        if (!request) platform::throw_object_not_set();
        const auto* ours = dynamic_cast<const SimRequest*>(request.get());
        if (!ours) throw_invalid("not a request of this character");
        agent_.transcript_.add("agent", fmt::format("stop #{}", ours->request().id));
        agent_.stop_queued(ours->request().id);
    }
    void stop_all() override {
        use("StopAll");
        agent_.transcript_.add("agent", "stopall");
        agent_.stop_all_queued();
    }
    bool listen(bool on) override {
        use("Listen");
        agent_.transcript_.add("agent", "listen " + yes_no(on));
        agent_.listening_ = on;
        return true;
    }
    std::string name() override {
        use("Name");
        return std::string(kCharacterName);
    }
    std::int16_t left() override {
        use("Left");
        return agent_.left_;
    }
    void set_left(std::int16_t x) override {
        use("Left");
        agent_.transcript_.add("agent", fmt::format("left {}", x));
        agent_.left_ = x;
    }
    std::int16_t top() override {
        use("Top");
        return agent_.top_;
    }
    void set_top(std::int16_t y) override {
        use("Top");
        agent_.transcript_.add("agent", fmt::format("top {}", y));
        agent_.top_ = y;
    }
    std::shared_ptr<platform::AgentCommands> commands() override {
        use("Commands");
        return command_set;
    }

    std::shared_ptr<bool> alive;  // false once unloaded: the handles the add-in still holds then fail
    std::shared_ptr<SimCommands> command_set;

private:
    platform::RequestPtr request(std::string_view call, Action action, std::string_view text = {}, std::int16_t x = 0,
                                 std::int16_t y = 0) {
        use(call);
        QueuedRequest r;
        r.action = action;
        r.text = text;
        r.x = x;
        r.y = y;
        return agent_.queue_request(std::move(r));
    }
    void use(std::string_view call) {
        agent_.faults_.check(call);
        if (!*alive) throw_not_loaded();
    }
    SimAgent& agent_;
};

SimAgent::SimAgent(Transcript& transcript, Faults& faults, Edge& edge, std::uint64_t seed)
    : transcript_(transcript), faults_(faults), edge_(edge) {
    // A stream of its own, derived from the seed but not equal to the add-in's.
    std::seed_seq mixed{static_cast<std::uint32_t>(seed), static_cast<std::uint32_t>(seed >> 32), 0x5eedu};
    choices_.seed(mixed);
    edge_.after_each_event([this] { deliver_stopped(); });
}

SimAgent::~SimAgent() {
    if (character_) *character_->alive = false;
}

void SimAgent::set_connected(bool on) {
    faults_.check("Connected");
    transcript_.add("agent", "connected " + yes_no(on));
    connected_ = on;
}

void SimAgent::characters_load(std::string_view id) {
    faults_.check("Characters.Load");
    if (!connected_) throw PlatformError(kErrNotConnected, "The character server is not connected");
    if (character_) throw PlatformError(kErrAlreadyLoaded, "The character is already loaded");
    transcript_.add("agent", "load " + quote(id));
    character_id_ = id;
    character_ = std::make_shared<SimCharacter>(*this);
    shown_ = false;
    listening_ = false;
}

std::shared_ptr<platform::Character> SimAgent::character(std::string_view id) {
    faults_.check("Characters");
    require_character(id);
    return character_;
}

void SimAgent::characters_unload(std::string_view id) {
    faults_.check("Characters.Unload");
    require_character(id);
    transcript_.add("agent", "unload " + quote(id));
    // An unloaded character raises nothing more: what it still had queued or stopped is dropped
    // without a completion, as the form that asked for it is letting go of it too.
    for (auto& r : queue_) r->status_ = platform::kRequestInterrupted;
    queue_.clear();
    stopped_.clear();
    *character_->alive = false;
    character_.reset();
    character_id_.clear();
    shown_ = false;
    listening_ = false;
}

std::string SimAgent::speech_input_hot_key() {
    faults_.check("SpeechInput.HotKey");
    return std::string(kListeningKey);
}

void SimAgent::set_property_sheet_visible(bool on) {
    faults_.check("PropertySheet.Visible");
    transcript_.add("agent", on ? "property sheet" : "property sheet False");
}

void SimAgent::show_default_character_properties() {
    faults_.check("ShowDefaultCharacterProperties");
    transcript_.add("agent", "character properties");
}

platform::Subscription SimAgent::on_command(std::function<void(const platform::UserInput&)> handler) {
    return command_.subscribe(std::move(handler));
}
platform::Subscription SimAgent::on_request_complete(std::function<void(const platform::RequestPtr&)> handler) {
    return request_complete_.subscribe(std::move(handler));
}
platform::Subscription SimAgent::on_listen_start(std::function<void(const std::string&)> handler) {
    return listen_start_.subscribe(std::move(handler));
}
platform::Subscription SimAgent::on_listen_complete(std::function<void(const std::string&, std::int32_t)> handler) {
    return listen_complete_.subscribe(std::move(handler));
}

void SimAgent::require_character(std::string_view id) const {
    if (!character_ || id != character_id_) throw_not_loaded();
}

std::shared_ptr<SimAgent::SimRequest> SimAgent::queue_request(QueuedRequest request) {
    request.id = next_request_++;
    if (request.action == QueuedRequest::Action::Speak || request.action == QueuedRequest::Action::Think)
        request.said = choose_alternative(request.text, choices_);
    auto r = std::make_shared<SimRequest>(faults_, std::move(request));
    transcript_.add("agent", describe(r->request()) + fmt::format(" #{}", r->request().id));
    queue_.push_back(r);
    return r;
}

void SimAgent::stop_queued(std::int32_t id) {
    // A request no longer queued was performed or dropped already: it must not complete twice.
    auto it = std::find_if(queue_.begin(), queue_.end(), [id](const auto& r) { return r->request().id == id; });
    if (it == queue_.end()) return;
    (*it)->status_ = platform::kRequestInterrupted;
    stopped_.push_back(*it);
    queue_.erase(it);
}

void SimAgent::stop_all_queued() {
    for (auto& r : queue_) {
        r->status_ = platform::kRequestInterrupted;
        stopped_.push_back(r);
    }
    queue_.clear();
}

void SimAgent::complete(const std::shared_ptr<SimRequest>& request, std::int32_t status) {
    request->status_ = status;
    transcript_.add("agent", fmt::format("done #{} {}", request->request().id, status));
    if (observer_) observer_(request->request(), status);
    platform::RequestPtr handle = request;
    edge_.deliver("Agent.RequestComplete", [&] { request_complete_.raise(handle); });
}

void SimAgent::deliver_stopped() {
    // A handler may stop further requests; they join the end and are delivered in this same loop.
    while (!stopped_.empty()) {
        auto r = stopped_.front();
        stopped_.pop_front();
        complete(r, platform::kRequestInterrupted);
    }
}

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

const SimAgent::SimCommand* SimAgent::find_menu_command(std::string_view name_or_caption) const {
    const auto& commands = character_->command_set->commands;
    for (const auto& command : commands)
        if (command->name == name_or_caption) return command.get();
    const std::string wanted = plain_caption(name_or_caption);
    for (const auto& command : commands)
        if (command->caption && plain_caption(*command->caption) == wanted) return command.get();
    return nullptr;
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

std::vector<std::string> SimAgent::menu_lines() const {
    std::vector<std::string> lines;
    if (!character_) return lines;
    for (const auto& command : character_->command_set->commands) {
        if (!command->in_menu()) continue;
        lines.push_back("menu: " + *command->caption + (command->is_enabled ? "" : " (greyed)"));
    }
    return lines;
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
