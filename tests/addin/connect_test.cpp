#include "addin/connect.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "character/fake_host.hpp"

namespace {

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

TEST(Connect, AddsTheButtonAndTheMenuEntryUpAndNothingElse) {
    fake::FakeHost host;
    addin::Connect connect{host};
    connect.OnConnection(host.app, 0);
    EXPECT_EQ(host.take(), kControlsAdded);
    ASSERT_NE(connect.form(), nullptr);
    EXPECT_FALSE(connect.form()->bAgentLoaded);
    EXPECT_TRUE(connect.oConApp);
    EXPECT_TRUE(connect.oConNS);
    connect.OnStartupComplete();
    connect.OnAddInsUpdate();
    connect.OnDisconnection(1);
    EXPECT_THAT(host.take(), ElementsAre());
    connect.OnBeginShutdown();
    EXPECT_FALSE(connect.oConApp);
    EXPECT_FALSE(connect.oConNS);
}

TEST(Connect, WithoutAnExplorerAddsNothingAndSaysNothing) {
    fake::FakeHost host{/*with_explorer=*/false};
    addin::Connect connect{host};
    connect.OnConnection(host.app, 0);
    EXPECT_THAT(host.take(), ElementsAre());
    EXPECT_FALSE(connect.form()->oMyCB);
    EXPECT_FALSE(connect.form()->oMyMB);
}

TEST(Connect, NamespaceFailureFailsTheConnection) {
    fake::FakeHost host;
    addin::Connect connect{host};
    host.world.faults.fail("GetNamespace", 1);
    EXPECT_THROW(connect.OnConnection(host.app, 0), platform::PlatformError);
    EXPECT_THROW(connect.OnConnection(nullptr, 0), platform::PlatformError);
}

TEST(Connect, LaterFailuresAreSkippedOneStatementAtATime) {
    fake::FakeHost host;
    addin::Connect connect{host};
    host.world.faults.fail("BeginGroup", 1);
    connect.OnConnection(host.app, 0);
    auto expected = kControlsAdded;
    expected[2] = "fault: BeginGroup";
    EXPECT_EQ(host.take(), expected);
}

// The controls outlive a disconnection; connecting again adopts them instead of adding a second pair.
TEST(Connect, ReconnectionAdoptsTheControlsItAddedBefore) {
    fake::FakeHost host;
    {
        addin::Connect first{host};
        first.OnConnection(host.app, 0);
        first.OnDisconnection(0);
    }
    host.take();
    addin::Connect second{host};
    second.OnConnection(host.app, 0);
    auto expected = kControlsAdded;
    std::erase_if(expected, [](const std::string& line) { return line.starts_with("office: add "); });
    EXPECT_EQ(host.take(), expected);
    EXPECT_EQ(host.app->explorer->advanced.buttons.size(), 1u);
    host.app->explorer->advanced.buttons[0]->click.raise();
    EXPECT_TRUE(second.form()->bAgentLoaded);
}

}  // namespace
