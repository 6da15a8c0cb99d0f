#include "commands/catalogue.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "sim/agent.hpp"
#include "sim/faults.hpp"
#include "sim/sim_platform.hpp"
#include "support/started_form.hpp"

namespace {

using support::connected;
using support::mailbox;
using support::take;
using ::testing::ElementsAreArray;

std::vector<std::string> adds(const std::vector<std::string>& lines) {
    std::vector<std::string> out;
    for (const auto& line : lines) {
        if (line.starts_with("agent: add ") || line.starts_with("agent: commands ")) out.push_back(line);
    }
    return out;
}

// The whole catalogue with the default settings, text by text, is in the transcript of every scenario that starts
// the character; the item word other than "message" and the catalogue without the introduction are in the
// commands_menu scenario.

// A refused command stops the building there; the character still starts with the commands before it.
TEST(Catalogue, RefusedAddStopsTheBuildingButNotTheStart) {
    // A first run counts the platform calls up to the add of PrevItem, the first item command; a
    // second one makes that call fail.
    std::uint64_t call = 0;
    {
        sim::SimPlatform sim{mailbox()};
        auto c = connected(sim);
        const auto before = sim.faults().calls();
        sim.transcript().set_sink([&](const std::string& line) {
            if (call == 0 && line.starts_with("agent: add \"PrevItem\" ")) call = sim.faults().calls() - before;
        });
        sim.click_button();
        sim.transcript().set_sink(nullptr);
        ASSERT_NE(call, 0u);
    }
    sim::SimPlatform sim{mailbox()};
    auto c = connected(sim);
    sim.faults().fail_call_number(call, false);
    sim.click_button();
    const auto lines = take(sim);
    const auto made = adds(lines);
    ASSERT_EQ(made.size(), 10u);
    EXPECT_THAT(made.back(), ::testing::StartsWith("agent: add \"StopNewMail\" "));
    const auto fault = std::find(lines.begin(), lines.end(), "fault: Commands.Add");
    ASSERT_LT(fault + 1, lines.end());
    EXPECT_EQ(fault[1], "msgbox: \"Outlook Dezaror Agent\" \"I had a problem loading one of your commands\"");
    EXPECT_TRUE(c.form().bAgentLoaded);
    sim.perform_all();
    EXPECT_THAT(sim.sim_agent().menu_lines(),
                ElementsAreArray({"menu: Outlook Rivuvuz &Panel", "menu: &Advanced Character Options",
                                  "menu: &Character Properties", "menu: Preview new messages",
                                  "menu: Stop previewing (greyed)"}));
}

}  // namespace
