#include "addin/connect.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "sim/office.hpp"
#include "sim/sim_platform.hpp"
#include "support/started_form.hpp"

namespace {

using support::as_event;
using support::mailbox;
using support::take;
using ::testing::ElementsAre;

const std::vector<std::string> kControlsAdded{"office: add button \"Advanced\"",
                                              "office: button Caption \"Agent\"",
                                              "office: button BeginGroup True",
                                              "office: button Style 2",
                                              "office: button State 0",
                                              "office: button TooltipText \"Open Outlook Dezaror Agent\"",
                                              "office: add menu \"Tools\"",
                                              "office: menu Caption \"Outlook A&gent\"",
                                              "office: menu BeginGroup True",
                                              "office: menu Style 2",
                                              "office: menu State 0"};

std::size_t count_of(const std::vector<std::string>& captions, const std::string& caption) {
    return static_cast<std::size_t>(std::count(captions.begin(), captions.end(), caption));
}

TEST(Connect, AddsTheButtonAndTheMenuEntryUpAndNothingElse) {
    sim::SimPlatform sim{mailbox()};
    addin::Connect connect{sim};
    sim.start(connect);
    EXPECT_EQ(take(sim), kControlsAdded);
    ASSERT_NE(connect.form(), nullptr);
    EXPECT_FALSE(connect.form()->bAgentLoaded);
    EXPECT_TRUE(connect.oConApp);
    EXPECT_TRUE(connect.oConNS);
    as_event(sim, [&] { connect.OnAddInsUpdate(); });
    sim.quit();
    EXPECT_THAT(take(sim), ElementsAre());
    EXPECT_FALSE(connect.oConApp);
    EXPECT_FALSE(connect.oConNS);
}

TEST(Connect, NamespaceFailureFailsTheConnection) {
    sim::SimPlatform sim{mailbox()};
    addin::Connect connect{sim};
    sim.fault("GetNamespace", 1);
    sim.start(connect);
    const auto lines = take(sim);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "fault: GetNamespace");
    EXPECT_TRUE(lines[1].starts_with("error: OnConnection let a platform error escape: ")) << lines[1];
    EXPECT_THROW(connect.OnConnection(nullptr, 0), platform::PlatformError);
}

TEST(Connect, LaterFailuresAreSkippedOneStatementAtATime) {
    sim::SimPlatform sim{mailbox()};
    addin::Connect connect{sim};
    sim.fault("BeginGroup", 1);
    sim.start(connect);
    auto expected = kControlsAdded;
    expected[2] = "fault: BeginGroup";
    EXPECT_EQ(take(sim), expected);
}

// The controls outlive a disconnection; connecting again adopts them instead of adding a second pair.
TEST(Connect, ReconnectionAdoptsTheControlsItAddedBefore) {
    sim::SimPlatform sim{mailbox()};
    // The mail client releases a disconnected add-in while it keeps running.
    auto first = std::make_unique<addin::Connect>(sim);
    sim.start(*first);
    as_event(sim, [&] { first->OnDisconnection(0); });
    first.reset();
    take(sim);
    addin::Connect second{sim};
    as_event(sim, [&] { second.OnConnection(sim.application(), 0); });
    auto expected = kControlsAdded;
    std::erase_if(expected, [](const std::string& line) { return line.starts_with("office: add "); });
    EXPECT_EQ(take(sim), expected);
    EXPECT_EQ(count_of(sim.sim_office().captions("Advanced"), "Agent"), 1u);
    EXPECT_EQ(count_of(sim.sim_office().captions("Tools"), "Outlook A&gent"), 1u);
    sim.click_button();
    EXPECT_EQ(count_of(take(sim), "agent: load \"CharacterID\""), 1u);
    EXPECT_TRUE(second.form()->bAgentLoaded);
}

}  // namespace
