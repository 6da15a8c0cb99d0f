#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <variant>

// What the module's self-registration writes and what its version resource carries. Held here as data
// so that the Windows build writes exactly this and a test can read it without Windows.
namespace addin {

inline constexpr std::string_view kProgID = "DezarorAgent.Connect";
// The mail client's list of add-ins; the add-in's entry is the subkey named after kProgID.
inline constexpr std::string_view kAddinRegistryRoot = "HKEY_CURRENT_USER\\Software\\Microsoft\\Office\\Outlook";
inline constexpr std::string_view kTypeLibraryDescription = "OutLook Dezaror Agent";
inline constexpr std::string_view kModuleFileName = "DezarorAgent.dll";

// Loaded when the mail client starts.
inline constexpr std::uint32_t kLoadBehaviorAtStartup = 3;

// A value of the add-in's registry entry: text (REG_SZ) or a number (REG_DWORD).
struct RegistryValue {
    std::string_view name;
    std::variant<std::string_view, std::uint32_t> data;
};

// The add-in's entry, in the order the registration writes it.
std::span<const RegistryValue> addin_registry_values();

// The string table of the version resource, in the order the resource lists it. The presence of
// "OLESelfRegister" (with an empty value) marks the module as registering itself.
struct VersionString {
    std::string_view key;
    std::string_view value;
};
std::span<const VersionString> version_strings();

// The registry key of the add-in's entry: the root, a backslash, the ProgID.
std::string_view addin_registry_key();

}  // namespace addin
