// The settings store of a run through the DLL: the registry key the add-in itself reads and
// writes, in place of the simulator's key file. The add-in's own writes go straight to the
// registry; `setting` and `show settings` edit and read the same key.

#include <windows.h>

#include "platform/dialogs.hpp"
#include "platform/error.hpp"
#include "sim/edge.hpp"
#include "sim/settings_store.hpp"
#include "win/com.hpp"
#include "winsim/hooks.hpp"

namespace sim {

namespace {

constexpr std::string_view kSection = "Settings";

std::wstring key_of(std::string_view app, std::string_view section) {
    return win::widen("Software\\VB and VBA Program Settings\\" + std::string(app) + "\\" + std::string(section));
}

}  // namespace

// Nothing of its own: the registry holds the values.
struct SettingsFile::KeyFile {};

SettingsFile::SettingsFile(Transcript& transcript, Faults& faults)
    : transcript_(transcript), faults_(faults), file_(std::make_unique<KeyFile>()) {}

SettingsFile::SettingsFile(Transcript& transcript, Faults& faults, std::filesystem::path path)
    : SettingsFile(transcript, faults) {
    path_ = std::move(path);
}

SettingsFile::~SettingsFile() = default;

std::string SettingsFile::get_setting(std::string_view app, std::string_view section, std::string_view key,
                                      std::string_view fallback) {
    faults_.check("GetSetting");
    wchar_t buffer[4096];
    DWORD size = sizeof buffer;
    if (RegGetValueW(HKEY_CURRENT_USER, key_of(app, section).c_str(), win::widen(key).c_str(), RRF_RT_REG_SZ, nullptr,
                     buffer, &size) != ERROR_SUCCESS)
        return std::string(fallback);
    return win::narrow(buffer, wcslen(buffer));
}

void SettingsFile::save_setting(std::string_view app, std::string_view section, std::string_view key,
                                std::string_view value) {
    faults_.check("SaveSetting");
    if (auto failure = store(std::string(app) + "/" + std::string(section), key, value))
        throw platform::PlatformError(75, *failure);
    if (app == platform::kAppTitle && section == kSection)
        transcript_.add("settings", std::string(key) + " " + quote(value));
}

void SettingsFile::set(std::string_view key, std::string_view value) {
    if (auto failure = store(std::string(platform::kAppTitle) + "/" + std::string(kSection), key, value))
        throw UsageError(*failure);
}

std::optional<std::string> SettingsFile::store(const std::string& group, std::string_view key, std::string_view value) {
    const auto slash = group.find('/');
    const auto path = key_of(std::string_view(group).substr(0, slash), std::string_view(group).substr(slash + 1));
    const auto text = win::widen(value);
    const LSTATUS status = RegSetKeyValueW(HKEY_CURRENT_USER, path.c_str(), win::widen(key).c_str(), REG_SZ,
                                           text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    if (status != ERROR_SUCCESS) return "the setting " + std::string(key) + " cannot be written to the registry";
    winsim::note_setting(std::string(key));
    return std::nullopt;
}

std::vector<std::pair<std::string, std::string>> SettingsFile::values() const {
    std::vector<std::pair<std::string, std::string>> stored;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, key_of(platform::kAppTitle, kSection).c_str(), 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
        return stored;
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD name_size = 256;
        wchar_t data[4096];
        DWORD data_size = sizeof data;
        DWORD type = 0;
        if (RegEnumValueW(key, i, name, &name_size, nullptr, &type, reinterpret_cast<BYTE*>(data), &data_size) !=
            ERROR_SUCCESS)
            break;
        if (type != REG_SZ) continue;
        stored.emplace_back(win::narrow(name, name_size), win::narrow(data, wcslen(data)));
    }
    RegCloseKey(key);
    // In the order of their first writes; any the run did not write after them.
    std::vector<std::pair<std::string, std::string>> out;
    for (const auto& name : winsim::settings_in_order()) {
        for (auto& entry : stored) {
            if (!entry.first.empty() && _stricmp(entry.first.c_str(), name.c_str()) == 0) {
                out.push_back(std::move(entry));
                entry.first.clear();
            }
        }
    }
    for (auto& entry : stored)
        if (!entry.first.empty()) out.push_back(std::move(entry));
    return out;
}

}  // namespace sim
