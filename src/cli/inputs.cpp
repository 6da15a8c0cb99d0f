#include "cli/inputs.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
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

// A message starts with a header field: a name of printable characters other than the colon, then
// the colon.
bool looks_like_message(std::string_view text) {
    const auto colon = text.find(':');
    if (colon == 0 || colon == std::string_view::npos) return false;
    return std::ranges::all_of(text.substr(0, colon), [](char c) { return c > ' ' && c < 0x7f; });
}

std::string_view without_bom_and_blanks(std::string_view text) {
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    const auto first = text.find_first_not_of(" \t\r\n");
    return first == std::string_view::npos ? std::string_view{} : text.substr(first);
}

bool is_maildir(const std::filesystem::path& dir) {
    std::error_code error;
    return std::filesystem::is_directory(dir / "cur", error) || std::filesystem::is_directory(dir / "new", error);
}

// A folder holds mail when it is a Maildir or holds Maildirs.
bool holds_maildirs(const std::filesystem::path& dir) {
    if (is_maildir(dir)) return true;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(dir, error))
        if (entry.is_directory(error) && is_maildir(entry.path())) return true;
    return false;
}

std::vector<std::string> folder_paths(const std::vector<sim::FolderRecord>& folders, const std::string& parent) {
    std::vector<std::string> paths;
    for (const auto& folder : folders) {
        auto path = parent.empty() ? folder.name : parent + "/" + folder.name;
        auto inner = folder_paths(folder.folders, path);
        paths.push_back(std::move(path));
        paths.insert(paths.end(), inner.begin(), inner.end());
    }
    return paths;
}

std::string system_reason(int error) { return std::strerror(error); }

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
    if (std::filesystem::is_directory(*path, error)) {
        if (!holds_maildirs(*path))
            throw InputError(*path, "is a folder but no Maildir: it has no cur or new folder, nor any Maildir inside");
        return import_mail(*path);
    }
    check_readable_file(*path);
    const auto text = read_file(*path);
    const auto start = without_bom_and_blanks(text);
    if (start.starts_with("{")) return load_json(text, *path);
    if (looks_like_mbox(text)) return import_mail(*path);
    if (looks_like_message(start)) {
        auto imported = sim::load_eml(*path);
        for (const auto& problem : imported.problems) std::cerr << "dezaror: skipped " << problem << '\n';
        start_at_newest(imported.mailbox);
        return std::move(imported.mailbox);
    }
    throw InputError(*path,
                     "is no mailbox: neither JSON (it does not start with \"{\"), an mbox file (no \"From \" line "
                     "first), a mail message (no header first) nor a Maildir folder");
}

void check_readable_file(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) throw InputError(path, "cannot be opened: " + system_reason(errno));
    if (S_ISDIR(status.st_mode)) throw InputError(path, "cannot be opened: " + system_reason(EISDIR));
    const int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0) throw InputError(path, "cannot be opened: " + system_reason(errno));
    ::close(fd);
}

void check_writable_file(const std::string& path) {
    const std::filesystem::path target(path);
    std::error_code error;
    if (std::filesystem::is_directory(target, error))
        throw InputError(path, "cannot be written: " + system_reason(EISDIR));
    const auto folder = target.parent_path().empty() ? std::filesystem::path(".") : target.parent_path();
    if (::access(folder.c_str(), W_OK) != 0)
        throw InputError(path, "cannot be written: " + folder.string() + ": " + system_reason(errno));
    if (std::filesystem::exists(target, error) && ::access(path.c_str(), W_OK) != 0)
        throw InputError(path, "cannot be written: " + system_reason(errno));
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

int with_session(const SimInputs& inputs, std::ostream& out, std::ostream& err,
                 const std::function<int(Session&)>& body) {
    std::unique_ptr<sim::SimPlatform> sim;
    std::vector<std::string> paths;
    try {
        sim::SimOptions options;
        if (inputs.settings) {
            std::error_code error;
            if (std::filesystem::is_directory(*inputs.settings, error))
                throw InputError(*inputs.settings, "cannot be opened: " + system_reason(EISDIR));
            options.settings_file = *inputs.settings;
        }
        options.seed = inputs.seed;
        auto mailbox = load_mailbox_input(inputs.mailbox);
        paths = folder_paths(mailbox.folders, "");
        sim = std::make_unique<sim::SimPlatform>(std::move(mailbox), options);
    } catch (const InputError& e) {
        err << e.report() << std::endl;
        return kUnusable;
    } catch (const sim::UsageError& e) {
        // The importer and the settings store name the file and line themselves.
        err << "! " << e.what() << std::endl;
        return kUnusable;
    }
    Session session(*sim, out);
    session.folder_paths() = std::move(paths);
    return body(session);
}

}  // namespace cli
