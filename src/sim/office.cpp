#include "sim/office.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <cctype>
#include <utility>

#include "platform/error.hpp"
#include "platform/subscription.hpp"

namespace sim {

namespace {

using platform::PlatformError;

constexpr std::int32_t kErrInvalidArgument = 5;
constexpr std::int32_t kErrDeleted = -2147467259;

// Where a bar sits on the simulated screen and how its controls are laid out along it.
struct Layout {
    std::string_view name;
    std::string_view kind;  // how the transcript names its controls
    std::int32_t left;
    std::int32_t top;
    std::int32_t step_x;
    std::int32_t step_y;
    std::vector<std::string_view> own_controls;
};

const std::vector<Layout>& layouts() {
    static const std::vector<Layout> kLayouts{
        {"Advanced", "button", 312, 52, 24, 0, {"Previous Folder", "Next Folder", "Up One Level", "Print Preview"}},
        {"Tools",
         "menu",
         166,
         70,
         0,
         22,
         {"Send/&Receive", "&Address Book...", "&Find", "Rules &Wizard...", "&Options..."}},
        {"Menu Bar", "menu", 4, 26, 46, 0, {"&File", "&Edit", "&View", "&Go", "&Tools", "&Actions", "&Help"}},
    };
    return kLayouts;
}

}  // namespace

class SimOffice::Button : public platform::CommandBarButton {
public:
    Button(SimOffice& office, std::string_view kind, std::string caption, std::int32_t left, std::int32_t top)
        : office_(office), kind_(kind), caption_(std::move(caption)), left_(left), top_(top) {}

    std::string caption() override {
        use("Caption");
        return caption_;
    }
    void set_caption(std::string_view text) override {
        set("Caption", quote(text));
        caption_ = text;
    }
    void set_begin_group(bool on) override { set("BeginGroup", yes_no(on)); }
    void set_style(std::int32_t style) override { set("Style", std::to_string(style)); }
    std::int32_t state() override {
        use("State");
        return state_;
    }
    void set_state(std::int32_t state) override {
        set("State", std::to_string(state));
        state_ = state;
    }
    void set_tooltip_text(std::string_view text) override { set("TooltipText", quote(text)); }
    std::int32_t left() override {
        use("Left");
        return left_;
    }
    std::int32_t top() override {
        use("Top");
        return top_;
    }
    platform::Subscription on_click(std::function<void()> handler) override {
        return click.subscribe(std::move(handler));
    }

    const std::string& current_caption() const { return caption_; }

    platform::Event<> click;
    bool temporary = false;
    bool deleted = false;

private:
    void use(std::string_view call) {
        office_.faults_.check(call);
        if (deleted) throw PlatformError(kErrDeleted, "The control has been deleted");
    }
    void set(std::string_view property, const std::string& value) {
        use(property);
        office_.transcript_.add("office", fmt::format("{} {} {}", kind_, property, value));
    }

    SimOffice& office_;
    std::string kind_;
    std::string caption_;
    std::int32_t state_ = platform::kButtonUp;
    std::int32_t left_;
    std::int32_t top_;
};

class SimOffice::Controls : public platform::CommandBarControls {
public:
    Controls(SimOffice& office, const Layout& layout) : office_(office), layout_(layout) {
        for (auto caption : layout.own_controls) buttons.push_back(make(std::string(caption)));
    }

    std::shared_ptr<platform::CommandBarButton> item(std::string_view key) override {
        office_.faults_.check("Controls.Item");
        const std::string wanted = plain_caption(key);
        for (const auto& button : buttons)
            if (plain_caption(button->current_caption()) == wanted) return button;
        throw PlatformError(kErrInvalidArgument,
                            fmt::format("Invalid procedure call or argument: no control \"{}\"", key));
    }

    std::shared_ptr<platform::CommandBarButton> add(std::int32_t type, bool temporary) override {
        office_.faults_.check("Controls.Add");
        if (type != platform::kControlButton)
            throw PlatformError(kErrInvalidArgument,
                                fmt::format("Invalid procedure call or argument: control type {}", type));
        office_.transcript_.add("office", fmt::format("add {} {}", layout_.kind, quote(layout_.name)));
        auto button = make({});
        button->temporary = temporary;
        buttons.push_back(button);
        added_last = button;
        return button;
    }

    std::vector<std::shared_ptr<Button>> buttons;
    std::shared_ptr<Button> added_last;  // by the add-in, through add

private:
    std::shared_ptr<Button> make(std::string caption) {
        const auto n = static_cast<std::int32_t>(buttons.size());
        return std::make_shared<Button>(office_, layout_.kind, std::move(caption), layout_.left + n * layout_.step_x,
                                        layout_.top + n * layout_.step_y);
    }

    SimOffice& office_;
    const Layout& layout_;
};

class SimOffice::Bar : public platform::CommandBar {
public:
    Bar(SimOffice& office, const Layout& layout)
        : name(layout.name), office_(office), controls_(std::make_shared<Controls>(office, layout)) {}

    std::shared_ptr<platform::CommandBarControls> controls() override {
        office_.faults_.check("Controls");
        return controls_;
    }
    Controls& own_controls() { return *controls_; }

    const std::string name;

private:
    SimOffice& office_;
    std::shared_ptr<Controls> controls_;
};

class SimOffice::Bars : public platform::CommandBars {
public:
    explicit Bars(SimOffice& office) : office_(office) {
        for (const auto& layout : layouts()) bars.push_back(std::make_shared<Bar>(office, layout));
    }

    std::shared_ptr<platform::CommandBar> item(std::string_view name) override {
        office_.faults_.check("CommandBars");
        if (auto bar = find(name)) return bar;
        throw PlatformError(kErrInvalidArgument,
                            fmt::format("Invalid procedure call or argument: no bar \"{}\"", name));
    }

    std::shared_ptr<Bar> find(std::string_view name) const {
        for (const auto& bar : bars)
            if (plain_caption(bar->name) == plain_caption(name)) return bar;
        return nullptr;
    }

    std::vector<std::shared_ptr<Bar>> bars;

private:
    SimOffice& office_;
};

SimOffice::SimOffice(Transcript& transcript, Faults& faults, Edge& edge)
    : transcript_(transcript), faults_(faults), edge_(edge), bars_(std::make_shared<Bars>(*this)) {}

SimOffice::~SimOffice() {
    // Handles the add-in may still hold must not reach back into a simulator that is gone.
    for (const auto& bar : bars_->bars)
        for (const auto& button : bar->own_controls().buttons) button->deleted = true;
}

std::shared_ptr<platform::CommandBars> SimOffice::command_bars() { return bars_; }

void SimOffice::click_button() { click("Advanced"); }
void SimOffice::click_menu() { click("Tools"); }

void SimOffice::click(std::string_view bar_name) {
    auto& controls = bars_->find(bar_name)->own_controls();
    auto button = controls.added_last;
    if (!button || button->deleted)
        throw UsageError(fmt::format("the add-in has no control on \"{}\" to click", bar_name));
    edge_.deliver("CommandBarButton.Click", [&] { button->click.raise(); });
}

void SimOffice::discard_temporary() {
    for (const auto& bar : bars_->bars) {
        auto& buttons = bar->own_controls().buttons;
        for (const auto& button : buttons)
            if (button->temporary) button->deleted = true;
        std::erase_if(buttons, [](const auto& button) { return button->deleted; });
    }
}

std::vector<std::string> SimOffice::captions(std::string_view bar_name) const {
    std::vector<std::string> out;
    if (auto bar = bars_->find(bar_name))
        for (const auto& button : bar->own_controls().buttons) out.push_back(button->current_caption());
    return out;
}

}  // namespace sim
