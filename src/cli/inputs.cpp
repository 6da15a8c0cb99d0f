#include "cli/inputs.hpp"

#include <cstdlib>
#include <iostream>
#include <memory>
#include <system_error>

#include "cli/commands.hpp"
#include "cli/samples.hpp"
#include "cli/session.hpp"
#include "cli/text_tools.hpp"
#include "sim/edge.hpp"
#include "sim/mail_import.hpp"
#include "sim/mailbox.hpp"
#include "sim/sim_platform.hpp"

namespace cli {

namespace {

constexpr std::string_view kSampleName = "samples/mailbox.json";

bool looks_like_mbox(std::string_view text) { return text.starts_with("From "); }

// Real mail carries no "now": the clock starts at the newest message, so it arrived just now and
// every run over the same mail repeats.
void start_at_newest(sim::Mailbox& mailbox) {
    if (mailbox.now) return;
    for (const auto& folder : mailbox.folders) {
        for (const auto& item : folder.items) {
            const auto received = item.properties.date("ReceivedTime");
            if (received && (!mailbox.now || *received > *mailbox.now)) mailbox.now = received;
        }
    }
}

sim::Mailbox import_mail(const std::string& path) {
    auto imported = sim::load_mail_store(path);
    // A message that cannot be parsed is left out; the user hears about it, the run goes on.
    for (const auto& problem : imported.problems) std::cerr << "dezaror: skipped " << problem << '\n';
    start_at_newest(imported.mailbox);
    return std::move(imported.mailbox);
}

// The loader names the place inside the file; the report puts it after the file and line.
sim::Mailbox load_json(std::string_view text, const std::string& file) {
    try {
        return sim::load_mailbox(text, file);
    } catch (const sim::MailboxError& e) {
        throw InputError(file, e.place.empty() ? e.problem : e.place + ": " + e.problem, e.line);
    }
}

}  // namespace

sim::Mailbox load_mailbox_input(const std::optional<std::string>& path) {
    if (!path) return load_json(kSampleMailbox, std::string(kSampleName));
    // The importer's UsageError names the path itself.
    std::error_code error;
    if (std::filesystem::is_directory(*path, error)) return import_mail(*path);
    const auto text = read_file(*path);
    if (looks_like_mbox(text)) return import_mail(*path);
    return load_json(text, *path);
}

std::filesystem::path user_settings_file() {
    std::filesystem::path dir;
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config) {
        dir = config;
    } else if (const char* home = std::getenv("HOME"); home && *home) {
        dir = std::filesystem::path(home) / ".config";
    } else {
        dir = ".";
    }
    dir /= "dezaror";
    std::error_code ignored;  // An uncreatable folder shows when the store is written.
    std::filesystem::create_directories(dir, ignored);
    return dir / "settings.ini";
}

int with_session(const SimInputs& inputs, std::ostream& out, const std::function<int(Session&)>& body) {
    std::unique_ptr<sim::SimPlatform> sim;
    try {
        sim::SimOptions options;
        if (inputs.settings) options.settings_file = *inputs.settings;
        options.seed = inputs.seed;
        sim = std::make_unique<sim::SimPlatform>(load_mailbox_input(inputs.mailbox), options);
    } catch (const InputError& e) {
        out << e.report() << std::endl;
        return kUnusable;
    } catch (const sim::UsageError& e) {
        // The importer and the settings store name the file and line themselves.
        out << "! " << e.what() << std::endl;
        return kUnusable;
    }
    Session session(*sim, out);
    return body(session);
}

}  // namespace cli
