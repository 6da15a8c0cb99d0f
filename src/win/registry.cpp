#include "win/registry.hpp"

#include <algorithm>
#include <array>
#include <variant>
#include <vector>

#include "addin/registration.hpp"
#include "win/com.hpp"
#include "win/extensibility.hpp"

namespace win {

namespace {

constexpr std::string_view kUserRoot = "HKEY_CURRENT_USER\\";

// The registry's Win32 error as a platform error, naming the key.
platform::PlatformError registry_error(LSTATUS status, std::string_view key) {
    auto base = error_from(HRESULT_FROM_WIN32(static_cast<DWORD>(status)));
    return platform::PlatformError(base.number, std::string(base.what()) + " (" + std::string(key) + ")");
}

class Key {
public:
    Key(HKEY root, std::string_view path, bool create) {
        const auto wide = widen(path);
        const LSTATUS status =
            create ? RegCreateKeyExW(root, wide.c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key_, nullptr)
                   : RegOpenKeyExW(root, wide.c_str(), 0, KEY_READ | KEY_WRITE, &key_);
        if (status != ERROR_SUCCESS) {
            key_ = nullptr;
            if (create) throw registry_error(status, path);
        }
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    ~Key() {
        if (key_) RegCloseKey(key_);
    }
    explicit operator bool() const { return key_ != nullptr; }
    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

void write_string(const Key& key, std::string_view path, std::string_view name, std::string_view value) {
    const auto wide_name = widen(name);
    const auto wide = widen(value);
    const auto bytes = static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t));
    const LSTATUS status =
        RegSetValueExW(key.get(), wide_name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(wide.c_str()), bytes);
    if (status != ERROR_SUCCESS) throw registry_error(status, path);
}

void write_dword(const Key& key, std::string_view path, std::string_view name, std::uint32_t value) {
    const auto wide_name = widen(name);
    const DWORD data = value;
    const LSTATUS status =
        RegSetValueExW(key.get(), wide_name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
    if (status != ERROR_SUCCESS) throw registry_error(status, path);
}

// One value the registration writes: root, key, value name ("" the default), data, and whether the
// 32-bit and 64-bit views of the registry share its key (the ProgID and the type library, but for
// the library's own platform key): the DLL of the other bitness, registered too, needs it as well.
struct Entry {
    HKEY root;
    std::string key;
    std::string name;
    std::variant<std::string, std::uint32_t> data;
    bool shared = false;
};

// The add-in list's key below its root, as the core names it.
std::string addin_key() {
    auto key = addin::addin_registry_key();
    key.remove_prefix(kUserRoot.size());
    return std::string(key);
}

// The type library's platform for this DLL's bitness: a 32-bit client loads only a 32-bit server.
constexpr std::string_view kPlatform = sizeof(void*) == 8 ? "win64" : "win32";
constexpr std::string_view kOtherPlatform = sizeof(void*) == 8 ? "win32" : "win64";
// The system's marshaller for dual interfaces described by a type library.
constexpr std::string_view kTypeLibMarshaler = "{00020424-0000-0000-C000-000000000046}";

HKEY root_of(Scope scope) { return scope == Scope::user ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE; }

// The type library's key of this version, below the root.
std::string library_key() {
    return "Software\\Classes\\TypeLib\\" + std::string(kLibIdText) + "\\" + std::to_string(kLibVersionMajor) + "." +
           std::to_string(kLibVersionMinor);
}

std::vector<Entry> entries(std::string_view module_path, Scope scope) {
    const std::string progid(addin::kProgID);
    const std::string clsid(kConnectClsidText);
    const std::string libid(kLibIdText);
    const std::string version = std::to_string(kLibVersionMajor) + "." + std::to_string(kLibVersionMinor);
    const std::string iid = "Interface\\" + std::string(kConnectIidText);
    const HKEY root = root_of(scope);
    const std::string classes = "Software\\Classes\\";
    std::string folder(module_path);
    folder.erase(std::min(folder.size(), folder.find_last_of('\\') + 1));
    const std::string library = library_key();
    std::vector<Entry> out{
        {root, classes + progid, "", progid},
        {root, classes + progid + "\\CLSID", "", clsid},
        {root, classes + "CLSID\\" + clsid, "", progid},
        {root, classes + "CLSID\\" + clsid + "\\ProgID", "", progid},
        {root, classes + "CLSID\\" + clsid + "\\InprocServer32", "", std::string(module_path)},
        {root, classes + "CLSID\\" + clsid + "\\InprocServer32", "ThreadingModel", std::string(kThreadingModel)},
        {root, classes + "CLSID\\" + clsid + "\\TypeLib", "", libid},
        {root, library, "", std::string(addin::kTypeLibraryDescription)},
        {root, library + "\\0\\" + std::string(kPlatform), "", std::string(module_path)},
        {root, library + "\\FLAGS", "", std::string("0")},
        {root, library + "\\HELPDIR", "", folder},
        {root, classes + iid, "", std::string("_Connect")},
        {root, classes + iid + "\\ProxyStubClsid32", "", std::string(kTypeLibMarshaler)},
        {root, classes + iid + "\\TypeLib", "", libid},
        {root, classes + iid + "\\TypeLib", "Version", version},
    };
    for (auto& entry : out) {
        entry.shared = entry.key.starts_with(classes + progid) ||
                       (entry.key.starts_with(library) && !entry.key.ends_with(kPlatform));
    }
    for (const auto& value : addin::addin_registry_values()) {
        if (const auto* text = std::get_if<std::string_view>(&value.data))
            out.push_back({root, addin_key(), std::string(value.name), std::string(*text)});
        else
            out.push_back({root, addin_key(), std::string(value.name), std::get<std::uint32_t>(value.data)});
    }
    return out;
}

bool key_is_empty(const Key& key) {
    DWORD subkeys = 0;
    DWORD values = 0;
    if (RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr, nullptr,
                         nullptr, nullptr) != ERROR_SUCCESS)
        return false;
    return subkeys == 0 && values == 0;
}

}  // namespace

std::optional<std::string> read_user_string(std::string_view key, std::string_view name) {
    HKEY handle = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, widen(key).c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return std::nullopt;
    const auto wide_name = widen(name);
    DWORD type = 0;
    DWORD bytes = 0;
    std::optional<std::string> out;
    if (RegQueryValueExW(handle, wide_name.c_str(), nullptr, &type, nullptr, &bytes) == ERROR_SUCCESS) {
        if (type == REG_SZ || type == REG_EXPAND_SZ) {
            std::wstring text(bytes / sizeof(wchar_t) + 1, L'\0');
            DWORD size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
            if (RegQueryValueExW(handle, wide_name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(text.data()),
                                 &size) == ERROR_SUCCESS) {
                text.resize(size / sizeof(wchar_t));
                while (!text.empty() && text.back() == L'\0') text.pop_back();
                out = narrow(text);
            }
        } else if (type == REG_DWORD) {
            // A number someone stored by hand reads as its decimal text, as a stored text would.
            DWORD value = 0;
            DWORD size = sizeof value;
            if (RegQueryValueExW(handle, wide_name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) ==
                ERROR_SUCCESS)
                out = std::to_string(value);
        }
    }
    RegCloseKey(handle);
    return out;
}

Scope default_scope() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return Scope::user;
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    const bool elevated =
        GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size) && elevation.TokenIsElevated;
    CloseHandle(token);
    return elevated ? Scope::machine : Scope::user;
}

void register_server(std::string_view module_path, Scope scope) {
    try {
        // The type library must be the module's own and readable before anything points at it.
        ComPtr<ITypeLib> library;
        check(LoadTypeLibEx(widen(module_path).c_str(), REGKIND_NONE, library.put()));
        for (const auto& entry : entries(module_path, scope)) {
            const Key key(entry.root, entry.key, true);
            if (const auto* text = std::get_if<std::string>(&entry.data))
                write_string(key, entry.key, entry.name, *text);
            else
                write_dword(key, entry.key, entry.name, std::get<std::uint32_t>(entry.data));
        }
    } catch (const platform::PlatformError&) {
        unregister_server();  // Nothing half-registered stays behind.
        throw;
    }
}

void unregister_server() {
    for (const Scope scope : {Scope::user, Scope::machine}) {
        const auto written = entries("", scope);
        // Where the other bitness's DLL is registered too, what the two share stays for it.
        const bool other_registered =
            static_cast<bool>(Key(root_of(scope), library_key() + "\\0\\" + std::string(kOtherPlatform), false));
        for (auto it = written.rbegin(); it != written.rend(); ++it) {
            if (it->shared && other_registered) continue;
            const Key key(it->root, it->key, false);
            if (key) RegDeleteValueW(key.get(), widen(it->name).c_str());
        }
        // Deepest keys first, so a parent is empty once its children are gone; the type library's
        // and the interface's intermediate keys go the same way.
        const std::string list = addin_key().substr(0, addin_key().find_last_of('\\'));
        const std::string shared[] = {"Software\\Classes", "Software\\Classes\\CLSID", "Software\\Classes\\TypeLib",
                                      "Software\\Classes\\Interface", list};
        std::vector<std::pair<HKEY, std::string>> keys;
        for (const auto& entry : written) {
            for (std::string path = entry.key; std::find(std::begin(shared), std::end(shared), path) == std::end(shared);
                 path.erase(path.find_last_of('\\'))) {
                if (std::find(keys.begin(), keys.end(), std::pair{entry.root, path}) == keys.end())
                    keys.emplace_back(entry.root, path);
            }
        }
        std::sort(keys.begin(), keys.end(),
                  [](const auto& a, const auto& b) { return a.second.size() > b.second.size(); });
        for (const auto& [root, path] : keys) {
            bool empty = false;
            {
                const Key key(root, path, false);
                empty = key && key_is_empty(key);
            }
            if (empty) RegDeleteKeyW(root, widen(path).c_str());
        }
    }
}

std::string RegistrySettings::get_setting(std::string_view app, std::string_view section, std::string_view key,
                                          std::string_view fallback) {
    const std::string path = "Software\\VB and VBA Program Settings\\" + std::string(app) + "\\" + std::string(section);
    return read_user_string(path, key).value_or(std::string(fallback));
}

void RegistrySettings::save_setting(std::string_view app, std::string_view section, std::string_view key,
                                    std::string_view value) {
    const std::string path = "Software\\VB and VBA Program Settings\\" + std::string(app) + "\\" + std::string(section);
    const Key handle(HKEY_CURRENT_USER, path, true);
    write_string(handle, path, key, value);
}

}  // namespace win
