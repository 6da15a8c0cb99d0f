#include "cli/scenario.hpp"

#include <fmt/format.h>

#include <charconv>
#include <utility>

namespace cli {

namespace {

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

// Reads the line's arguments for one verb and reports misuse in the words a user would look for.
class LineParser {
public:
    LineParser(std::string_view verb, std::string_view rest) : verb_(verb), rest_(rest), words_(words_of(rest)) {}

    [[noreturn]] void fail(std::string_view usage) const {
        throw ScenarioError(fmt::format("\"{}\" needs {}; got \"{}\"", verb_, usage, rest_));
    }

    void no_arguments() const {
        if (!words_.empty()) throw ScenarioError(fmt::format("\"{}\" takes no arguments; got \"{}\"", verb_, rest_));
    }

    // The single word argument, such as an item id.
    std::string one_word(std::string_view usage) const {
        if (words_.size() != 1) fail(usage);
        return words_.front();
    }

    // The rest of the line, for names that may hold blanks (folder paths, captions, words said).
    std::string rest(std::string_view usage) const {
        if (rest_.empty()) fail(usage);
        return std::string(rest_);
    }

    std::int64_t number(std::string_view text, std::string_view usage, std::int64_t least) const {
        std::int64_t value = 0;
        const auto* end = text.data() + text.size();
        const auto [ptr, ec] = std::from_chars(text.data(), end, value);
        if (ec != std::errc() || ptr != end || value < least) fail(usage);
        return value;
    }

    const std::vector<std::string>& words() const { return words_; }
    std::string_view raw_rest() const { return rest_; }

private:
    std::string_view verb_;
    std::string_view rest_;
    std::vector<std::string> words_;
};

void parse_arguments(Command& c, std::string_view verb, std::string_view rest) {
    const LineParser p(verb, rest);
    const auto& w = p.words();
    const auto keyword = [&](std::size_t i) { return i < w.size() ? std::string_view(w[i]) : std::string_view(); };

    if (verb == "start" || verb == "quit" || verb == "tick") {
        p.no_arguments();
        c.verb = verb == "start" ? Verb::Start : verb == "quit" ? Verb::Quit : Verb::Tick;
    } else if (verb == "click") {
        const auto which = p.one_word("\"button\" or \"menu\"");
        if (which != "button" && which != "menu") p.fail("\"button\" or \"menu\"");
        c.verb = which == "button" ? Verb::ClickButton : Verb::ClickMenu;
    } else if (verb == "folder") {
        c.verb = Verb::Folder;
        c.args = {p.rest("a folder path")};
    } else if (verb == "select") {
        if (w.empty()) p.fail("item ids or \"none\"");
        if (w.size() == 1 && w.front() == "none") {
            c.verb = Verb::SelectNone;
        } else {
            c.verb = Verb::Select;
            c.args = w;
        }
    } else if (verb == "view") {
        c.verb = Verb::View;
        c.args = {p.rest("a view name")};
    } else if (verb == "open" || verb == "remove" || verb == "reminder" || verb == "send") {
        c.verb = verb == "open"       ? Verb::Open
                 : verb == "remove"   ? Verb::Remove
                 : verb == "reminder" ? Verb::Reminder
                                      : Verb::Send;
        c.args = {p.one_word("one item id")};
    } else if (verb == "close") {
        const auto what = p.one_word("\"explorer\" or one item id");
        c.verb = what == "explorer" ? Verb::CloseExplorer : Verb::Close;
        if (c.verb == Verb::Close) c.args = {what};
    } else if (verb == "activate") {
        const auto what = p.one_word("\"explorer\", \"none\", \"other\" or one item id");
        if (what == "explorer") {
            c.verb = Verb::ActivateExplorer;
        } else if (what == "none") {
            c.verb = Verb::ActivateNone;
        } else if (what == "other") {
            c.verb = Verb::ActivateOther;
        } else {
            c.verb = Verb::ActivateItem;
            c.args = {what};
        }
    } else if (verb == "arrive") {
        c.verb = Verb::Arrive;
        const auto json = p.rest("an item as a JSON object");
        try {
            c.item = nlohmann::json::parse(json);
        } catch (const nlohmann::json::exception& e) {  // bad syntax, or a number too large for any value
            throw ScenarioError(fmt::format("\"arrive\" needs an item as a JSON object: {}", e.what()));
        }
        if (!c.item.is_object()) p.fail("an item as a JSON object");
    } else if (verb == "mark") {
        if (w.size() != 2 || (w[1] != "read" && w[1] != "unread")) p.fail("an item id and \"read\" or \"unread\"");
        c.verb = w[1] == "read" ? Verb::MarkRead : Verb::MarkUnread;
        c.args = {w[0]};
    } else if (verb == "pick") {
        const auto path = p.rest("a folder path or \"cancel\"");
        c.verb = path == "cancel" ? Verb::PickCancel : Verb::Pick;
        if (c.verb == Verb::Pick) c.args = {path};
    } else if (verb == "addfolder" || verb == "removefolder") {
        c.verb = verb == "addfolder" ? Verb::AddFolder : Verb::RemoveFolder;
        c.args = {p.rest("a folder name")};
    } else if (verb == "say") {
        c.verb = Verb::Say;
        c.args = {p.rest("the words said")};
    } else if (verb == "hear") {
        c.verb = Verb::Hear;
        c.args = {p.rest("a WAV file of the words said")};
    } else if (verb == "menu") {
        c.verb = Verb::Menu;
        c.args = {p.rest("a command name or caption")};
    } else if (verb == "done") {
        c.verb = Verb::Done;
        if (w.size() > 1) p.fail("nothing or a number of requests");
        if (w.size() == 1) c.number = p.number(w[0], "nothing or a number of requests", 0);
    } else if (verb == "fail") {
        if (w.size() != 1 || w[0] != "next") p.fail("\"next\"");
        c.verb = Verb::FailNext;
    } else if (verb == "wait") {
        c.verb = Verb::Wait;
        c.number = p.number(p.one_word("a number of seconds"), "a number of seconds", 0);
    } else if (verb == "fault") {
        if (w.empty() || w.size() > 2) p.fail("a platform call and maybe a number of times");
        c.verb = Verb::Fault;
        c.args = {w[0]};
        if (w.size() == 2) c.number = p.number(w[1], "a platform call and maybe a number of times", 1);
    } else if (verb == "heal") {
        c.verb = Verb::Heal;
        c.args = {p.one_word("a platform call")};
    } else if (verb == "setting") {
        // The value is the rest of the line, blanks inside it included.
        auto [key, value] = split_first(p.raw_rest());
        if (key.empty()) p.fail("a key and a value");
        c.verb = Verb::Setting;
        c.args = {std::string(key), std::string(value)};
    } else if (verb == "show") {
        const auto what = keyword(0);
        const auto [_, after] = split_first(p.raw_rest());
        if (what == "settings" || what == "menu") {
            if (w.size() != 1) p.fail("\"settings\", \"menu\", \"state FIELD...\", \"item ID\" or \"folder PATH\"");
            c.verb = what == "settings" ? Verb::ShowSettings : Verb::ShowMenu;
        } else if (what == "state" && w.size() > 1) {
            c.verb = Verb::ShowState;
            c.args.assign(w.begin() + 1, w.end());
        } else if (what == "item" && w.size() == 2) {
            c.verb = Verb::ShowItem;
            c.args = {w[1]};
        } else if (what == "folder" && w.size() > 1) {
            c.verb = Verb::ShowFolder;
            c.args = {std::string(after)};
        } else {
            p.fail("\"settings\", \"menu\", \"state FIELD...\", \"item ID\" or \"folder PATH\"");
        }
    } else {
        throw ScenarioError(fmt::format("unknown command \"{}\"", verb));
    }
}

}  // namespace

std::string_view strip_comment(std::string_view line) {
    const auto verb = split_first(line).first;
    const bool json = verb == "arrive";
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
    const auto [verb, rest] = split_first(text);
    parse_arguments(c, verb, rest);
    return c;
}

}  // namespace cli
