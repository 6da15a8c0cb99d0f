#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/dialogs.hpp"
#include "platform/error.hpp"
#include "sim/edge.hpp"
#include "sim/settings_store.hpp"
#include "support/temp_dir.hpp"

namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Pair;

constexpr std::string_view kApp = platform::kAppTitle;

using support::read_file;
using support::TempDir;

void write_file(const fs::path& path, std::string_view text) { std::ofstream(path, std::ios::binary) << text; }

struct Rig {
    sim::Transcript transcript;
    sim::Faults faults{transcript};
};

TEST(SettingsFile, WritesPersistAndComeBackExactly) {
    TempDir dir;
    const fs::path path = dir.path() / "config" / "settings.ini";  // the folder is made at the first write
    const std::string awkward = " Hello, Ada|Welcome back\tAda\r\nline two \\ end ";
    {
        Rig rig;
        sim::SettingsFile store(rig.transcript, rig.faults, path);
        EXPECT_EQ(store.get_setting(kApp, "Settings", "AgentLeft", "50"), "50");
        EXPECT_FALSE(fs::exists(path));
        store.save_setting(kApp, "Settings", "AgentLeft", "120");
        store.save_setting(kApp, "Settings", "GreetingLine", awkward);
        store.save_setting(kApp, "Settings", "AgentLeft", "130");
        EXPECT_THAT(rig.transcript.lines(),
                    ElementsAre("settings: AgentLeft \"120\"",
                                "settings: GreetingLine \" Hello, Ada|Welcome back\\tAda\\r\\nline two \\\\ end \"",
                                "settings: AgentLeft \"130\""));
    }
    Rig rig;
    sim::SettingsFile store(rig.transcript, rig.faults, path);
    EXPECT_EQ(store.get_setting(kApp, "Settings", "AgentLeft", "50"), "130");
    EXPECT_EQ(store.get_setting(kApp, "Settings", "GreetingLine", ""), awkward);
    EXPECT_EQ(store.get_setting("Another App", "Settings", "AgentLeft", "none"), "none");
    EXPECT_THAT(store.values(), ElementsAre(Pair("AgentLeft", "130"), Pair("GreetingLine", awkward)));
    EXPECT_THAT(read_file(path), HasSubstr("[Outlook Dezaror Agent/Settings]\nAgentLeft=130\n"));
}

TEST(SettingsFile, MalformedFileIsRefusedNamingFileAndLine) {
    TempDir dir;
    const fs::path path = dir.path() / "settings.ini";
    struct Case {
        std::string text;
        std::string place;
    };
    const Case cases[] = {
        {"[Outlook Dezaror Agent/Settings]\nAgentLeft=50\n\nthis is not a setting\nAgentTop=50\n", ":4: "},
        {"# a comment\nAgentLeft=50\n", ":2: "},                      // a key outside any group
        {"[Outlook Dezaror Agent/Settings\nAgentLeft=50\n", ":1: "},  // an unclosed group
        {"[Outlook Dezaror Agent/Settings]\n\nExitLine=Bye\\q\n", ":3: [Outlook Dezaror Agent/Settings] ExitLine: "},
    };
    for (const auto& c : cases) {
        write_file(path, c.text);
        Rig rig;
        try {
            sim::SettingsFile store(rig.transcript, rig.faults, path);
            ADD_FAILURE() << "accepted:\n" << c.text;
        } catch (const sim::UsageError& e) {
            EXPECT_THAT(e.what(), HasSubstr(path.string() + c.place)) << c.text;
        }
        EXPECT_EQ(read_file(path), c.text);  // refusing leaves the file alone
    }
}

// A write that dies part way (here: the file size limit hit while the new file is written) leaves
// the previous file whole, leaves no temporary file behind, and changes nothing in the store.
TEST(SettingsFile, AWriteThatDiesLeavesThePreviousFileIntact) {
    TempDir dir;
    const fs::path path = dir.path() / "settings.ini";
    Rig rig;
    sim::SettingsFile store(rig.transcript, rig.faults, path);
    store.save_setting(kApp, "Settings", "ExitLine", "Bye.");
    const std::string before = read_file(path);
    rig.transcript.clear();

    rlimit old_limit{};
    getrlimit(RLIMIT_FSIZE, &old_limit);
    const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old_limit;
    small.rlim_cur = before.size() + 16;
    setrlimit(RLIMIT_FSIZE, &small);
    bool failed = false;
    try {
        store.save_setting(kApp, "Settings", "ExitLine", std::string(4096, 'x'));
    } catch (const platform::PlatformError& e) {
        failed = true;
        EXPECT_EQ(e.number, 75);
    }
    setrlimit(RLIMIT_FSIZE, &old_limit);
    std::signal(SIGXFSZ, old_handler);

    EXPECT_TRUE(failed);
    EXPECT_EQ(read_file(path), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator{}), 1);
    EXPECT_EQ(store.get_setting(kApp, "Settings", "ExitLine", ""), "Bye.");
    EXPECT_TRUE(rig.transcript.lines().empty());  // nothing was stored, so nothing is shown
}

TEST(SettingsFile, InMemoryStoreAndTheUsersOwnEdits) {
    Rig rig;
    sim::SettingsFile store(rig.transcript, rig.faults);
    store.set("PlayIntro", "False");
    EXPECT_TRUE(rig.transcript.lines().empty());  // the user's edit is not the add-in's act
    EXPECT_EQ(store.get_setting(kApp, "Settings", "PlayIntro", "True"), "False");
    EXPECT_THROW(store.set("Bad=Key", "x"), sim::UsageError);
    EXPECT_THROW(store.save_setting(kApp, "Settings", "[Group]", "x"), platform::PlatformError);
    rig.faults.fail("SaveSetting", 1);
    EXPECT_THROW(store.save_setting(kApp, "Settings", "PlayIntro", "True"), platform::PlatformError);
    EXPECT_THAT(store.values(), ElementsAre(Pair("PlayIntro", "False")));
    EXPECT_THAT(rig.transcript.lines(), ElementsAre("fault: SaveSetting"));
}

}  // namespace
