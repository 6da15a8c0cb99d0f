#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <vector>

#include "platform/error.hpp"
#include "sim/dialogs.hpp"
#include "sim/office.hpp"
#include "sim/system.hpp"

namespace {

using ::testing::ElementsAre;
using namespace std::chrono_literals;

struct Rig {
    sim::Transcript transcript;
    sim::Faults faults{transcript};
    sim::Edge edge{transcript};
};

TEST(SimOffice, ControlsAreAddedPrintedFoundAndClicked) {
    Rig rig;
    sim::SimOffice office(rig.transcript, rig.faults, rig.edge);
    EXPECT_THROW(office.click_button(), sim::UsageError);
    auto bars = office.command_bars();
    EXPECT_THROW(bars->item("Standard"), platform::PlatformError);
    EXPECT_THROW(bars->item("Advanced")->controls()->item("Dezaror"), platform::PlatformError);

    auto button = bars->item("Advanced")->controls()->add(platform::kControlButton, true);
    button->set_caption("Agent");
    button->set_state(platform::kButtonDown);
    auto entry = bars->item("Tools")->controls()->add(platform::kControlButton, true);
    entry->set_caption("Outlook A&gent");
    entry->set_tooltip_text("Tip \"quoted\"");
    EXPECT_THAT(
        rig.transcript.take(),
        ElementsAre("office: add button \"Advanced\"", "office: button Caption \"Agent\"", "office: button State -1",
                    "office: add menu \"Tools\"", "office: menu Caption \"Outlook A&gent\"",
                    "office: menu TooltipText \"Tip \\\"quoted\\\"\""));
    EXPECT_EQ(bars->item("Tools")->controls()->item("outlook agent"), entry);
    EXPECT_GT(button->left(), 0);
    EXPECT_GT(button->top(), 0);

    int clicks = 0;
    auto bound = button->on_click([&] {
        ++clicks;
        throw platform::PlatformError(91, "Object variable not set");
    });
    office.click_button();
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(rig.edge.escaped(), 1u);  // the edge caught what the handler let escape
    EXPECT_NO_THROW(office.click_menu());

    office.discard_temporary();
    EXPECT_THROW(office.click_button(), sim::UsageError);
    EXPECT_THROW(button->set_caption("Gone"), platform::PlatformError);
}

TEST(SimTimer, TicksAtEach65SecondMarkOfTheClock) {
    Rig rig;
    const platform::LocalTime start{std::chrono::local_days{std::chrono::year{2001} / 3 / 6}.time_since_epoch() + 15h +
                                    5min};
    sim::VirtualClock clock(start);
    sim::SimTimer timer(clock, rig.edge, rig.faults);
    std::vector<std::chrono::seconds> ticks;
    auto bound = timer.on_tick([&] { ticks.push_back(clock.now() - start); });

    timer.wait(60);  // no mark passed
    timer.wait(10);  // the 65-second mark
    timer.wait(130);
    timer.tick();
    EXPECT_THAT(ticks, ElementsAre(65s, 130s, 195s, 200s));
    EXPECT_EQ(clock.now() - start, 200s);
    EXPECT_EQ(timer.interval_ms(), 65000);
    EXPECT_THROW(timer.wait(-1), sim::UsageError);
}

TEST(SimRandom, RepeatsUnderTheSameSeedAndTime) {
    Rig rig;
    sim::VirtualClock clock(platform::LocalTime{1000000s});
    auto draw = [&](std::uint64_t seed) {
        sim::SimRandom random(seed, clock, rig.faults);
        random.randomize();
        std::vector<double> out;
        for (int i = 0; i < 5; ++i) out.push_back(random.next());
        return out;
    };
    const auto first = draw(1);
    EXPECT_EQ(draw(1), first);
    EXPECT_NE(draw(2), first);
    for (double x : first) {
        EXPECT_GE(x, 0.0);
        EXPECT_LT(x, 1.0);
    }
    clock.advance(1s);
    EXPECT_NE(draw(1), first);  // randomize takes the clock in
}

TEST(SimDialogs, MessageBoxesAndPanelArePrinted) {
    Rig rig;
    sim::SimMessageBoxes boxes(rig.transcript, rig.faults);
    sim::SimPanel panel(rig.transcript, rig.faults);
    boxes.show("I had a problem.\r\n429 Oops", platform::kCritical, platform::kAppTitle);
    boxes.show("There is an error speaking the document", platform::kCritical, "");
    panel.show();
    panel.hide();
    EXPECT_THAT(rig.transcript.lines(),
                ElementsAre("msgbox: \"Outlook Dezaror Agent\" \"I had a problem.\\r\\n429 Oops\"",
                            "msgbox: \"DezarorAgent\" \"There is an error speaking the document\"", "panel: show",
                            "panel: hide"));
}

}  // namespace
