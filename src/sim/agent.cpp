// The simulated character control: connecting, loading and unloading the character, its events,
// and the queue of requests with their completions.
#include "sim/agent.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <utility>

#include "platform/error.hpp"
#include "sim/agent_objects.hpp"

namespace sim {

namespace agent_detail {

void throw_not_loaded() { throw platform::PlatformError(kErrNotLoaded, "The character is not loaded"); }

void throw_invalid(std::string_view what) {
    throw platform::PlatformError(kErrInvalidArgument, fmt::format("Invalid procedure call or argument: {}", what));
}

}  // namespace agent_detail

namespace {

using agent_detail::kErrAlreadyLoaded;
using agent_detail::kErrNotConnected;
using agent_detail::throw_not_loaded;
using platform::PlatformError;

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

}  // namespace sim
