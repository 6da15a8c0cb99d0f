#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/office.hpp"
#include "sim/edge.hpp"
#include "sim/faults.hpp"
#include "sim/transcript.hpp"

// The mail client's command bars as the add-in meets them in the main window: the "Advanced"
// toolbar, the "Tools" menu and the "Menu Bar", each already holding the client's own controls.
namespace sim {

class SimOffice {
public:
    SimOffice(Transcript& transcript, Faults& faults, Edge& edge);
    ~SimOffice();
    SimOffice(const SimOffice&) = delete;
    SimOffice& operator=(const SimOffice&) = delete;

    // The explorer's CommandBars.
    std::shared_ptr<platform::CommandBars> command_bars();

    // `click button` / `click menu`: a click on the control the add-in added last to the
    // "Advanced" toolbar / the "Tools" menu. Throws UsageError when it added none.
    void click_button();
    void click_menu();

    // The client closes: the temporary controls go.
    void discard_temporary();

    // The controls of a bar, by caption, in order (for tests).
    std::vector<std::string> captions(std::string_view bar) const;

private:
    class Button;
    class Controls;
    class Bar;
    class Bars;

    void click(std::string_view bar);

    Transcript& transcript_;
    Faults& faults_;
    Edge& edge_;
    std::shared_ptr<Bars> bars_;
};

}  // namespace sim
