#pragma once

// The per-user registry: the module's self-registration and the settings store.

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/settings.hpp"

namespace win {

// The class identifier of the add-in class DezarorAgent.Connect.
inline constexpr CLSID kConnectClsid = {0x6d77b6cf, 0x05dd, 0x4881, {0x9f, 0x5f, 0x59, 0x6b, 0x61, 0xa9, 0x7a, 0x44}};
inline constexpr std::string_view kConnectClsidText = "{6D77B6CF-05DD-4881-9F5F-596B61A97A44}";
// The mail client calls the add-in on its single user-interface thread.
inline constexpr std::string_view kThreadingModel = "Apartment";

// Where registration writes: for the current user only (HKEY_CURRENT_USER\Software\Classes and the
// user's add-in list), which needs no administrator rights, or for every user of the machine
// (HKEY_LOCAL_MACHINE\Software\Classes and the machine's add-in list).
enum class Scope { user, machine };
// Machine-wide when the process runs elevated, for the current user otherwise.
Scope default_scope();

// Writes the class, its ProgID, the type library of the DLL's own bitness and its interface, and
// the mail client's add-in entry, all in `scope`, in the registry view of the DLL's bitness.
// `module_path` is the DLL's full path. Throws PlatformError, after removing what it had written,
// when a key cannot be written.
void register_server(std::string_view module_path, Scope scope);
// Removes exactly the values registration writes, in both scopes (those it may change), and each of
// its keys that is left empty; keys shared with others (the add-in list, the classes root) stay.
// Absent values are no error.
void unregister_server();

// The per-user application settings store: HKEY_CURRENT_USER\Software\VB and VBA Program
// Settings\APP\SECTION, one REG_SZ value per key, where earlier versions kept them too.
class RegistrySettings : public platform::SettingsStore {
public:
    std::string get_setting(std::string_view app, std::string_view section, std::string_view key,
                            std::string_view fallback) override;
    void save_setting(std::string_view app, std::string_view section, std::string_view key,
                      std::string_view value) override;
};

// Reads one text value under HKEY_CURRENT_USER; nullopt when the key or value is absent.
std::optional<std::string> read_user_string(std::string_view key, std::string_view name);

}  // namespace win
