#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/dialogs.hpp"
#include "sim/faults.hpp"
#include "sim/transcript.hpp"

// Message boxes and the information panel. The simulated user closes every message box at once.
namespace sim {

// The title a message box shows when the add-in gives none: the component's name.
inline constexpr std::string_view kDefaultBoxTitle = "DezarorAgent";

struct ShownBox {
    std::string title;  // as shown: the default title when none was given
    std::string text;
    std::int32_t style = 0;
};

class SimMessageBoxes : public platform::MessageBoxes {
public:
    SimMessageBoxes(Transcript& transcript, Faults& faults) : transcript_(transcript), faults_(faults) {}

    // Prints `msgbox: "TITLE" "TEXT"`, with " (not critical)" added for a box without the
    // critical-stop icon (every box of the add-in has it, so that marks a fault).
    void show(std::string_view text, std::int32_t style, std::string_view title) override;

    const std::vector<ShownBox>& shown() const { return shown_; }

private:
    Transcript& transcript_;
    Faults& faults_;
    std::vector<ShownBox> shown_;
};

class SimPanel : public platform::Panel {
public:
    SimPanel(Transcript& transcript, Faults& faults) : transcript_(transcript), faults_(faults) {}

    // `panel: show` / `panel: hide`, each time it is asked, shown or not.
    void show() override;
    void hide() override;

    bool visible() const { return visible_; }

private:
    Transcript& transcript_;
    Faults& faults_;
    bool visible_ = false;
};

}  // namespace sim
