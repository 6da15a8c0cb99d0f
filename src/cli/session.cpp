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
        if (auto command = parse_line(line, place)) command->command->run(*this, *command);
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

void Session::start() { sim_.start(*played_); }

void Session::done(std::optional<std::int64_t> n) {
    if (done_) {
        done_(n);
    } else {
        sim_.perform(n);
    }
}

void Session::hear(const std::string& file, const Place& place) {
    try {
        sim_.say(ears_.hear_file(sim_.sim_agent(), file, place.file));
    } catch (const listen::ListenError& e) {
        throw sim::UsageError(e.what());
    }
}

void Session::hear_spoken(std::span<const std::int16_t> samples, std::ostream& shown, std::ostream& errors) {
    try {
        const auto words = ears_.hear_samples(sim_.sim_agent(), samples);
        shown << (words.empty() ? std::string("(heard no command)\n") : "(heard \"" + words + "\")\n");
        sim_.say(words);
    } catch (const listen::ListenError& e) {
        errors << "! " << e.what() << '\n';
    } catch (const sim::UsageError& e) {
        errors << "! " << e.what() << '\n';
    }
}

// The form belongs to the add-in, not to the platform, so the session answers for it.
void Session::show_state(const std::vector<std::string>& fields) {
    auto* form = addin_.form();
    if (!form && !fields_) throw sim::UsageError("the add-in has no form before \"start\"");
    // Every field is checked before any is printed, so a misspelt field prints nothing.
    std::vector<std::string> lines;
    for (const auto& field : fields) {
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
