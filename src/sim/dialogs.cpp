#include "sim/dialogs.hpp"

namespace sim {

void SimMessageBoxes::show(std::string_view text, std::int32_t style, std::string_view title) {
    faults_.check("MsgBox");
    ShownBox box{std::string(title.empty() ? kDefaultBoxTitle : title), std::string(text), style};
    transcript_.add("msgbox",
                    quote(box.title) + " " + quote(box.text) + (style == platform::kCritical ? "" : " (not critical)"));
    shown_.push_back(std::move(box));
}

void SimPanel::show() {
    faults_.check("Panel.Show");
    transcript_.add("panel", "show");
    visible_ = true;
}

void SimPanel::hide() {
    faults_.check("Panel.Hide");
    transcript_.add("panel", "hide");
    visible_ = false;
}

}  // namespace sim
