#include "win/agent.hpp"

#include "platform/object_ref.hpp"
#include "win/events.hpp"

namespace win {

namespace {

using platform::RequestPtr;

class WinRequest : public platform::Request {
public:
    explicit WinRequest(ComPtr<IDispatch> request) : d_(std::move(request)) {}
    std::int32_t id() override { return d_.get_int("ID"); }
    std::int32_t status() override { return d_.get_int("Status"); }
    IDispatch* raw() const { return d_.raw(); }

private:
    Dispatch d_;
};

RequestPtr request_of(const Variant& v) {
    auto object = v.to_object();
    return object ? make_request(std::move(object)) : nullptr;
}

// An argument left out keeps the control's default.
template <class T>
Variant optional_arg(const std::optional<T>& value) {
    return value ? Variant(*value) : Variant::missing();
}

class WinAgentCommand : public platform::AgentCommand {
public:
    explicit WinAgentCommand(ComPtr<IDispatch> command) : d_(std::move(command)) {}
    bool enabled() override { return d_.get_bool("Enabled"); }
    void set_enabled(bool on) override { d_.put("Enabled", on); }
    bool visible() override { return d_.get_bool("Visible"); }
    void set_visible(bool on) override { d_.put("Visible", on); }

private:
    Dispatch d_;
};

class WinAgentCommands : public platform::AgentCommands {
public:
    explicit WinAgentCommands(ComPtr<IDispatch> commands) : d_(std::move(commands)) {}
    void set_caption(std::string_view text) override { d_.put("Caption", text); }
    void set_voice_caption(std::string_view text) override { d_.put("VoiceCaption", text); }
    void set_voice(std::string_view text) override { d_.put("Voice", text); }
    std::shared_ptr<platform::AgentCommand> add(std::string_view name, std::optional<std::string> caption,
                                                std::optional<std::string> voice, std::optional<bool> enabled,
                                                std::optional<bool> visible) override {
        auto added = d_.call_object(
            "Add", {name, optional_arg(caption), optional_arg(voice), optional_arg(enabled), optional_arg(visible)});
        return added ? std::make_shared<WinAgentCommand>(std::move(added)) : nullptr;
    }
    std::shared_ptr<platform::AgentCommand> item(std::string_view name) override {
        auto found = d_.get_or_call("Command", {name}).to_object();
        if (!found) throw error_from(E_INVALIDARG);
        return std::make_shared<WinAgentCommand>(std::move(found));
    }

private:
    Dispatch d_;
};

class WinCharacter : public platform::Character {
public:
    explicit WinCharacter(ComPtr<IDispatch> character) : d_(std::move(character)) {}
    RequestPtr show() override { return request_of(d_.call("Show")); }
    RequestPtr hide() override { return request_of(d_.call("Hide")); }
    RequestPtr play(std::string_view animation) override { return request_of(d_.call("Play", {animation})); }
    RequestPtr speak(std::string_view text) override { return request_of(d_.call("Speak", {text})); }
    RequestPtr think(std::string_view text) override { return request_of(d_.call("Think", {text})); }
    RequestPtr move_to(std::int16_t x, std::int16_t y) override {
        return request_of(d_.call("MoveTo", {std::int32_t{x}, std::int32_t{y}}));
    }
    RequestPtr gesture_at(std::int16_t x, std::int16_t y) override {
        return request_of(d_.call("GestureAt", {std::int32_t{x}, std::int32_t{y}}));
    }
    void stop(const RequestPtr& request) override {
        // The request object itself goes back to Stop, as it came from the control.
        auto* held = dynamic_cast<WinRequest*>(request.get());
        if (!held) throw platform::PlatformError(kTypeMismatch, "Type mismatch");
        d_.call("Stop", {Variant(held->raw())});
    }
    void stop_all() override { d_.call("StopAll"); }
    bool listen(bool on) override { return d_.call("Listen", {on}).to_bool(); }
    std::string name() override { return d_.get_string("Name"); }
    std::int16_t left() override { return d_.get("Left").to_int16(); }
    void set_left(std::int16_t x) override { d_.put("Left", std::int32_t{x}); }
    std::int16_t top() override { return d_.get("Top").to_int16(); }
    void set_top(std::int16_t y) override { d_.put("Top", std::int32_t{y}); }
    std::shared_ptr<platform::AgentCommands> commands() override {
        return std::make_shared<WinAgentCommands>(d_.get_object("Commands"));
    }

private:
    Dispatch d_;
};

}  // namespace

std::shared_ptr<platform::Request> make_request(ComPtr<IDispatch> request) {
    return std::make_shared<WinRequest>(std::move(request));
}

WinAgentControl::~WinAgentControl() = default;

const Dispatch& WinAgentControl::control() {
    if (control_.raw()) return control_;
    CLSID clsid{};
    if (FAILED(CLSIDFromProgID(widen(kAgentControlProgID).c_str(), &clsid)))
        throw platform::PlatformError(kCannotCreateObject, "ActiveX component can't create object");
    ComPtr<IDispatch> object;
    const HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IDispatch,
                                        reinterpret_cast<void**>(object.put()));
    if (FAILED(hr)) throw platform::PlatformError(kCannotCreateObject, "ActiveX component can't create object");

    // The control's events reach the form through the events bound here, whenever the form bound them.
    std::vector<platform::Subscription> sinks;
    sinks.push_back(advise(object, events::kCommand, [this](const EventArgs& args) {
        const Dispatch input(args.at(0).to_object());
        platform::UserInput heard{input.get_string("Name"), input.get_string("Voice")};
        command_.raise(heard);
    }));
    sinks.push_back(advise(object, events::kRequestComplete,
                           [this](const EventArgs& args) { request_complete_.raise(request_of(args.at(0))); }));
    sinks.push_back(advise(object, events::kListenStart,
                           [this](const EventArgs& args) { listen_start_.raise(args.at(0).to_string()); }));
    sinks.push_back(advise(object, events::kListenComplete, [this](const EventArgs& args) {
        listen_complete_.raise(args.at(0).to_string(), args.at(1).to_int32());
    }));
    // Kept only with its events bound: a control whose events cannot be had is tried afresh next time.
    control_ = Dispatch(object);
    sinks_ = std::move(sinks);
    return control_;
}

void WinAgentControl::set_connected(bool on) { control().put("Connected", on); }

void WinAgentControl::characters_load(std::string_view id) {
    Dispatch(control().get_object("Characters")).call("Load", {id, Variant::missing()});
}

std::shared_ptr<platform::Character> WinAgentControl::character(std::string_view id) {
    auto found = Dispatch(control().get_object("Characters")).get_or_call("Character", {id}).to_object();
    if (!found) platform::throw_object_not_set();
    return std::make_shared<WinCharacter>(std::move(found));
}

void WinAgentControl::characters_unload(std::string_view id) {
    Dispatch(control().get_object("Characters")).call("Unload", {id});
}

std::string WinAgentControl::speech_input_hot_key() {
    return Dispatch(control().get_object("SpeechInput")).get_string("HotKey");
}

void WinAgentControl::set_property_sheet_visible(bool on) {
    Dispatch(control().get_object("PropertySheet")).put("Visible", on);
}

void WinAgentControl::show_default_character_properties() { control().call("ShowDefaultCharacterProperties"); }

platform::Subscription WinAgentControl::on_command(std::function<void(const platform::UserInput&)> handler) {
    return command_.subscribe(std::move(handler));
}

platform::Subscription WinAgentControl::on_request_complete(std::function<void(const platform::RequestPtr&)> handler) {
    return request_complete_.subscribe(std::move(handler));
}

platform::Subscription WinAgentControl::on_listen_start(std::function<void(const std::string&)> handler) {
    return listen_start_.subscribe(std::move(handler));
}

platform::Subscription WinAgentControl::on_listen_complete(
    std::function<void(const std::string&, std::int32_t)> handler) {
    return listen_complete_.subscribe(std::move(handler));
}

}  // namespace win
