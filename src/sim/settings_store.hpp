#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/settings.hpp"
#include "sim/faults.hpp"
#include "sim/transcript.hpp"

// The per-user settings store as a GLib key file, one group per application and section, named
// "APPLICATION/SECTION" (the add-in's is "[Outlook Dezaror Agent/Settings]"), values as text:
//
//     [Outlook Dezaror Agent/Settings]
//     AgentLeft=50
//     PlayIntro=True
//
// Every write rewrites the whole file through a temporary file renamed over it, so a write that
// dies part way leaves the previous file as it was. Without a file the store lives in memory.
namespace sim {

class SettingsFile : public platform::SettingsStore {
public:
    // An empty store in memory.
    SettingsFile(Transcript& transcript, Faults& faults);
    // The store in `path`; a missing file is an empty store, created at the first write. Throws
    // UsageError naming the file and line for a file that is not a key file; nothing is read then.
    SettingsFile(Transcript& transcript, Faults& faults, std::filesystem::path path);
    ~SettingsFile() override;
    SettingsFile(const SettingsFile&) = delete;
    SettingsFile& operator=(const SettingsFile&) = delete;

    // platform::SettingsStore. A write prints `settings: KEY "VALUE"` once it is stored; a write
    // that cannot reach the file fails with a platform error and leaves store and file unchanged.
    std::string get_setting(std::string_view app, std::string_view section, std::string_view key,
                            std::string_view fallback) override;
    void save_setting(std::string_view app, std::string_view section, std::string_view key,
                      std::string_view value) override;

    // `setting KEY VALUE`: the user's own edit of the add-in's section. It is written like any
    // other value but, not being the add-in's act, leaves no transcript line. Throws UsageError
    // for a key the store cannot hold or a file that cannot be written.
    void set(std::string_view key, std::string_view value);
    // `show settings`: the add-in's section, key and value, in the order stored.
    std::vector<std::pair<std::string, std::string>> values() const;

    const std::optional<std::filesystem::path>& path() const { return path_; }

private:
    struct KeyFile;
    // Stores the value and writes the file; on failure the old value is put back and the reason
    // returned.
    std::optional<std::string> store(const std::string& group, std::string_view key, std::string_view value);

    Transcript& transcript_;
    Faults& faults_;
    std::optional<std::filesystem::path> path_;
    std::unique_ptr<KeyFile> file_;
};

}  // namespace sim
