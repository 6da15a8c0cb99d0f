#pragma once

#include <string>
#include <string_view>

namespace platform {

// The per-user application settings store: text values by application, section and key.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // The stored text, or `fallback` when the key is absent.
    virtual std::string get_setting(std::string_view app, std::string_view section, std::string_view key,
                                    std::string_view fallback) = 0;
    virtual void save_setting(std::string_view app, std::string_view section, std::string_view key,
                              std::string_view value) = 0;
};

}  // namespace platform
