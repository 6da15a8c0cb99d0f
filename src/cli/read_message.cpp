#include "cli/read_message.hpp"

#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "addin/connect.hpp"
#include "cli/inputs.hpp"
#include "sim/edge.hpp"
#include "sim/mail_import.hpp"
#include "sim/sim_platform.hpp"

namespace cli {

namespace {

// `agent: speak "TEXT" #N` gives `"TEXT"`, already quoted as the output wants it.
std::optional<std::string_view> spoken_text(std::string_view line) {
    constexpr std::string_view kSpeak = "agent: speak ";
    if (!line.starts_with(kSpeak)) return std::nullopt;
    line.remove_prefix(kSpeak.size());
    const auto number = line.rfind(" #");
    return number == std::string_view::npos ? line : line.substr(0, number);
}

bool starts_reading(std::string_view line) {
    return line == R"(agent: play "Read")" || line.starts_with(R"(agent: play "Read" #)");
}

}  // namespace

// The real add-in reads the message, so the pieces are the ones the character would be given, cut
// by the same speech output, with nothing composed a second time here. The acknowledgement comes
// before the "Read" animation that opens every reading, so only speech after it is the message's.
int read_message(const std::filesystem::path& eml, std::ostream& out, std::ostream& err) {
    sim::MailImport loaded;
    try {
        loaded = sim::load_eml(eml);
    } catch (const sim::UsageError& e) {
        err << "! " << e.what() << '\n';
        return kUnusable;
    }
    for (const auto& problem : loaded.problems) err << "! " << problem << '\n';
    const auto& inbox = loaded.mailbox.folders.front().items;
    if (inbox.empty()) return kUnusable;
    const auto id = inbox.front().entry_id;

    sim::SimPlatform sim{std::move(loaded.mailbox)};
    addin::Connect addin{sim};
    sim.start(addin);
    sim.click_button();
    sim.perform_all();
    sim.select({id});
    sim.transcript().clear();
    sim.say("read this message");
    sim.perform_all();
    bool reading = false;
    for (const auto& line : sim.transcript().take()) {
        if (!reading) {
            reading = starts_reading(line);
            continue;
        }
        if (auto text = spoken_text(line)) out << *text << '\n';
    }
    sim.quit();
    out.flush();
    return 0;
}

}  // namespace cli
