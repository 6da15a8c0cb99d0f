#pragma once

// One scenario run in-process under a fault plan, with what a sweep checks afterwards: the
// transcript, the calls the platform saw, the message boxes shown, and whether the add-in still
// answers a command once the faults are healed.

#include <cstdint>
#include <exception>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "character/form.hpp"
#include "cli/inputs.hpp"
#include "cli/session.hpp"
#include "sim/agent.hpp"
#include "sim/dialogs.hpp"
#include "sim/mailbox.hpp"
#include "sim/outlook.hpp"
#include "sim/sim_platform.hpp"
#include "sweep/message_texts.hpp"

namespace sweep {

struct Scenario {
    std::string name;
    std::filesystem::path file;
    std::vector<std::string> lines;
    std::optional<sim::Mailbox> mailbox;  // empty when the mailbox cannot be loaded
    // A scenario file ends at its first unusable line, as `dezaror run` ends it; a walk goes on.
    bool stops_at_unusable = true;
};

// A scenario file with the mailbox its first line names ("# mailbox: FILE"), or the sample one.
inline Scenario load_scenario(const std::filesystem::path& file, std::string name) {
    Scenario s{std::move(name), file, {}, {}};
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);) s.lines.push_back(line);
    std::optional<std::string> mailbox;
    constexpr std::string_view kMailboxLine = "# mailbox: ";
    if (!s.lines.empty() && s.lines.front().starts_with(kMailboxLine))
        mailbox = (file.parent_path() / s.lines.front().substr(kMailboxLine.size())).string();
    try {
        s.mailbox = cli::load_mailbox_input(mailbox);
    } catch (const std::exception&) {
        s.mailbox.reset();
    }
    return s;
}

// Which platform call fails: none, the n-th (1-based, counted from the first scenario line), or
// every call from the n-th on.
struct Plan {
    std::uint64_t n = 0;
    bool and_after = false;
};

struct Outcome {
    std::vector<std::string> transcript;  // the scenario's lines, then the trailing command's
    std::vector<std::string> calls;       // the platform calls the scenario made, when logged
    std::uint64_t call_count = 0;
    std::uint64_t hits = 0;
    int lines_run = 0;                  // up to and including the first unusable line
    std::vector<std::string> problems;  // what a sweep must not see
};

inline std::vector<std::string> split_lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// After the scenario, with the faults healed: the add-in is brought back to a running character
// (a start, a click, or a restart of the mail client where the character cannot come back
// otherwise) and must answer "read this message" with speech.
inline void trailing_command(sim::SimPlatform& sim, cli::Session& session, std::ostringstream& out, Outcome& outcome) {
    int line = 0;
    const auto run = [&](std::string_view text) { return session.execute(text, cli::Place{"trailing", ++line}); };
    const auto loaded = [&] {
        auto* form = session.addin().form();
        return form && form->bAgentLoaded && sim.sim_agent().loaded();
    };
    // Ready: the character is up with its read command (commands the catalogue could not add are
    // missing until the character starts again).
    const auto ready = [&] { return loaded() && sim.sim_agent().command_heard("read this message") == "ReadThisItem"; };
    run("done");
    if (!sim.running()) run("start");
    // A click stops a running preview, takes a character without its commands down, or starts it.
    for (int click = 0; click < 4 && !ready(); ++click) {
        run("click button");
        run("done");
    }
    if (!ready()) {
        // Without its button (none added at connection) the add-in starts only after a restart.
        run("quit");
        run("start");
        run("click button");
        run("done");
    }
    // A mail client without a main window gives the add-in no button: nothing can start the character.
    if (!loaded() && !sim.sim_outlook().has_explorer()) return;
    if (!ready()) {
        outcome.problems.push_back("the character cannot be started again with its commands");
        return;
    }
    if (sim.sim_outlook().has_explorer()) {
        run("activate explorer");
    } else {
        run("activate none");
    }
    const auto before = split_lines(out.str()).size();
    run("say read this message");
    run("done");
    const auto lines = split_lines(out.str());
    bool answered = false;
    for (auto i = before; i < lines.size(); ++i) answered = answered || lines[i].starts_with("agent: speak ");
    if (!answered) outcome.problems.push_back("\"read this message\" got no spoken answer after the faults healed");
}

// Runs the scenario's lines up to `line_limit` (all when 0) under `plan`. A line the simulator
// refuses (an item gone, a menu command missing because of an earlier fault) is skipped, as a
// user would go on; the number of lines up to the first refused one is kept so a fault-free run
// can fix how far the faulted ones go.
inline Outcome run_scenario(const Scenario& s, Plan plan, bool log_calls, int line_limit, bool trailing = true) {
    Outcome outcome;
    sim::SimPlatform sim{*s.mailbox};
    std::ostringstream out;
    try {
        cli::Session session(sim, out);
        sim.faults().log_calls(log_calls);
        const auto first_call = sim.faults().calls();
        if (plan.n > 0) sim.faults().fail_call_number(plan.n, plan.and_after);
        int number = 0;
        bool refused = false;
        for (const auto& line : s.lines) {
            if (line_limit > 0 && number >= line_limit) break;
            ++number;
            if (!session.execute(line, cli::Place{s.name, number}) && !refused && s.stops_at_unusable) {
                refused = true;
                outcome.lines_run = number;
                if (line_limit == 0) break;
            }
        }
        if (!refused) outcome.lines_run = number;
        outcome.call_count = sim.faults().calls() - first_call;
        outcome.hits = sim.faults().hits();
        outcome.calls = sim.faults().call_log();
        sim.faults().heal_all();
        sim.faults().log_calls(false);
        if (trailing) trailing_command(sim, session, out, outcome);
    } catch (const std::exception& e) {
        outcome.problems.push_back(std::string("an exception escaped the run: ") + e.what());
    }
    outcome.transcript = split_lines(out.str());
    for (const auto& line : outcome.transcript) {
        // Only the connection may hand a failure back to the mail client, which reports it itself.
        if (line.starts_with("error: ") && !line.starts_with("error: OnConnection ")) outcome.problems.push_back(line);
    }
    auto& boxes = dynamic_cast<sim::SimMessageBoxes&>(sim.message_boxes());
    for (const auto& box : boxes.shown()) {
        if (!known_message(box.title, box.text) || box.style != platform::kCritical)
            outcome.problems.push_back("unknown message box: " + sim::quote(box.title) + " " + sim::quote(box.text));
    }
    return outcome;
}

}  // namespace sweep
