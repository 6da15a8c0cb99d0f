#include "winsim/hooks.hpp"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "platform/error.hpp"
#include "win/com.hpp"

namespace winsim {

namespace {

sim::SimPlatform* the_sim = nullptr;

template <class F>
void* as_pointer(F f) {
    return reinterpret_cast<void*>(f);
}

decltype(&ShowWindow) real_show_window = nullptr;
decltype(&RegSetValueExW) real_reg_set_value = nullptr;

void WINAPI local_time(LPSYSTEMTIME out) {
    using namespace std::chrono;
    const auto now = the_sim->clock().now();
    const auto day = floor<days>(now);
    const year_month_day date{day};
    const hh_mm_ss time{now - day};
    *out = SYSTEMTIME{};
    out->wYear = static_cast<WORD>(static_cast<int>(date.year()));
    out->wMonth = static_cast<WORD>(static_cast<unsigned>(date.month()));
    out->wDay = static_cast<WORD>(static_cast<unsigned>(date.day()));
    out->wDayOfWeek = static_cast<WORD>(weekday{day}.c_encoding());
    out->wHour = static_cast<WORD>(time.hours().count());
    out->wMinute = static_cast<WORD>(time.minutes().count());
    out->wSecond = static_cast<WORD>(time.seconds().count());
}

// The box's kind without the flags that only place it on the screen.
int WINAPI message_box(HWND, LPCWSTR text, LPCWSTR title, UINT type) {
    const UINT placement = MB_SETFOREGROUND | MB_TOPMOST | MB_TASKMODAL | MB_SYSTEMMODAL;
    try {
        the_sim->message_boxes().show(win::narrow(text, wcslen(text)), static_cast<std::int32_t>(type & ~placement),
                                      title ? win::narrow(title, wcslen(title)) : std::string());
    } catch (const platform::PlatformError&) {
        SetLastError(ERROR_ACCESS_DENIED);
        return 0;
    }
    return IDOK;
}

BOOL WINAPI show_window(HWND window, int command) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    if (wcscmp(name, L"DezarorAgentPanel") == 0) {
        try {
            if (command == SW_HIDE) {
                the_sim->panel().hide();
            } else {
                the_sim->panel().show();
            }
        } catch (const platform::PlatformError&) {
        }
    }
    return real_show_window(window, command);
}

// Every text the add-in writes to the registry while it runs is a setting.
LSTATUS WINAPI set_value(HKEY key, LPCWSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD size) {
    const LSTATUS status = real_reg_set_value(key, name, reserved, type, data, size);
    if (status == ERROR_SUCCESS && type == REG_SZ && name && data) {
        const auto* text = reinterpret_cast<const wchar_t*>(data);
        std::size_t length = size / sizeof(wchar_t);
        while (length > 0 && text[length - 1] == L'\0') --length;
        const auto key = win::narrow(name, wcslen(name));
        note_setting(key);
        the_sim->transcript().add("settings", key + " " + platform::quote(win::narrow(text, length)));
    }
    return status;
}

// Replaces the import `function` of `dll` (from any module) and gives the original.
void* patch_import(HMODULE dll, const char* function, void* replacement) {
    auto* base = reinterpret_cast<BYTE*>(dll);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const auto& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (directory.VirtualAddress == 0) return nullptr;
    for (auto* d = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress); d->Name; ++d) {
        auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(
            base + (d->OriginalFirstThunk ? d->OriginalFirstThunk : d->FirstThunk));
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            const auto* by_name = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(by_name->Name), function) != 0) continue;
            DWORD old = 0;
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE, &old);
            void* original = reinterpret_cast<void*>(slots->u1.Function);
            slots->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, old, &old);
            return original;
        }
    }
    return nullptr;
}

std::vector<std::string> setting_order;

// The runtime's random source of the DLL, answered by the simulator's seeded one. Its functions
// are reached through its class's table of virtual functions, found by name in the DLL's symbol
// table: no import leads to them. The stand-ins are member functions, so that they are called as
// the originals are (on i686, with the object in ECX).
struct RandomStandIn {
    void randomize() {
        try {
            the_sim->random().randomize();
        } catch (const platform::PlatformError&) {
            // A fault here cannot cross into the DLL's own runtime: the generator keeps its seed.
        }
    }
    double next() {
        try {
            return the_sim->random().next();
        } catch (const platform::PlatformError&) {
            return 0.0;
        }
    }
};

// The code address of a non-virtual member function: the first word of its pointer.
template <class F>
void* code_of(F member) {
    void* code = nullptr;
    std::memcpy(&code, &member, sizeof code);
    return code;
}

// The addresses of the named symbols of the loaded `dll`, from the COFF symbol table of its file.
std::map<std::string, void*> symbols_of(HMODULE dll, const std::vector<std::string>& wanted) {
    std::map<std::string, void*> found;
    wchar_t path[MAX_PATH];
    const DWORD n = GetModuleFileNameW(dll, path, MAX_PATH);
    std::ifstream in(std::filesystem::path(std::wstring(path, n)), std::ios::binary);
    std::vector<char> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto* base = reinterpret_cast<BYTE*>(dll);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const auto& header = nt->FileHeader;
    const std::size_t table = header.PointerToSymbolTable;
    const std::size_t count = header.NumberOfSymbols;
    if (table == 0 || table + count * IMAGE_SIZEOF_SYMBOL > file.size()) return found;
    const char* strings = file.data() + table + count * IMAGE_SIZEOF_SYMBOL;
    const auto* sections = IMAGE_FIRST_SECTION(nt);
    for (std::size_t i = 0; i < count; ++i) {
        IMAGE_SYMBOL symbol;
        std::memcpy(&symbol, file.data() + table + i * IMAGE_SIZEOF_SYMBOL, sizeof symbol);
        const std::size_t aux = symbol.NumberOfAuxSymbols;
        std::string name = symbol.N.Name.Short
                               ? std::string(reinterpret_cast<const char*>(symbol.N.ShortName),
                                             strnlen(reinterpret_cast<const char*>(symbol.N.ShortName), 8))
                               : std::string(strings + symbol.N.Name.Long);
        if (!name.empty() && name.front() == '_' && name.size() > 1 && name[1] == '_') name.erase(0, 1);  // i686
        i += aux;
        if (symbol.SectionNumber <= 0 || symbol.SectionNumber > header.NumberOfSections) continue;
        for (const auto& w : wanted)
            if (name == w) found[w] = base + sections[symbol.SectionNumber - 1].VirtualAddress + symbol.Value;
    }
    return found;
}

bool route_random(HMODULE dll) {
    const std::string table = "_ZTVN3win9WinRandomE";
    const std::string seed = "_ZN3win9WinRandom9randomizeEv";
    const std::string next = "_ZN3win9WinRandom4nextEv";
    auto found = symbols_of(dll, {table, seed, next});
    if (found.size() != 3) return false;
    // offset to top, type information, the two destructors, then randomize and next.
    auto** slots = static_cast<void**>(found[table]) + 4;
    if (slots[0] != found[seed] || slots[1] != found[next]) return false;
    DWORD old = 0;
    VirtualProtect(slots, 2 * sizeof(void*), PAGE_READWRITE, &old);
    slots[0] = code_of(&RandomStandIn::randomize);
    slots[1] = code_of(&RandomStandIn::next);
    VirtualProtect(slots, 2 * sizeof(void*), old, &old);
    return true;
}

}  // namespace

void note_setting(const std::string& name) {
    for (const auto& known : setting_order)
        if (_stricmp(known.c_str(), name.c_str()) == 0) return;
    setting_order.push_back(name);
}

const std::vector<std::string>& settings_in_order() { return setting_order; }

bool route_services(HMODULE dll, sim::SimPlatform& sim) {
    the_sim = &sim;
    const bool clock = patch_import(dll, "GetLocalTime", as_pointer(&local_time)) != nullptr;
    const bool boxes = patch_import(dll, "MessageBoxW", as_pointer(&message_box)) != nullptr;
    real_show_window =
        reinterpret_cast<decltype(&ShowWindow)>(patch_import(dll, "ShowWindow", as_pointer(&show_window)));
    real_reg_set_value =
        reinterpret_cast<decltype(&RegSetValueExW)>(patch_import(dll, "RegSetValueExW", as_pointer(&set_value)));
    return clock && boxes && real_show_window && real_reg_set_value && route_random(dll);
}

}  // namespace winsim
