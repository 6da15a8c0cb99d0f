#include "cli/scenario.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <tuple>
#include <utility>

#include "cli/session.hpp"
#include "sim/sim_platform.hpp"

namespace cli {

namespace {

// Every command of the language. Run functions act through the session: the simulated platform,
// and what the session adds to it (the add-in it starts, who performs `done`, the ears, the form).
constexpr auto kCommands = std::to_array<ScenarioCommand>({
    // The user in the mail client.
    {.form = "start",
     .help = "the mail client starts | closes",
     .run = [](Session& s, const Command&) { s.start(); },
     .heading = "The mail client:"},
    {.form = "quit", .run = [](Session& s, const Command&) { s.sim().quit(); }, .same_line = true},
    {.form = "click button",
     .help = "the add-in's toolbar button | Tools-menu entry",
     .run = [](Session& s, const Command&) { s.sim().click_button(); },
     .needs = "\"button\" or \"menu\""},
    {.form = "click menu", .run = [](Session& s, const Command&) { s.sim().click_menu(); }, .same_line = true},
    {.form = "folder PATH",
     .help = "the explorer shows another folder | view",
     .run = [](Session& s, const Command& c) { s.sim().folder(c.args.at(0)); },
     .needs = "a folder path"},
    {.form = "view NAME",
     .run = [](Session& s, const Command& c) { s.sim().view(c.args.at(0)); },
     .needs = "a view name",
     .same_line = true},
    {.form = "select ID...",
     .help = "the explorer's selection",
     .run = [](Session& s, const Command& c) { s.sim().select(c.args); },
     .needs = "item ids or \"none\""},
    {.form = "select none", .run = [](Session& s, const Command&) { s.sim().select_none(); }, .same_line = true},
    {.form = "open ID",
     .help = "an item's own window opens | closes",
     .run = [](Session& s, const Command& c) { s.sim().open(c.args.at(0)); },
     .needs = "one item id"},
    {.form = "close ID",
     .run = [](Session& s, const Command& c) { s.sim().close(c.args.at(0)); },
     .needs = "\"explorer\" or one item id",
     .same_line = true},
    {.form = "activate explorer",
     .help = "which window is active",
     .run = [](Session& s, const Command&) { s.sim().activate_explorer(); },
     .needs = "\"explorer\", \"none\", \"other\" or one item id"},
    {.form = "activate ID",
     .run = [](Session& s, const Command& c) { s.sim().activate(c.args.at(0)); },
     .same_line = true},
    {.form = "activate none", .run = [](Session& s, const Command&) { s.sim().activate_none(); }, .same_line = true},
    {.form = "activate other", .run = [](Session& s, const Command&) { s.sim().activate_other(); }, .same_line = true},
    {.form = "close explorer",
     .help = "the main window closes",
     .run = [](Session& s, const Command&) { s.sim().close_explorer(); }},
    {.form = "arrive {ITEM}",
     .help = "a new item (JSON) arrives in the Inbox",
     .run = [](Session& s, const Command& c) { s.sim().arrive(c.item); },
     .needs = "an item as a JSON object"},
    {.form = "remove ID",
     .help = "an item is deleted | changes its read state",
     .run = [](Session& s, const Command& c) { s.sim().remove(c.args.at(0)); },
     .needs = "one item id"},
    {.form = "mark ID read",
     .run = [](Session& s, const Command& c) { s.sim().mark(c.args.at(0), true); },
     .needs = "an item id and \"read\" or \"unread\"",
     .same_line = true},
    {.form = "mark ID unread",
     .run = [](Session& s, const Command& c) { s.sim().mark(c.args.at(0), false); },
     .same_line = true},
    {.form = "reminder ID",
     .help = "a reminder fires | the item is sent",
     .run = [](Session& s, const Command& c) { s.sim().reminder(c.args.at(0)); },
     .needs = "one item id"},
    {.form = "send ID",
     .run = [](Session& s, const Command& c) { s.sim().send(c.args.at(0)); },
     .needs = "one item id",
     .same_line = true},
    {.form = "pick PATH",
     .help = "the answer to the next folder picker",
     .run = [](Session& s, const Command& c) { s.sim().pick(c.args.at(0)); },
     .needs = "a folder path or \"cancel\""},
    {.form = "pick cancel", .run = [](Session& s, const Command&) { s.sim().pick(std::nullopt); }, .same_line = true},
    {.form = "addfolder NAME",
     .run = [](Session& s, const Command& c) { s.sim().add_folder(c.args.at(0)); },
     .needs = "a folder name"},
    {.form = "removefolder NAME",
     .run = [](Session& s, const Command& c) { s.sim().remove_folder(c.args.at(0)); },
     .needs = "a folder name",
     .same_line = true},

    // The user with the character.
    {.form = "say WORDS",
     .help = "hold the listening key and say WORDS",
     .run = [](Session& s, const Command& c) { s.sim().say(c.args.at(0)); },
     .needs = "the words said",
     .heading = "The character (it performs its requests as time passes):"},
    {.form = "hear FILE.wav",
     .help = "the same with recorded speech (16 kHz mono); help voice lists what it hears",
     .run = [](Session& s, const Command& c) { s.hear(c.args.at(0), c.place); },
     .needs = "a WAV file of the words said"},
    {.form = "menu NAME",
     .help = "a command from the character's pop-up menu",
     .run = [](Session& s, const Command& c) { s.sim().menu(c.args.at(0)); },
     .needs = "a command name or caption"},
    {.form = "done [N]",
     .help = "wait until N requests, or all, are performed",
     .run = [](Session& s, const Command& c) { s.done(c.number); },
     .needs = "nothing or a number of requests"},
    {.form = "fail next",
     .help = "the next request performed fails",
     .run = [](Session& s, const Command&) { s.sim().fail_next(); },
     .needs = "\"next\""},
    {.form = "wait SECONDS",
     .help = "the mail client's clock moves on | Timer1 ticks",
     .run = [](Session& s, const Command& c) { s.sim().wait(*c.number); },
     .needs = "a number of seconds"},
    {.form = "tick", .run = [](Session& s, const Command&) { s.sim().tick(); }, .same_line = true},

    // Faults and inspection.
    {.form = "fault CALL [N]",
     .help = "a platform call fails, N times or until healed",
     .run = [](Session& s, const Command& c) {
         s.sim().fault(c.args.at(0), c.number ? std::optional<int>(static_cast<int>(*c.number)) : std::nullopt);
     },
     .needs = "a platform call and maybe a number of times",
     .least = 1,
     .heading = "Faults and inspection:"},
    {.form = "heal CALL",
     .run = [](Session& s, const Command& c) { s.sim().heal(c.args.at(0)); },
     .needs = "a platform call",
     .same_line = true},
    {.form = "setting KEY VALUE",
     .help = "a value in the settings store",
     .run = [](Session& s, const Command& c) { s.sim().setting(c.args.at(0), c.args.at(1)); },
     .needs = "a key and a value"},
    {.form = "show settings",
     .run = [](Session& s, const Command&) { s.sim().show_settings(); },
     .needs = "\"settings\", \"menu\", \"state FIELD...\", \"item ID\" or \"folder PATH\""},
    {.form = "show menu", .run = [](Session& s, const Command&) { s.sim().show_menu(); }, .same_line = true},
    {.form = "show state FIELD...",
     .run = [](Session& s, const Command& c) { s.show_state(c.args); },
     .same_line = true},
    {.form = "show item ID", .run = [](Session& s, const Command& c) { s.sim().show_item(c.args.at(0)); }, .same_line = true},
    {.form = "show folder PATH",
     .run = [](Session& s, const Command& c) { s.sim().show_folder(c.args.at(0)); },
     .same_line = true},
});

constexpr std::string_view kBlanks = " \t\r\n\f\v";

std::string_view trim(std::string_view text) {
    const auto first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

// The first word and the rest of the line after it, both trimmed.
std::pair<std::string_view, std::string_view> split_first(std::string_view text) {
    text = trim(text);
    const auto end = text.find_first_of(kBlanks);
    if (end == std::string_view::npos) return {text, {}};
    return {text.substr(0, end), trim(text.substr(end))};
}

std::vector<std::string> words_of(std::string_view text) {
    std::vector<std::string> words;
    while (!(text = trim(text)).empty()) {
        auto [word, rest] = split_first(text);
        words.emplace_back(word);
        text = rest;
    }
    return words;
}

// Reports misuse of a command in the words a user would look for.
class LineParser {
public:
    LineParser(std::string_view name, std::string_view rest) : name_(name), rest_(rest) {}

    [[noreturn]] void fail(std::string_view usage) const {
        throw ScenarioError(fmt::format("\"{}\" needs {}; got \"{}\"", name_, usage, rest_));
    }

    [[noreturn]] void no_arguments() const {
        throw ScenarioError(fmt::format("\"{}\" takes no arguments; got \"{}\"", name_, rest_));
    }

    static std::optional<std::int64_t> number(std::string_view text, std::int64_t least) {
        std::int64_t value = 0;
        const auto* end = text.data() + text.size();
        const auto [ptr, ec] = std::from_chars(text.data(), end, value);
        if (ec != std::errc() || ptr != end || value < least) return std::nullopt;
        return value;
    }

    std::string_view raw_rest() const { return rest_; }

private:
    std::string_view name_;
    std::string_view rest_;
};

// Fills in the form's words from the line; false when the line does not fit the form.
bool fill(const ScenarioCommand& form, const LineParser& p, Command& c) {
    std::string_view rest = p.raw_rest();
    for (const auto word : form_words(form)) {
        const auto [next, after] = split_first(rest);
        if (!is_placeholder(word)) {
            if (next != word) return false;
            rest = after;
        } else if (word == "ID..." || word == "FIELD...") {
            if (rest.empty()) return false;
            for (auto& w : words_of(rest)) c.args.push_back(std::move(w));
            rest = {};
        } else if (word == "VALUE") {
            c.args.emplace_back(rest);
            rest = {};
        } else if (word == "{ITEM}") {
            if (rest.empty()) return false;
            try {
                c.item = nlohmann::json::parse(rest);
            } catch (const nlohmann::json::exception& e) {  // bad syntax, or a number too large for any value
                throw ScenarioError(fmt::format("\"{}\" needs {}: {}", form.name(), form.needs, e.what()));
            }
            if (!c.item.is_object()) return false;
            rest = {};
        } else if (word == "SECONDS" || word == "[N]") {
            if (next.empty() && word == "[N]") continue;
            if (next.empty() || !after.empty()) return false;
            c.number = LineParser::number(next, form.least);
            if (!c.number) return false;
            rest = after;
        } else if (word == "ID" || word == "CALL" || word == "KEY") {
            if (next.empty()) return false;
            c.args.emplace_back(next);
            rest = after;
        } else {  // the rest of the line: a path, a name, words said
            if (rest.empty()) return false;
            c.args.emplace_back(rest);
            rest = {};
        }
    }
    return rest.empty();
}

void parse_arguments(Command& c, std::string_view name, std::string_view rest) {
    const LineParser p(name, rest);
    const auto commands = scenario_commands();
    const ScenarioCommand* first = nullptr;
    // Forms with a written word first, then the rest, each in the table's order.
    for (const bool written : {true, false}) {
        for (const auto& form : commands) {
            if (form.name() != name) continue;
            const auto words = form_words(form);
            if (written != (!words.empty() && !is_placeholder(words.front()))) continue;
            if (!first || &form < first) first = &form;
            Command filled;
            if (!fill(form, p, filled)) continue;
            c.command = &form;
            c.args = std::move(filled.args);
            c.number = filled.number;
            c.item = std::move(filled.item);
            return;
        }
    }
    if (!first) throw ScenarioError(fmt::format("unknown command \"{}\"", name));
    const auto needs = std::find_if(first, commands.data() + commands.size(),
                                    [&](const ScenarioCommand& form) { return form.name() == name && !form.needs.empty(); });
    if (needs == commands.data() + commands.size()) p.no_arguments();
    p.fail(needs->needs);
}

}  // namespace

std::string_view strip_comment(std::string_view line) {
    // In a command whose argument is JSON, a `#` may stand inside a string.
    const auto name = split_first(line).first;
    const bool json = std::any_of(kCommands.begin(), kCommands.end(), [&](const ScenarioCommand& c) {
        return c.name() == name && c.form.ends_with("{ITEM}");
    });
    bool in_string = false;
    bool escaped = false;
    std::size_t end = line.size();
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (in_string) {
            if (escaped) {
                escaped = false;
            } else if (c == '\\') {
                escaped = true;
            } else if (c == '"') {
                in_string = false;
            }
        } else if (c == '#') {
            end = i;
            break;
        } else if (c == '"' && json) {
            in_string = true;
        }
    }
    return trim(line.substr(0, end));
}

std::optional<Command> parse_line(std::string_view line, Place place) {
    const auto text = strip_comment(line);
    if (text.empty()) return std::nullopt;
    Command c;
    c.text = std::string(text);
    c.place = std::move(place);
    const auto [name, rest] = split_first(text);
    parse_arguments(c, name, rest);
    return c;
}

std::span<const ScenarioCommand> scenario_commands() { return kCommands; }

std::vector<std::string_view> form_words(const ScenarioCommand& command) {
    std::vector<std::string_view> words;
    for (auto rest = split_first(command.form).second; !rest.empty();) {
        const auto [word, after] = split_first(rest);
        words.push_back(word);
        rest = after;
    }
    return words;
}

bool is_placeholder(std::string_view form_word) {
    return std::any_of(form_word.begin(), form_word.end(),
                       [](char c) { return std::isupper(static_cast<unsigned char>(c)) || c == '{'; });
}

namespace {

// Consecutive forms of one command as one: "mark ID read|unread".
std::string joined_forms(std::span<const ScenarioCommand* const> forms) {
    const auto first = form_words(*forms.front());
    std::size_t common = first.size();
    for (const auto* form : forms) {
        const auto words = form_words(*form);
        common = std::min<std::size_t>(common, std::mismatch(first.begin(), first.begin() + static_cast<std::ptrdiff_t>(common),
                                                             words.begin(), words.end()).first - first.begin());
    }
    std::string out(forms.front()->name());
    for (std::size_t i = 0; i < common; ++i) out += fmt::format(" {}", first[i]);
    for (std::size_t f = 0; f < forms.size(); ++f) {
        const auto words = form_words(*forms[f]);
        if (f > 0) out += '|';
        if (f == 0 && common < words.size()) out += ' ';
        for (std::size_t i = common; i < words.size(); ++i) out += fmt::format("{}{}", i == common ? "" : " ", words[i]);
    }
    return out;
}

// The forms of one help line, " | " between them; when they do not fit beside what they do,
// each command's forms are given once.
std::string shown_forms(const std::vector<const ScenarioCommand*>& line, std::size_t width) {
    std::string all;
    for (const auto* form : line) all += fmt::format("{}{}", all.empty() ? "" : " | ", form->form);
    if (all.size() < width || line.front()->help.empty()) return all;
    std::string compact;
    for (std::size_t from = 0; from < line.size();) {
        auto to = from + 1;
        while (to < line.size() && line[to]->name() == line[from]->name()) ++to;
        compact += fmt::format("{}{}", compact.empty() ? "" : " | ",
                               joined_forms(std::span(line).subspan(from, to - from)));
        from = to;
    }
    return compact;
}

}  // namespace

std::string scenario_help(std::span<const HelpLine> extra) {
    constexpr std::size_t kWidth = 34;
    std::string out;
    const auto add_line = [&](std::string_view shown, std::string_view help) {
        if (help.empty()) {
            out += fmt::format("  {}\n", shown);
        } else {
            out += fmt::format("  {:<{}}{}{}\n", shown, kWidth, shown.size() < kWidth ? "" : "  ", help);
        }
    };
    std::vector<const ScenarioCommand*> line;
    const auto flush = [&] {
        if (line.empty()) return;
        add_line(shown_forms(line, kWidth), line.front()->help);
        for (const auto& more : extra)
            if (more.after == line.back()->name()) add_line(more.shown, more.help);
        line.clear();
    };
    for (const auto& command : kCommands) {
        if (!command.same_line) flush();
        if (!command.heading.empty()) out += fmt::format("{}\n", command.heading);
        line.push_back(&command);
    }
    flush();
    return out;
}

}  // namespace cli
