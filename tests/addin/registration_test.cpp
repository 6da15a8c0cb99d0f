#include "addin/registration.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

using ::testing::ElementsAre;
using ::testing::Pair;

// The mail client finds the add-in only under this key, and shows these texts in its add-in list.
TEST(Registration, AddinEntryIsWhatTheMailClientReads) {
    EXPECT_EQ(addin::addin_registry_key(),
              "HKEY_CURRENT_USER\\Software\\Microsoft\\Office\\Outlook\\Addins\\DezarorAgent.Connect");
    std::map<std::string, std::string> texts;
    std::map<std::string, std::uint32_t> numbers;
    for (const auto& value : addin::addin_registry_values()) {
        if (const auto* text = std::get_if<std::string_view>(&value.data))
            texts.emplace(value.name, *text);
        else
            numbers.emplace(value.name, std::get<std::uint32_t>(value.data));
    }
    EXPECT_THAT(texts, ElementsAre(Pair("Description",
                                        "Outlook Dezaror Agent.  Use to preview or read message items in Outlook."),
                                   Pair("FriendlyName", "Outlook Dezaror Agent")));
    EXPECT_THAT(numbers, ElementsAre(Pair("LoadBehavior", 3u)));
    EXPECT_EQ(addin::kTypeLibraryDescription, "OutLook Dezaror Agent");
}

TEST(Registration, VersionResourceMarksASelfRegisteringModule) {
    std::map<std::string, std::string> strings;
    for (const auto& [key, value] : addin::version_strings()) strings.emplace(key, value);
    EXPECT_THAT(strings,
                ElementsAre(Pair("Comments", "Use Outlook Dezaror Agent to read your emails to you."),
                            Pair("FileDescription", "COM Addin to read email"), Pair("FileVersion", "1.01.0002"),
                            Pair("InternalName", "DezarorAgent"), Pair("OLESelfRegister", ""),
                            Pair("OriginalFilename", "DezarorAgent.dll"), Pair("ProductName", "Outlook Dezaror Agent"),
                            Pair("ProductVersion", "1.01.0002")));
}

}  // namespace
