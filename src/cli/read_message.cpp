#include "cli/read_message.hpp"

#include <exception>
#include <fstream>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "addin/connect.hpp"
#include "cli/live.hpp"
#include "platform/agent.hpp"
#include "cli/commands.hpp"
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

// Asks for the selected message to be read and prints each piece the character speaks of it, as
// it is spoken: a long message's transcript is never held whole.
void print_reading(sim::SimPlatform& sim, std::ostream& out) {
    bool reading = false;
    sim.sim_agent().keep_said(false);
    sim.transcript().clear();
    sim.transcript().set_sink([&](const std::string& line) {
        if (!reading) {
            reading = starts_reading(line);
            return;
        }
        if (auto text = spoken_text(line)) out << *text << '\n';
    });
    sim.say("read this message");
    sim.perform_all();
    sim.transcript().set_sink({});
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
    print_reading(sim, out);
    sim.quit();
    out.flush();
    return 0;
}

namespace {

// Whether the file begins as an mbox file does, judged by its first bytes only: a message may be long.
bool is_mbox(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::string head(5, '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    return in && head == "From ";
}

int read_each(const std::filesystem::path& file, std::optional<std::size_t> index, const VoiceOptions& voice,
              std::ostream& out, std::ostream& err) {
    const bool mbox = is_mbox(file);
    if (!voice.any() && !index && !mbox) return read_message(file, out, err);
    sim::MailImport loaded;
    try {
        loaded = mbox ? sim::load_mbox(file) : sim::load_eml(file);
    } catch (const sim::UsageError& e) {
        err << "! " << e.what() << '\n';
        return kUnusable;
    } catch (const InputError& e) {
        err << e.report() << '\n';
        return kUnusable;
    }
    for (const auto& problem : loaded.problems) err << "! " << problem << '\n';
    std::vector<std::string> ids;
    for (const auto& item : loaded.mailbox.folders.front().items) ids.push_back(item.entry_id);
    if (ids.empty()) {
        err << "! " << file.string() << ": holds no message that can be read\n";
        return kUnusable;
    }
    if (index && *index > ids.size()) {
        err << "! " << file.string() << ": --index " << *index << ": it holds " << ids.size()
            << (ids.size() == 1 ? " message\n" : " messages\n");
        return kUnusable;
    }
    const auto count = ids.size();
    if (index) ids = {ids[*index - 1]};

    sim::SimPlatform sim{std::move(loaded.mailbox)};
    addin::Connect addin{sim};
    sim.start(addin);
    sim.click_button();
    sim.perform_all();
    return with_voice(voice, err, err, [&](Voice* heard) {
        // What the character says of each message, as it chose to say it.
        bool reading = false;
        sim.sim_agent().on_perform([&](const sim::QueuedRequest& request, std::int32_t status) {
            if (request.action == sim::QueuedRequest::Action::Play && request.text == "Read") reading = true;
            if (!heard || !reading || status != platform::kRequestComplete || !is_speech(request)) return;
            heard->say(request.said);
        });
        for (std::size_t n = 0; n < ids.size(); ++n) {
            if (count > 1) out << "message " << (index ? *index : n + 1) << " of " << count << '\n';
            reading = false;
            sim.select({ids[n]});
            print_reading(sim, out);
        }
        sim.sim_agent().on_perform({});
        sim.quit();
        out.flush();
        return 0;
    });
}

}  // namespace

// Whatever goes wrong on the way, the reading ends with the file's name and why, never with an
// uncaught exception.
int read_messages(const std::filesystem::path& file, std::optional<std::size_t> index, const VoiceOptions& voice,
                  std::ostream& out, std::ostream& err) {
    try {
        return read_each(file, index, voice, out, err);
    } catch (const InputError& e) {
        out.flush();
        err << e.report() << '\n';
    } catch (const std::exception& e) {
        out.flush();
        err << "! " << file.string() << ": " << e.what() << '\n';
    }
    return kUnusable;
}

}  // namespace cli
