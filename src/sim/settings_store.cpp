#include "sim/settings_store.hpp"

#include <fmt/format.h>
#include <glib.h>

#include <cstddef>
#include <system_error>

#include "platform/dialogs.hpp"
#include "platform/error.hpp"
#include "sim/edge.hpp"

namespace sim {

namespace {

using platform::PlatformError;

constexpr std::int32_t kErrInvalidArgument = 5;
constexpr std::int32_t kErrFileAccess = 75;  // "Path/File access error"
constexpr std::string_view kSection = "Settings";

// Owns a GError and gives its message.
class Error {
public:
    Error() = default;
    Error(const Error&) = delete;
    Error& operator=(const Error&) = delete;
    ~Error() { g_clear_error(&error_); }
    GError** out() {
        g_clear_error(&error_);
        return &error_;
    }
    explicit operator bool() const { return error_ != nullptr; }
    bool is(GQuark domain, int code) const { return g_error_matches(error_, domain, code); }
    std::string message() const { return error_ ? error_->message : ""; }

private:
    GError* error_ = nullptr;
};

struct GFreeDeleter {
    void operator()(void* p) const { g_free(p); }
};
using GText = std::unique_ptr<gchar, GFreeDeleter>;

std::string group_name(std::string_view app, std::string_view section) {
    return std::string(app) + "/" + std::string(section);
}

// What a key file can hold as a group or key name without changing the meaning of its line.
bool usable_name(std::string_view name, bool is_group) {
    if (name.empty() || !g_utf8_validate(name.data(), static_cast<gssize>(name.size()), nullptr)) return false;
    if (name.front() == ' ' || name.back() == ' ' || (!is_group && name.front() == '#')) return false;
    for (char c : name) {
        if (c == '[' || c == ']' || c == '\n' || c == '\r' || c == '\0') return false;
        if (!is_group && c == '=') return false;
    }
    return true;
}

bool loads(std::string_view data, Error& error) {
    GKeyFile* probe = g_key_file_new();
    const bool ok = g_key_file_load_from_data(probe, data.data(), data.size(), G_KEY_FILE_KEEP_COMMENTS, error.out());
    g_key_file_free(probe);
    return ok;
}

// GLib says what is wrong but not where: the first line whose inclusion makes the text fail is
// where. Prefixes fail monotonically, as the parser reads line by line, so a bisection finds it.
std::size_t failing_line(std::string_view data) {
    std::vector<std::size_t> ends;  // the end of each line's prefix
    for (std::size_t i = 0; i < data.size(); ++i)
        if (data[i] == '\n') ends.push_back(i + 1);
    if (ends.empty() || ends.back() != data.size()) ends.push_back(data.size());
    std::size_t lo = 0;  // prefixes of lo lines load
    std::size_t hi = ends.size();
    while (hi - lo > 1) {
        const std::size_t mid = lo + (hi - lo) / 2;
        Error ignored;
        if (loads(data.substr(0, ends[mid - 1]), ignored))
            lo = mid;
        else
            hi = mid;
    }
    return hi;
}

// The line that sets `key` in `group`, for a value GLib read but cannot interpret.
std::size_t line_of_key(std::string_view data, std::string_view group, std::string_view key) {
    auto trim = [](std::string_view t) {
        while (!t.empty() && (t.front() == ' ' || t.front() == '\t')) t.remove_prefix(1);
        while (!t.empty() && (t.back() == ' ' || t.back() == '\t' || t.back() == '\r')) t.remove_suffix(1);
        return t;
    };
    std::string_view current;
    std::size_t number = 0;
    std::size_t found = 0;
    while (!data.empty()) {
        const std::size_t end = data.find('\n');
        const std::string_view line = trim(data.substr(0, end));
        data = end == std::string_view::npos ? std::string_view() : data.substr(end + 1);
        ++number;
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            current = line.substr(1, line.size() - 2);
        } else if (const std::size_t eq = line.find('=');
                   eq != std::string_view::npos && current == group && trim(line.substr(0, eq)) == key) {
            found = number;  // the last one counts, as it does for GLib
        }
    }
    return found;
}

}  // namespace

struct SettingsFile::KeyFile {
    KeyFile() : file(g_key_file_new()) {}
    ~KeyFile() { g_key_file_free(file); }
    KeyFile(const KeyFile&) = delete;
    KeyFile& operator=(const KeyFile&) = delete;
    GKeyFile* file;
};

SettingsFile::SettingsFile(Transcript& transcript, Faults& faults)
    : transcript_(transcript), faults_(faults), file_(std::make_unique<KeyFile>()) {}

SettingsFile::SettingsFile(Transcript& transcript, Faults& faults, std::filesystem::path path)
    : transcript_(transcript), faults_(faults), path_(std::move(path)), file_(std::make_unique<KeyFile>()) {
    const std::string name = path_->string();
    std::error_code ec;
    if (!std::filesystem::exists(*path_, ec)) return;
    gchar* raw = nullptr;
    gsize length = 0;
    Error error;
    if (!g_file_get_contents(name.c_str(), &raw, &length, error.out()))
        throw UsageError(fmt::format("{}: cannot read the settings: {}", name, error.message()));
    const GText owned(raw);
    const std::string_view data(raw, length);
    if (!g_key_file_load_from_data(file_->file, data.data(), data.size(), G_KEY_FILE_KEEP_COMMENTS, error.out()))
        throw UsageError(fmt::format("{}:{}: {}", name, failing_line(data), error.message()));
    // A value the store could not give back later is refused now, while nothing depends on it.
    gsize groups_count = 0;
    std::unique_ptr<gchar*, decltype(&g_strfreev)> groups(g_key_file_get_groups(file_->file, &groups_count),
                                                          &g_strfreev);
    for (gsize g = 0; g < groups_count; ++g) {
        gsize keys_count = 0;
        std::unique_ptr<gchar*, decltype(&g_strfreev)> keys(
            g_key_file_get_keys(file_->file, groups.get()[g], &keys_count, nullptr), &g_strfreev);
        for (gsize k = 0; k < keys_count; ++k) {
            const GText value(g_key_file_get_string(file_->file, groups.get()[g], keys.get()[k], error.out()));
            if (error)
                throw UsageError(fmt::format("{}:{}: [{}] {}: {}", name,
                                             line_of_key(data, groups.get()[g], keys.get()[k]), groups.get()[g],
                                             keys.get()[k], error.message()));
        }
    }
}

SettingsFile::~SettingsFile() = default;

std::string SettingsFile::get_setting(std::string_view app, std::string_view section, std::string_view key,
                                      std::string_view fallback) {
    faults_.check("GetSetting");
    const std::string group = group_name(app, section);
    const std::string k(key);
    Error error;
    const GText value(g_key_file_get_string(file_->file, group.c_str(), k.c_str(), error.out()));
    if (error.is(G_KEY_FILE_ERROR, G_KEY_FILE_ERROR_GROUP_NOT_FOUND) ||
        error.is(G_KEY_FILE_ERROR, G_KEY_FILE_ERROR_KEY_NOT_FOUND))
        return std::string(fallback);
    if (error) throw PlatformError(kErrInvalidArgument, error.message());
    return value.get();
}

void SettingsFile::save_setting(std::string_view app, std::string_view section, std::string_view key,
                                std::string_view value) {
    faults_.check("SaveSetting");
    const std::string group = group_name(app, section);
    if (!usable_name(app, true) || !usable_name(section, true) || !usable_name(key, false))
        throw PlatformError(kErrInvalidArgument, "Invalid procedure call or argument");
    if (!g_utf8_validate(value.data(), static_cast<gssize>(value.size()), nullptr))
        throw PlatformError(kErrInvalidArgument, "Invalid procedure call or argument: the value is not UTF-8");
    if (auto failure = store(group, key, value))
        throw PlatformError(kErrFileAccess, "Path/File access error: " + *failure);
    transcript_.add("settings", std::string(key) + " " + quote(value));
}

void SettingsFile::set(std::string_view key, std::string_view value) {
    if (!usable_name(key, false)) throw UsageError(fmt::format("\"{}\" cannot be a settings key", key));
    if (!g_utf8_validate(value.data(), static_cast<gssize>(value.size()), nullptr))
        throw UsageError(fmt::format("the value of the setting \"{}\" is not UTF-8", key));
    if (auto failure = store(group_name(platform::kAppTitle, kSection), key, value))
        throw UsageError(fmt::format("{}: cannot write the settings: {}", path_->string(), *failure));
}

std::optional<std::string> SettingsFile::store(const std::string& group, std::string_view key, std::string_view value) {
    const std::string k(key);
    const std::string v(value);
    GKeyFile* kf = file_->file;
    const bool had_group = g_key_file_has_group(kf, group.c_str());
    const GText old(had_group ? g_key_file_get_value(kf, group.c_str(), k.c_str(), nullptr) : nullptr);
    g_key_file_set_string(kf, group.c_str(), k.c_str(), v.c_str());
    if (!path_) return std::nullopt;

    gsize length = 0;
    const GText data(g_key_file_to_data(kf, &length, nullptr));
    std::error_code ignored;  // a directory we cannot make is reported by the write below
    if (path_->has_parent_path()) std::filesystem::create_directories(path_->parent_path(), ignored);
    Error error;
    // Written to a temporary file in the same folder and renamed over the old one.
    if (g_file_set_contents(path_->c_str(), data.get(), static_cast<gssize>(length), error.out())) return std::nullopt;

    if (old)
        g_key_file_set_value(kf, group.c_str(), k.c_str(), old.get());
    else if (had_group)
        g_key_file_remove_key(kf, group.c_str(), k.c_str(), nullptr);
    else
        g_key_file_remove_group(kf, group.c_str(), nullptr);
    return error.message();
}

std::vector<std::pair<std::string, std::string>> SettingsFile::values() const {
    std::vector<std::pair<std::string, std::string>> out;
    const std::string group = group_name(platform::kAppTitle, kSection);
    gsize count = 0;
    std::unique_ptr<gchar*, decltype(&g_strfreev)> keys(
        g_key_file_get_keys(file_->file, group.c_str(), &count, nullptr), &g_strfreev);
    for (gsize i = 0; i < count; ++i) {
        const GText value(g_key_file_get_string(file_->file, group.c_str(), keys.get()[i], nullptr));
        out.emplace_back(keys.get()[i], value ? value.get() : "");
    }
    return out;
}

}  // namespace sim
