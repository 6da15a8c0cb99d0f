#include "cli/view.hpp"

#include <fmt/format.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <ostream>
#include <vector>

#include "platform/quote.hpp"
#include "sim/outlook.hpp"
#include "sim/sim_platform.hpp"

namespace cli {

namespace {

using Action = sim::QueuedRequest::Action;

constexpr std::string_view kDim = "2";
constexpr std::string_view kRed = "31";
constexpr std::string_view kGreen = "32";
constexpr std::string_view kYellow = "33";
constexpr std::string_view kCyan = "1;36";

struct Animation {
    std::string_view name;
    std::string_view shown;  // empty: a small turn nobody remarks on
};

// How the animations the add-in plays look to a person.
constexpr std::array kAnimations{
    Animation{"Greet", "greets"},
    Animation{"Wave", "waves"},
    Animation{"Pleased", "pleased"},
    Animation{"GetAttention", "gets your attention"},
    Animation{"Announce", "announces"},
    Animation{"Congratulate", "congratulates"},
    Animation{"Congratulate_2", "congratulates"},
    Animation{"GestureLeft", "gestures left"},
    Animation{"DoMagic1", "does magic"},
    Animation{"DoMagic2", "does magic"},
    Animation{"Explain", "explains"},
    Animation{"Uncertain", "uncertain"},
    Animation{"LookLeft", "looks left"},
    Animation{"LookRight", "looks right"},
    Animation{"Think", "thinks"},
    Animation{"Surprised", "surprised"},
    Animation{"Suggest", "suggests"},
    Animation{"Search", "searches"},
    Animation{"Confused", "confused"},
    Animation{"Acknowledge", "nods"},
    Animation{"Decline", "declines"},
    Animation{"Process", "busy"},
    Animation{"Write", "writes"},
};

// The scenario commands that only pace or set up the run: nobody watching sees them.
constexpr std::array<std::string_view, 4> kQuietCommands{"done", "wait", "tick", "setting"};

// The lines of the transcript that are plumbing: how the add-in sets up its buttons and commands,
// the character's queue as it fills and empties (what it says is shown as it says it), and the
// mail client's reads and saves.
constexpr auto kHidden = std::to_array<std::string_view>({
    "agent: add ",    "agent: command ", "agent: commands ",  "agent: done ",      "agent: listen ",
    "agent: left ",   "agent: top ",     "agent: stop",       "agent: connected ", "agent: load ",
    "agent: unload ", "agent: show ",    "agent: hide ",      "agent: play ",      "agent: speak ",
    "agent: think ",  "agent: moveto ",  "agent: gestureat ", "office: ",          "settings: ",
});

std::string_view word(std::string_view& text) {
    const auto end = std::min(text.find(' '), text.size());
    const auto w = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));
    return w;
}

// A quoted transcript text back to itself: the first quoted string of `text`, escapes undone.
std::string unquote(std::string_view& text) {
    std::string out;
    if (text.empty() || text.front() != '"') return std::string(word(text));
    std::size_t i = 1;
    for (; i < text.size() && text[i] != '"'; ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        switch (text[++i]) {
            case 'r':
                out += '\r';
                break;
            case 'n':
                out += '\n';
                break;
            case 't':
                out += '\t';
                break;
            default:
                out += text[i];
        }
    }
    text.remove_prefix(std::min(i + 2, text.size()));
    return out;
}

// Blanks and line ends run together into one blank, as a person hears them.
std::string one_line(std::string_view text) {
    std::string out;
    for (const char c : text) {
        const bool blank = c == ' ' || c == '\n' || c == '\r' || c == '\t';
        if (blank && (out.empty() || out.back() == ' ')) continue;
        out += blank ? ' ' : c;
    }
    while (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

// A caption as the menu shows it: "&" marks the key, "&&" is an ampersand.
std::string plain_caption(std::string_view caption) {
    std::string out;
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size()) ++i;
        out += caption[i];
    }
    return out;
}

std::size_t width(std::string_view text) {
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xc0) != 0x80; }));
}

}  // namespace

bool output_is_terminal() { return ::isatty(STDOUT_FILENO) != 0; }

bool colour_wanted(int fd) {
    if (::isatty(fd) == 0) return false;
    if (const char* no = std::getenv("NO_COLOR"); no && *no) return false;
    const char* term = std::getenv("TERM");
    return term == nullptr || std::string_view(term) != "dumb";
}

PersonView::PersonView(sim::SimPlatform& sim, std::ostream& out, std::ostream& err, ViewOptions options)
    : sim_(sim), out_(out), err_(err), options_(options) {}

std::string PersonView::paint(std::string_view text, std::string_view colour) const {
    if (!options_.colour) return std::string(text);
    return fmt::format("\x1b[{}m{}\x1b[0m", colour, text);
}

void PersonView::line(const std::string& line) {
    std::string_view text = line;
    if (text.starts_with("> ")) {
        show_echo(text.substr(2));
        return;
    }
    if (text.starts_with("! ")) {
        flush();
        err_ << paint(text, kRed) << std::endl;
        return;
    }
    // What the user asked to see is shown as it is.
    if (inspecting_) {
        out_ << line << '\n';
        return;
    }
    if (text.starts_with("outlook: ")) {
        show_mail(text.substr(9));
        return;
    }
    if (std::ranges::any_of(kHidden, [&](std::string_view p) { return text.starts_with(p); })) return;
    flush();
    if (text.starts_with("msgbox: ")) return show_box(text.substr(8));
    if (text == "panel: show") {
        out_ << "the information panel opens\n";
    } else if (text == "panel: hide") {
        out_ << "the information panel closes\n";
    } else if (text.starts_with("fault: ")) {
        out_ << paint(text, kYellow) << '\n';
    } else {
        out_ << line << '\n';
    }
}

void PersonView::show_echo(std::string_view command) {
    auto rest = command;
    const auto verb = word(rest);
    inspecting_ = verb == "show";
    // An animation going on while the user only lets time pass may still lead into speech.
    if (std::ranges::find(kQuietCommands, verb) != kQuietCommands.end()) return;
    flush();
    if (options_.echo) out_ << paint(fmt::format("> {}", command), kDim) << '\n';
    // The user opens the character's menu to choose from it: what it offers is seen first.
    if (verb != "menu" || !sim_.sim_agent().loaded()) return;
    std::vector<std::string> entries;
    for (const auto& entry : sim_.sim_agent().menu_lines()) {
        std::string_view caption = entry;
        if (caption.starts_with("menu: ")) caption.remove_prefix(6);
        entries.push_back(plain_caption(caption));
    }
    out_ << paint("menu:", kGreen) << ' ' << fmt::format("{}", fmt::join(entries, " | ")) << '\n';
}

std::string PersonView::item(std::string_view id) {
    if (const auto made = made_.find(id); made != made_.end()) return made->second;
    try {
        const auto shown = sim_.sim_outlook().show_item(id);
        const auto json = nlohmann::json::parse(shown.substr(std::min(shown.find(' '), shown.size())));
        const auto subject = json.value("Subject", std::string());
        if (!subject.empty()) return platform::quote(subject);
    } catch (const std::exception&) {
        // An item without a readable subject is named by its id.
    }
    return std::string(id);
}

void PersonView::show_mail(std::string_view text) {
    auto rest = text;
    const auto call = word(rest);
    const auto id = word(rest);
    std::string shown;
    if (call == "UnRead") {
        shown = fmt::format("{} marked {}", item(id), rest == "False" ? "read" : "unread");
    } else if (call == "Move") {
        const auto folder = unquote(rest);
        const bool copy = id.find(".copy") != std::string_view::npos;
        shown = fmt::format("{} {} to {}", item(id), copy ? "copied" : "moved", folder);
    } else if (call == "Copy" || call == "Reply" || call == "CreateItem") {
        // "Copy m1 -> m1.copy1": the copy is named after its original from now on.
        const auto arrow = rest.find("-> ");
        if (arrow == std::string_view::npos) return;
        const auto made = rest.substr(arrow + 3);
        if (call == "Copy") made_.emplace(made, item(id));
        if (call == "Reply") made_.emplace(made, "a reply to " + item(id));
        if (call == "CreateItem") made_.emplace(made, "a new item");
        return;
    } else if (call == "Delete") {
        shown = fmt::format("{} deleted", item(id));
    } else if (call == "PrintOut") {
        shown = fmt::format("{} printed", item(id));
    } else if (call == "Display" || call == "Activate") {
        shown = fmt::format("{} opens in its own window", item(id));
    } else if (call == "Close") {
        shown = fmt::format("the window of {} closes", item(id));
    } else if (call == "FlagStatus") {
        shown = fmt::format("{} {}", item(id),
                            rest == "2"   ? "flagged for follow up"
                            : rest == "1" ? "flag completed"
                                          : "flag cleared");
    } else if (call == "Respond") {
        const auto dot = id.find('.');
        const auto response = word(rest);
        const auto how = response == "3" ? "accepted" : response == "4" ? "declined" : "tentatively accepted";
        shown = fmt::format("meeting {} {}", item(id.substr(0, dot)), how);
    } else if (call == "PickFolder") {
        auto answer = rest;
        shown = answer == "Nothing" ? std::string("the folder picker is cancelled")
                                    : "the folder picker: " + unquote(answer) + " chosen";
    } else if (call == "Save" || call == "Sort" || call == "GetInspector" || call == "FlagRequest") {
        return;
    } else {
        shown = std::string(text);
    }
    flush();
    out_ << paint("mail:", kGreen) << ' ' << shown << '\n';
}

void PersonView::show_box(std::string_view text) {
    auto rest = text;
    const auto title = unquote(rest);
    const auto body = unquote(rest);
    std::vector<std::string> lines;
    std::string_view b = body;
    while (!b.empty()) {
        const auto end = std::min(b.find('\n'), b.size());
        auto l = b.substr(0, end);
        if (l.ends_with('\r')) l.remove_suffix(1);
        lines.emplace_back(l);
        b.remove_prefix(std::min(end + 1, b.size()));
    }
    std::size_t inner = width(title) + 2;
    for (const auto& l : lines) inner = std::max(inner, width(l));
    const auto bar = [&](std::size_t n) { return std::string(n, '-'); };
    out_ << paint(fmt::format("+- {} {}+", title, bar(inner - width(title) - 1)), kYellow) << '\n';
    for (const auto& l : lines)
        out_ << paint("|", kYellow) << ' ' << l << std::string(inner - width(l), ' ') << ' ' << paint("|", kYellow)
             << '\n';
    out_ << paint(fmt::format("+{}+", bar(inner + 2)), kYellow) << '\n';
}

void PersonView::say(std::string_view text) {
    const auto name =
        animation_ ? fmt::format("{} ({})", sim::kCharacterName, *animation_) : std::string(sim::kCharacterName);
    animation_.reset();
    out_ << paint(name + ":", kCyan) << ' ' << text << '\n';
}

void PersonView::performing(const sim::QueuedRequest& request) {
    switch (request.action) {
        case Action::Speak: {
            const auto text = one_line(request.said);
            if (!text.empty()) say(text);
            break;
        }
        case Action::Think: {
            flush();
            animation_ = "thinks";
            say(one_line(request.said));
            break;
        }
        case Action::Play: {
            const auto* found = std::ranges::find(kAnimations, request.text, &Animation::name);
            if (found == kAnimations.end()) break;
            flush();
            animation_ = std::string(found->shown);
            break;
        }
        case Action::Show:
            flush();
            out_ << paint(fmt::format("{} appears", sim::kCharacterName), kCyan) << '\n';
            break;
        case Action::Hide:
            flush();
            out_ << paint(fmt::format("{} leaves", sim::kCharacterName), kCyan) << '\n';
            break;
        case Action::MoveTo:
        case Action::GestureAt:
            break;
    }
    out_.flush();
}

void PersonView::flush() {
    if (!animation_) return;
    out_ << paint(fmt::format("{} {}", sim::kCharacterName, *animation_), kCyan) << '\n';
    animation_.reset();
}

}  // namespace cli
