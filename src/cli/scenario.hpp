#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// The scenario language: one command a line, as users write them in files and at the prompt.
namespace cli {

enum class Verb {
    Start,
    Quit,
    ClickButton,
    ClickMenu,
    Folder,
    Select,
    SelectNone,
    View,
    Open,
    Close,
    ActivateExplorer,
    ActivateItem,
    ActivateNone,
    ActivateOther,
    CloseExplorer,
    Arrive,
    Remove,
    MarkRead,
    MarkUnread,
    Reminder,
    Send,
    Pick,
    PickCancel,
    AddFolder,
    RemoveFolder,
    Say,
    Hear,
    Menu,
    Done,
    FailNext,
    Wait,
    Tick,
    Fault,
    Heal,
    Setting,
    ShowSettings,
    ShowMenu,
    ShowState,
    ShowItem,
    ShowFolder,
};

// Where a line came from, for the "! FILE:LINE: message" report.
struct Place {
    std::string file;
    int line = 0;
};

struct Command {
    Verb verb = Verb::Start;
    // Ids, fields, a path or name, the words said, the call, or the key and value, by verb.
    std::vector<std::string> args;
    // `done N`, `fault CALL N`, `wait SECONDS`; empty when not given.
    std::optional<std::int64_t> number;
    nlohmann::json item;  // `arrive`
    std::string text;     // the command as written, without comment and surrounding blanks
    Place place;
};

// A line that is no command of the language. The message names what is wrong, not the place.
struct ScenarioError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The command on one line, or nothing for a blank or comment-only line. Throws ScenarioError.
std::optional<Command> parse_line(std::string_view line, Place place);

// The command text of a line: the line without its comment and surrounding blanks. A `#` inside
// a JSON string of `arrive` belongs to the item, not to a comment.
std::string_view strip_comment(std::string_view line);

}  // namespace cli
