#include "addin/registration.hpp"

#include <array>

namespace addin {

namespace {

// The two blanks after the first full stop are part of the text the mail client shows.
constexpr std::array kAddinValues{
    RegistryValue{"FriendlyName", std::string_view{"Outlook Dezaror Agent"}},
    RegistryValue{"Description",
                  std::string_view{"Outlook Dezaror Agent.  Use to preview or read message items in Outlook."}},
    RegistryValue{"LoadBehavior", kLoadBehaviorAtStartup},
};

constexpr std::array kVersionStrings{
    VersionString{"Comments", "Use Outlook Dezaror Agent to read your emails to you."},
    VersionString{"FileDescription", "COM Addin to read email"},
    VersionString{"FileVersion", "1.01.0002"},
    VersionString{"InternalName", "DezarorAgent"},
    VersionString{"OriginalFilename", kModuleFileName},
    VersionString{"ProductName", "Outlook Dezaror Agent"},
    VersionString{"ProductVersion", "1.01.0002"},
    VersionString{"OLESelfRegister", ""},
};

// The mail client lists its add-ins under the Addins subkey of its root, one subkey per ProgID.
constexpr std::string_view kAddinKey =
    "HKEY_CURRENT_USER\\Software\\Microsoft\\Office\\Outlook\\Addins\\DezarorAgent.Connect";
static_assert(kAddinKey.starts_with(kAddinRegistryRoot) && kAddinKey.ends_with(kProgID));

}  // namespace

std::span<const RegistryValue> addin_registry_values() { return kAddinValues; }

std::span<const VersionString> version_strings() { return kVersionStrings; }

std::string_view addin_registry_key() { return kAddinKey; }

}  // namespace addin
