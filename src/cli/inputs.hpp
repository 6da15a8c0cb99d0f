#pragma once

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>

namespace sim {
struct Mailbox;
}

// The files the command reads besides scenarios: mailboxes and the settings store.
namespace cli {

// Exit status for an unusable scenario line or input file.
inline constexpr int kUnusable = 2;

// An input file that cannot be used, with the place in it when known.
struct InputError : std::runtime_error {
    InputError(std::string file_name, const std::string& message, int line_number = 0)
        : std::runtime_error(message), file(std::move(file_name)), line(line_number) {}
    // "! FILE:LINE: message", or "! FILE: message" when the line is not known.
    std::string report() const {
        const auto place = line > 0 ? file + ":" + std::to_string(line) : file;
        return "! " + place + ": " + what();
    }

    std::string file;
    int line;
};

// The mailbox at `path`, or the bundled sample without one. What kind it is is told from the
// content: a mailbox JSON file, a Maildir folder, an mbox file or a single message. Throws
// InputError, also for a path of none of these kinds.
sim::Mailbox load_mailbox_input(const std::optional<std::string>& path);

// Throws InputError naming `path` and the system's reason when it is no file that can be read (a
// folder included).
void check_readable_file(const std::string& path);
// Throws InputError naming `path` and the reason when no file can be written there: a folder, or a
// folder that does not exist or refuses writing. Nothing is created.
void check_writable_file(const std::string& path);

// The user's own settings store, under the XDG config directory; its folder is created.
std::filesystem::path user_settings_file();

}  // namespace cli
