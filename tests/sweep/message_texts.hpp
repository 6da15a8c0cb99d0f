#pragma once

// Every message box the add-in may show, as the user sees it: the title, and the text with the
// platform error's number and description in place of the pattern's "E".

#include <regex>
#include <string>
#include <string_view>

#include "platform/dialogs.hpp"
#include "sim/dialogs.hpp"

namespace sweep {

struct MessageText {
    std::string_view title;
    std::string_view pattern;  // a regular expression over the whole text
};

// A platform error as a message prints it: the number in decimal, a blank, the description.
inline constexpr std::string_view kErrorText = "-?[0-9]+ [^\r\n]+";

inline const MessageText kMessageTexts[] = {
    {platform::kAppTitle, "There is an error with the Agent Startup\r\nE"},
    {platform::kAppTitle, "I had a problem loading the Microsoft Agent\\.\r\nE"},
    {platform::kAppTitle, "There was an error unloading the Agent in Shutdown: E"},
    {platform::kAppTitle, "I had a problem loading one of your commands"},
    {sim::kDefaultBoxTitle, "There is an error Preping the document and it can not be read\\.\r\nE"},
    {sim::kDefaultBoxTitle, "There is an error speaking the document\r\nE"},
    // The numbers carry the blank of their sign position; the error number does not.
    {sim::kDefaultBoxTitle,
     "There is an error finding the next sentence\r\nError Location:  [0-9]+\r\nIdx start:  [0-9]+\r\n"
     "Idx len:  [0-9]+\r\ndoc len:  [0-9]+\r\nE"},
};

// Whether a box with this title and text is one the add-in may show.
inline bool known_message(std::string_view title, std::string_view text) {
    static const auto patterns = [] {
        std::vector<std::pair<std::string_view, std::regex>> compiled;
        for (const auto& m : kMessageTexts) {
            std::string pattern(m.pattern);
            if (const auto e = pattern.rfind('E'); e == pattern.size() - 1) pattern.replace(e, 1, kErrorText);
            compiled.emplace_back(m.title, std::regex(pattern));
        }
        return compiled;
    }();
    for (const auto& [expected_title, pattern] : patterns) {
        if (title == expected_title && std::regex_match(text.begin(), text.end(), pattern)) return true;
    }
    return false;
}

}  // namespace sweep
