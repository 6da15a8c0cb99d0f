#include "cli/session.hpp"

#include <fmt/format.h>

#include <istream>
#include <ostream>
#include <utility>
#include <vector>

#include "character/state.hpp"
#include "sim/edge.hpp"

namespace cli {

Session::Session(sim::SimPlatform& sim, std::ostream& out) : sim_(sim), out_(out), addin_(sim) {
    for (const auto& line : sim_.transcript().take()) out_ << line << '\n';
    sim_.transcript().set_sink([this](const std::string& line) { out_ << line << '\n'; });
}

Session::Session(sim::SimPlatform& sim, std::ostream& out, platform::Extensibility& played, FieldReader fields)
    : Session(sim, out) {
    played_ = &played;
    fields_ = std::move(fields);
}

Session::~Session() { sim_.transcript().set_sink({}); }

void Session::show_with(std::function<void(const std::string&)> sink) {
    if (!sink) {
        sim_.transcript().set_sink([this](const std::string& line) { out_ << line << '\n'; });
        return;
    }
    sim_.transcript().set_sink(std::move(sink));
}

bool Session::execute(std::string_view line, const Place& place) {
    const auto text = strip_comment(line);
    if (text.empty()) return true;
    sim_.transcript().raw("> " + std::string(text));
    bool usable = true;
    try {
        if (auto command = parse_line(line, place)) perform(*command);
    } catch (const ScenarioError& e) {
        sim_.transcript().raw(unusable_line(place, e.what()));
        usable = false;
    } catch (const sim::UsageError& e) {
        sim_.transcript().raw(unusable_line(place, e.what()));
        usable = false;
    }
    out_.flush();
    return usable;
}

int Session::run(std::istream& in, std::string_view file) {
    Place place{std::string(file), 0};
    for (std::string line; std::getline(in, line);) {
        ++place.line;
        if (!execute(line, place)) return kUnusable;
    }
    return 0;
}

void Session::perform(const Command& c) {
    const auto& a = c.args;
    switch (c.verb) {
        case Verb::Start:
            sim_.start(*played_);
            break;
        case Verb::Quit:
            sim_.quit();
            break;
        case Verb::ClickButton:
            sim_.click_button();
            break;
        case Verb::ClickMenu:
            sim_.click_menu();
            break;
        case Verb::Folder:
            sim_.folder(a.at(0));
            break;
        case Verb::Select:
            sim_.select(a);
            break;
        case Verb::SelectNone:
            sim_.select_none();
            break;
        case Verb::View:
            sim_.view(a.at(0));
            break;
        case Verb::Open:
            sim_.open(a.at(0));
            break;
        case Verb::Close:
            sim_.close(a.at(0));
            break;
        case Verb::ActivateExplorer:
            sim_.activate_explorer();
            break;
        case Verb::ActivateItem:
            sim_.activate(a.at(0));
            break;
        case Verb::ActivateNone:
            sim_.activate_none();
            break;
        case Verb::ActivateOther:
            sim_.activate_other();
            break;
        case Verb::CloseExplorer:
            sim_.close_explorer();
            break;
        case Verb::Arrive:
            sim_.arrive(c.item);
            break;
        case Verb::Remove:
            sim_.remove(a.at(0));
            break;
        case Verb::MarkRead:
            sim_.mark(a.at(0), true);
            break;
        case Verb::MarkUnread:
            sim_.mark(a.at(0), false);
            break;
        case Verb::Reminder:
            sim_.reminder(a.at(0));
            break;
        case Verb::Send:
            sim_.send(a.at(0));
            break;
        case Verb::Pick:
            sim_.pick(a.at(0));
            break;
        case Verb::PickCancel:
            sim_.pick(std::nullopt);
            break;
        case Verb::AddFolder:
            sim_.add_folder(a.at(0));
            break;
        case Verb::RemoveFolder:
            sim_.remove_folder(a.at(0));
            break;
        case Verb::Say:
            sim_.say(a.at(0));
            break;
        case Verb::Hear:
            try {
                sim_.say(ears_.hear_file(sim_.sim_agent(), a.at(0), c.place.file));
            } catch (const listen::ListenError& e) {
                throw sim::UsageError(e.what());
            }
            break;
        case Verb::Menu:
            sim_.menu(a.at(0));
            break;
        case Verb::Done:
            if (done_) {
                done_(c.number);
            } else {
                sim_.perform(c.number);
            }
            break;
        case Verb::FailNext:
            sim_.fail_next();
            break;
        case Verb::Wait:
            sim_.wait(*c.number);
            break;
        case Verb::Tick:
            sim_.tick();
            break;
        case Verb::Fault:
            sim_.fault(a.at(0), c.number ? std::optional<int>(static_cast<int>(*c.number)) : std::nullopt);
            break;
        case Verb::Heal:
            sim_.heal(a.at(0));
            break;
        case Verb::Setting:
            sim_.setting(a.at(0), a.at(1));
            break;
        case Verb::ShowSettings:
            sim_.show_settings();
            break;
        case Verb::ShowMenu:
            sim_.show_menu();
            break;
        case Verb::ShowState:
            show_state(c);
            break;
        case Verb::ShowItem:
            sim_.show_item(a.at(0));
            break;
        case Verb::ShowFolder:
            sim_.show_folder(a.at(0));
            break;
    }
}

// The form belongs to the add-in, not to the platform, so the session answers for it.
void Session::show_state(const Command& c) {
    auto* form = addin_.form();
    if (!form && !fields_) throw sim::UsageError("the add-in has no form before \"start\"");
    // Every field is checked before any is printed, so a misspelt field prints nothing.
    std::vector<std::string> lines;
    for (const auto& field : c.args) {
        auto value = fields_ ? fields_(field) : character::describe_field(*form, field);
        if (!value) throw sim::UsageError(fmt::format("the form has no field \"{}\"", field));
        lines.push_back(fmt::format("state: {} = {}", field, *value));
    }
    for (auto& line : lines) sim_.transcript().raw(std::move(line));
}

std::string unusable_line(const Place& place, std::string_view message) {
    if (place.line > 0) return fmt::format("! {}:{}: {}", place.file, place.line, message);
    return fmt::format("! {}: {}", place.file, message);
}

}  // namespace cli
