#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// The scenario language: one command a line, as users write them in files and at the prompt.
// Every command is one row of one table: the parser, the session that runs the lines, and the
// prompt's help and completion all read it, so a new command is one new row.
namespace cli {

class Session;
struct Command;

// One form of a command, such as `mark ID read`. The form is the command's name, then its words:
// a lower-case word is written as it stands, an upper-case one is filled in:
//   ID  CALL  KEY                  one word
//   ID...  FIELD...                one or more words, each an argument
//   PATH  NAME  WORDS  FILE.wav    the rest of the line, not empty
//   VALUE                          the rest of the line, maybe empty
//   {ITEM}                         the rest of the line, a JSON object
//   SECONDS  [N]                   a whole number; [N] may be left out
// Forms with a written word after the name are tried before the others, so `close explorer`
// wins over `close ID`.
struct ScenarioCommand {
    std::string_view form;
    // What the command does, on the prompt's help line.
    std::string_view help = {};
    void (*run)(Session& session, const Command& c) = nullptr;
    // A line that fits none of the name's forms "needs" this; given on the name's first form.
    std::string_view needs = {};
    // The least number a number argument may be.
    std::int64_t least = 0;
    // Shown on the help line of the form before it, after a " | ".
    bool same_line = false;
    // The first form of a part of the help, under this heading.
    std::string_view heading = {};

    // The first word.
    std::string_view name() const { return form.substr(0, form.find(' ')); }
};

// Every command of the language, in the order the prompt's help shows them.
std::span<const ScenarioCommand> scenario_commands();

// A line of help about something other than a command, such as a key, and the command it follows.
struct HelpLine {
    std::string_view after;
    std::string_view shown;
    std::string_view help;
};

// The prompt's help: every command with what it does, under their headings, with `extra`.
std::string scenario_help(std::span<const HelpLine> extra = {});

// Where a line came from, for the "! FILE:LINE: message" report.
struct Place {
    std::string file;
    int line = 0;
};

struct Command {
    const ScenarioCommand* command = nullptr;
    // What the form's upper-case words were filled in with, in order; a word that may repeat
    // gives one argument per word.
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

// The words of a form after its name, such as {"ID", "read"} for `mark ID read`.
std::vector<std::string_view> form_words(const ScenarioCommand& command);

// Whether a word of a form is filled in (ID, PATH, [N]...) rather than written as it stands.
bool is_placeholder(std::string_view form_word);

}  // namespace cli
