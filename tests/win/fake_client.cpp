// Plays the mail client for DezarorAgent.dll under Wine: creates DezarorAgent.Connect by its
// ProgID, connects it to a fake application, clicks the fake toolbar button twice with a fake
// character control registered under the control's ProgID, and checks that the add-in did what
// the simulator's transcript of the same steps says.
//   fake_client DLL EXPECTED.out
#include <windows.h>

#include <cstdio>
#include <deque>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "fake_com.hpp"
#include "platform/error.hpp"
#include "win/agent.hpp"
#include "win/events.hpp"
#include "win/extensibility.hpp"
#include "win/registry.hpp"

using fake::Args;
using fake::log;
using fake::Object;
using fake::quote;
using win::ComPtr;
using win::Variant;

namespace {

// The fake control's class, registered for this process only; its ProgID is in the prefix.
constexpr CLSID kFakeAgentClsid = {0x1b2c3d4e, 0x5f60, 0x4718, {0x89, 0x9a, 0xab, 0xbc, 0xcd, 0xde, 0xef, 0x01}};
constexpr wchar_t kFakeAgentClsidText[] = L"{1B2C3D4E-5F60-4718-899A-ABBCCDDEEF01}";
const std::string kSettingsKey = "Software\\VB and VBA Program Settings\\Outlook Dezaror Agent\\Settings";

VARIANT object_variant(IDispatch* object) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_DISPATCH;
    v.pdispVal = object;
    return v;
}

Variant nothing() { return Variant(static_cast<IDispatch*>(nullptr)); }

Variant fail_no_such(const char* what) {
    throw fake::Failure{E_INVALIDARG, std::string("The operation failed: ") + what};
}

// A property that records each assignment as `PREFIX NAME VALUE`.
void logged_property(Object& o, const std::string& prefix, const std::string& name, Variant initial = Variant()) {
    auto value = std::make_shared<Variant>(std::move(initial));
    o.member(
        name, [value](Args&) { return *value; },
        [value, prefix, name](const Variant& v) {
            *value = v;
            log(prefix + " " + name + " " + fake::arg_text(v));
        });
}

// The character control: requests queue until the test performs them, and their completion
// comes as the control's RequestComplete event, never inside a call.
struct FakeAgent {
    ComPtr<Object> control = Object::make();
    ComPtr<Object> characters = Object::make();
    ComPtr<Object> character = Object::make();
    ComPtr<Object> commands = Object::make();
    struct Queued {
        int id;
        ComPtr<Object> request;
        std::shared_ptr<int> status;
    };
    std::deque<Queued> queue;
    std::vector<std::pair<std::string, ComPtr<Object>>> command_list;
    int next_request = 0;

    ComPtr<Object> request(const std::string& what) {
        auto r = Object::make();
        const int id = ++next_request;
        auto status = std::make_shared<int>(2);
        r->member("ID", [id](Args&) { return Variant(std::int32_t{id}); });
        r->member("Status", [status](Args&) { return Variant(std::int32_t{*status}); });
        log("agent: " + what + " #" + std::to_string(id));
        queue.push_back({id, r, status});
        return r;
    }

    void perform_all() {
        while (!queue.empty()) {
            auto [id, r, status] = queue.front();
            queue.pop_front();
            *status = 0;  // completed
            log("agent: done #" + std::to_string(id) + " 0");
            control->raise(win::events::kRequestComplete, {object_variant(r->dispatch())});
        }
    }

    FakeAgent() {
        control->source(win::events::kAgentEvents);
        control->member(
            "Connected", [](Args&) { return Variant(false); },
            [](const Variant& v) { log(std::string("agent: connected ") + (v.to_bool() ? "True" : "False")); });
        control->member("Characters", [this](Args&) { return Variant(characters->dispatch()); });

        characters->member("Load", [](Args& a) {
            log("agent: load " + quote(a.at(0).to_string()));
            return Variant();
        });
        characters->member("Unload", [](Args& a) {
            log("agent: unload " + quote(a.at(0).to_string()));
            return Variant();
        });
        characters->member("Character", [this](Args&) { return Variant(character->dispatch()); });

        auto& c = *character.get();
        c.member("Show", [this](Args&) { return Variant(request("show")->dispatch()); });
        c.member("Hide", [this](Args&) { return Variant(request("hide")->dispatch()); });
        c.member("Play",
                 [this](Args& a) { return Variant(request("play " + quote(a.at(0).to_string()))->dispatch()); });
        c.member("Speak",
                 [this](Args& a) { return Variant(request("speak " + quote(a.at(0).to_string()))->dispatch()); });
        c.member("StopAll", [this](Args&) {
            log("agent: stopall");
            queue.clear();  // Nothing is queued whenever this test stops all.
            return Variant();
        });
        c.member("Name", [](Args&) { return Variant("Merlin"); });
        for (const char* p : {"Left", "Top"}) {
            auto value = std::make_shared<std::int32_t>(0);
            const std::string lower = p[0] == 'L' ? "left" : "top";
            c.member(
                p, [value](Args&) { return Variant(*value); },
                [value, lower](const Variant& v) {
                    *value = v.to_int32();
                    log("agent: " + lower + " " + std::to_string(*value));
                });
        }
        c.member("Commands", [this](Args&) { return Variant(commands->dispatch()); });

        for (const char* name : {"Caption", "VoiceCaption", "Voice"}) {
            const std::string n = name;
            commands->member(
                n, [](Args&) { return Variant(""); },
                [n](const Variant& v) { log("agent: commands " + n + " " + quote(v.to_string())); });
        }
        commands->member("Add", [this](Args& a) {
            std::string line = "agent: add " + quote(a.at(0).to_string());
            for (std::size_t i = 1; i < 3; ++i) line += " " + (i < a.size() ? fake::arg_text(a[i]) : "-");
            for (std::size_t i = 3; i < 5; ++i)
                if (i < a.size() && a[i].type() != VT_ERROR) line += " " + fake::arg_text(a[i]);
            log(line);
            auto command = Object::make();
            const std::string name = a.at(0).to_string();
            for (const char* sw : {"Enabled", "Visible"}) {
                const std::string s = sw;
                command->member(
                    s, [](Args&) { return Variant(true); },
                    [name, s](const Variant& v) {
                        log("agent: command " + quote(name) + " " + s + " " + fake::arg_text(v));
                    });
            }
            command_list.emplace_back(name, command);
            return Variant(command->dispatch());
        });
        commands->member("Command", [this](Args& a) {
            for (auto& [name, command] : command_list)
                if (name == a.at(0).to_string()) return Variant(command->dispatch());
            return fail_no_such("no such command");
        });
    }
};

FakeAgent* the_agent = nullptr;

class AgentFactory final : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
            *out = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID iid, void** out) override {
        return the_agent->control->QueryInterface(iid, out);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

// The mail client: one explorer on an empty Inbox, with the two command bars the add-in uses.
struct FakeOutlook {
    ComPtr<Object> app = Object::make();
    ComPtr<Object> ns = Object::make();
    ComPtr<Object> user = Object::make();
    ComPtr<Object> folders = Object::make();
    ComPtr<Object> inbox = Object::make();
    ComPtr<Object> items = Object::make();
    ComPtr<Object> explorer = Object::make();
    ComPtr<Object> explorers = Object::make();
    ComPtr<Object> selection = Object::make();
    ComPtr<Object> bars = Object::make();
    std::vector<std::pair<std::string, ComPtr<Object>>> bar_list;
    std::vector<ComPtr<Object>> buttons;  // in the order added

    ComPtr<Object> make_bar(const std::string& name, const std::string& kind) {
        auto bar = Object::make();
        auto controls = Object::make();
        bar->member("Controls", [controls](Args&) { return Variant(controls->dispatch()); });
        controls->member("Item", [](Args&) { return fail_no_such("no control with that key"); });
        controls->member("Add", [this, name, kind](Args&) {
            log("office: add " + kind + " " + quote(name));
            auto button = Object::make();
            button->source(win::events::kButtonEvents);
            for (const char* p : {"Caption", "BeginGroup", "Style", "State", "TooltipText"})
                logged_property(*button.get(), "office: " + kind, p);
            button->member("Left", [](Args&) { return Variant(std::int32_t{10}); });
            button->member("Top", [](Args&) { return Variant(std::int32_t{20}); });
            buttons.push_back(button);
            return Variant(button->dispatch());
        });
        bar_list.emplace_back(name, bar);
        return bar;
    }

    FakeOutlook() {
        app->source(win::events::kApplicationEvents);
        app->member("GetNamespace", [this](Args&) { return Variant(ns->dispatch()); });
        app->member("ActiveExplorer", [this](Args&) { return Variant(explorer->dispatch()); });
        app->member("ActiveInspector", [](Args&) { return nothing(); });
        app->member("ActiveWindow", [this](Args&) { return Variant(explorer->dispatch()); });
        app->member("Explorers", [this](Args&) { return Variant(explorers->dispatch()); });
        explorers->member("Count", [](Args&) { return Variant(std::int32_t{1}); });

        ns->member("Folders", [this](Args&) { return Variant(folders->dispatch()); });
        ns->member("CurrentUser", [this](Args&) { return Variant(user->dispatch()); });
        ns->member("GetDefaultFolder", [this](Args&) { return Variant(inbox->dispatch()); });
        user->member("Name", [](Args&) { return Variant("Ada Lovelace"); });

        folders->source(win::events::kFoldersEvents);
        folders->member("Count", [](Args&) { return Variant(std::int32_t{1}); });
        inbox->member("Name", [](Args&) { return Variant("Inbox"); });
        inbox->member("Items", [this](Args&) { return Variant(items->dispatch()); });
        inbox->member("UnReadItemCount", [](Args&) { return Variant(std::int32_t{0}); });
        items->source(win::events::kItemsEvents);
        items->member("Count", [](Args&) { return Variant(std::int32_t{0}); });
        for (const char* walk : {"GetFirst", "GetNext", "GetPrevious", "GetLast"})
            items->member(walk, [](Args&) { return nothing(); });

        explorer->source(win::events::kExplorerEvents);
        explorer->member("Class", [](Args&) { return Variant(std::int32_t{34}); });
        explorer->member("CommandBars", [this](Args&) { return Variant(bars->dispatch()); });
        explorer->member("CurrentFolder", [this](Args&) { return Variant(inbox->dispatch()); });
        explorer->member("Selection", [this](Args&) { return Variant(selection->dispatch()); });
        explorer->member("CurrentView", [](Args&) { return Variant("Messages"); });
        selection->member("Count", [](Args&) { return Variant(std::int32_t{0}); });

        make_bar("Advanced", "button");
        make_bar("Tools", "menu");
        make_bar("Menu Bar", "menu");
        bars->member("Item", [this](Args& a) {
            for (auto& [name, bar] : bar_list)
                if (name == a.at(0).to_string()) return Variant(bar->dispatch());
            return fail_no_such("no such bar");
        });
    }

    void click(std::size_t button) {
        VARIANT_BOOL cancel = VARIANT_FALSE;
        VARIANT by_ref;
        VariantInit(&by_ref);
        by_ref.vt = VT_BOOL | VT_BYREF;
        by_ref.pboolVal = &cancel;
        buttons.at(button)->raise(win::events::kClick, {object_variant(buttons.at(button)->dispatch()), by_ref});
    }
};

void write_string(HKEY root, const std::string& key, const std::string& name, const std::string& value) {
    HKEY k = nullptr;
    RegCreateKeyExW(root, win::widen(key).c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr);
    const auto wide = win::widen(value);
    RegSetValueExW(k, win::widen(name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(wide.c_str()),
                   static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(k);
}

using EntryPoint = HRESULT(STDAPICALLTYPE*)();

// A dual interface's type information is its dispatch side; the slots are on its interface side.
bool vtable_side(ComPtr<ITypeInfo>& info) {
    HREFTYPE interface_side = 0;
    ComPtr<ITypeInfo> side;
    if (FAILED(info->GetRefTypeOfImplType(-1, &interface_side)) ||
        FAILED(info->GetRefTypeInfo(interface_side, side.put())))
        return false;
    info = side;
    return true;
}

int failures = 0;
void check(bool ok, const std::string& what) {
    if (!ok) {
        std::printf("FAIL: %s\n", what.c_str());
        ++failures;
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: fake_client DLL EXPECTED.out\n");
        return 2;
    }
    // The expected transcript: the simulator's, from `start` up to the inspection at its end.
    std::vector<std::string> expected;
    std::vector<std::pair<std::string, std::string>> saved;
    {
        // A line "@include FILE" stands for the lines of FILE, beside the expected transcript.
        std::vector<std::string> lines;
        std::ifstream in(argv[2]);
        for (std::string line; std::getline(in, line);) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (!line.starts_with("@include ")) {
                lines.push_back(line);
                continue;
            }
            std::ifstream block(std::string(argv[2]).substr(0, std::string(argv[2]).find_last_of("/\\") + 1) +
                                line.substr(9));
            check(static_cast<bool>(block), "the shared block " + line.substr(9) + " cannot be read");
            for (std::string shared; std::getline(block, shared);) {
                if (!shared.empty() && shared.back() == '\r') shared.pop_back();
                lines.push_back(shared);
            }
        }
        bool on = false;
        for (const auto& line : lines) {
            if (line == "> start") on = true;
            if (line.starts_with("> show")) on = false;
            if (!on) continue;
            // The registry store writes no transcript: what it saved is checked in the registry below.
            if (line.starts_with("settings: ")) {
                const auto rest = line.substr(10);
                const auto blank = rest.find(' ');
                saved.emplace_back(rest.substr(0, blank), rest.substr(blank + 1));
                continue;
            }
            expected.push_back(line);
        }
    }
    check(!expected.empty(), std::string("no transcript in ") + argv[2]);

    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const HMODULE dll = LoadLibraryW(win::widen(argv[1]).c_str());
    if (!dll) {
        std::printf("FAIL: cannot load %s\n", argv[1]);
        return 1;
    }
    const auto register_server =
        reinterpret_cast<EntryPoint>(reinterpret_cast<void*>(GetProcAddress(dll, "DllRegisterServer")));
    const auto unregister_server =
        reinterpret_cast<EntryPoint>(reinterpret_cast<void*>(GetProcAddress(dll, "DllUnregisterServer")));
    check(register_server && register_server() == S_OK, "DllRegisterServer");

    // The fake character control, under the real control's ProgID.
    FakeAgent agent;
    the_agent = &agent;
    AgentFactory factory;
    DWORD agent_cookie = 0;
    const std::string agent_key = std::string(win::kAgentControlProgID) + "\\CLSID";
    write_string(HKEY_CLASSES_ROOT, agent_key, "", win::narrow(kFakeAgentClsidText, wcslen(kFakeAgentClsidText)));
    check(SUCCEEDED(CoRegisterClassObject(kFakeAgentClsid, &factory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE,
                                          &agent_cookie)),
          "CoRegisterClassObject");

    // The settings as the scenario has them: only the introduction switched off.
    RegDeleteTreeW(HKEY_CURRENT_USER, win::widen(kSettingsKey).c_str());
    write_string(HKEY_CURRENT_USER, kSettingsKey, "PlayIntro", "False");

    FakeOutlook outlook;
    CLSID clsid{};
    check(SUCCEEDED(CLSIDFromProgID(L"DezarorAgent.Connect", &clsid)), "CLSIDFromProgID(DezarorAgent.Connect)");
    ComPtr<win::IDTExtensibility2> addin;
    const HRESULT created = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, win::kIID_IDTExtensibility2,
                                             reinterpret_cast<void**>(addin.put()));
    check(SUCCEEDED(created) && addin, "CoCreateInstance(DezarorAgent.Connect)");
    // A connection whose application or namespace cannot be had fails, and the mail client hears why.
    {
        ComPtr<IDispatch> refused;
        CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, reinterpret_cast<void**>(refused.put()));
        const win::Dispatch by_name(refused);
        const auto nothing_given = [&] {
            by_name.call("OnConnection", {nothing(), std::int32_t{1}, nothing(), Variant()});
        };
        try {
            nothing_given();
            check(false, "OnConnection without an application succeeded");
        } catch (const platform::PlatformError& e) {
            check(e.number == 91 && std::string(e.what()) == "Object variable or With block variable not set",
                  "OnConnection without an application: " + std::to_string(e.number) + " " + e.what());
        }
        auto no_namespace = Object::make();
        no_namespace->member("GetNamespace", [](Args&) -> Variant {
            throw fake::Failure{static_cast<HRESULT>(0x800A01ADu), "ActiveX component can't create object"};
        });
        no_namespace->source(win::events::kApplicationEvents);
        auto vtable = refused.query<win::IDTExtensibility2>(win::kIID_IDTExtensibility2);
        const HRESULT hr = vtable ? vtable->OnConnection(no_namespace->dispatch(), 1, nullptr, nullptr) : E_NOINTERFACE;
        check(hr == static_cast<HRESULT>(0x800A01ADu), "OnConnection without a namespace gives its failure back");
        ComPtr<IErrorInfo> why;
        BSTR description = nullptr;
        const auto supports = refused.query<ISupportErrorInfo>(IID_ISupportErrorInfo);
        check(supports && supports->InterfaceSupportsErrorInfo(win::kIID_IDTExtensibility2) == S_OK &&
                  GetErrorInfo(0, why.put()) == S_OK && why && SUCCEEDED(why->GetDescription(&description)) &&
                  win::narrow(description) == "ActiveX component can't create object",
              "the failure's description is in the error object");
        SysFreeString(description);
        check(fake::transcript().empty(), "a failed connection adds no controls");
    }

    // References to the application held by anyone else, as COM counts them.
    const auto app_refs = [&] {
        outlook.app->AddRef();
        return outlook.app->Release();
    };
    const ULONG refs_before = app_refs();
    if (addin) {
        log("> start");
        check(addin->OnConnection(outlook.app->dispatch(), 1, nullptr, nullptr) == S_OK, "OnConnection");
        // The dual interface: the same operations by name, and the class's two properties.
        const win::Dispatch by_name(ComPtr<IDispatch>::share(addin.get()));
        check(by_name.call("OnStartupComplete", {Variant()}).type() == VT_EMPTY, "OnStartupComplete by name");
        check(by_name.get_object("oConApp").get() == outlook.app->dispatch(), "oConApp is the application");
        check(by_name.get_object("oConNS").get() == outlook.ns->dispatch(), "oConNS is the MAPI namespace");
        // _Connect through its slots, as the type library lays them out.
        ComPtr<win::ConnectInterface> dual = addin.query<win::ConnectInterface>(win::kIID_Connect);
        IDispatch* held = nullptr;
        check(dual && dual->get_oConApp(&held) == S_OK && held == outlook.app->dispatch(), "_Connect's get oConApp");
        if (held) held->Release();
        ComPtr<ITypeLib> library;
        ComPtr<ITypeInfo> info;
        FUNCDESC* first = nullptr;
        if (SUCCEEDED(LoadRegTypeLib(win::kLibId, win::kLibVersionMajor, win::kLibVersionMinor, 0, library.put())) &&
            SUCCEEDED(library->GetTypeInfoOfGuid(win::kIID_Connect, info.put())) && vtable_side(info) &&
            SUCCEEDED(info->GetFuncDesc(0, &first))) {
            check(first->oVft == 7 * sizeof(void*) && first->invkind == INVOKE_PROPERTYGET && first->memid == 6,
                  "the type library puts get oConApp in the slot after IDispatch's: " + std::to_string(first->oVft) +
                      " " + std::to_string(first->invkind) + " " + std::to_string(first->memid));
            info->ReleaseFuncDesc(first);
            BSTR doc = nullptr;
            library->GetDocumentation(-1, nullptr, &doc, nullptr, nullptr);
            check(win::narrow(doc) == "OutLook Dezaror Agent", "the type library's description");
            SysFreeString(doc);
        } else {
            check(false, "the registered type library describes _Connect");
        }

        log("> click button");
        outlook.click(0);
        log("> done");
        agent.perform_all();
        // The started character follows the application, its folders and the explorer; the folder's items
        // are held without handlers.
        const auto bound = [&] {
            return std::vector<int>{outlook.app->sinks(win::events::kApplicationEvents),
                                    outlook.folders->sinks(win::events::kFoldersEvents),
                                    outlook.explorer->sinks(win::events::kExplorerEvents),
                                    outlook.items->sinks(win::events::kItemsEvents)};
        };
        const auto running = bound();
        check(running[0] > 1 && running[1] > 0 && running[2] > 0 && running[3] == 0,
              "the started character's events are bound: " + std::to_string(running[0]) + " " +
                  std::to_string(running[1]) + " " + std::to_string(running[2]) + " " + std::to_string(running[3]));
        log("> click button");
        outlook.click(0);
        log("> done");
        agent.perform_all();

        // Taken down, the character lets go of every object: only the connection's Quit and its explorer's
        // Close stay bound, and an event of an object it held reaches nothing.
        check(bound() == std::vector<int>{1, 0, 1, 0}, "the character's events are unbound when it is taken down");
        const auto lines = fake::transcript().size();
        outlook.explorer->raise(win::events::kExplorerClose, {});
        outlook.app->raise(win::events::kNewMail, {});
        check(fake::transcript().size() == lines, "events after the character left do nothing");
        // The last explorer closed: the add-in holds nothing of the mail client's, before any shutdown call.
        check(app_refs() == refs_before && outlook.app->sinks(win::events::kApplicationEvents) == 0,
              "the application is released when its last explorer closes: " + std::to_string(app_refs()) +
                  " references, " + std::to_string(refs_before) + " before the connection");
        check(!by_name.get_object("oConApp") && !by_name.get_object("oConNS"),
              "closing the last explorer releases oConApp and oConNS");

        check(addin->OnBeginShutdown(nullptr) == S_OK, "OnBeginShutdown");
        check(outlook.app->sinks(win::events::kApplicationEvents) == 0,
              "the application's events are still bound after shutdown");
        check(!by_name.get_object("oConApp") && !by_name.get_object("oConNS"), "shutdown releases oConApp and oConNS");
        check(outlook.buttons.size() == 2 && outlook.buttons[0]->sinks(win::events::kButtonEvents) == 1,
              "the button's Click stays bound after shutdown, as the controls stay");
        addin.reset();
    }

    const auto& got = fake::transcript();
    for (std::size_t i = 0; i < std::max(got.size(), expected.size()); ++i) {
        const std::string g = i < got.size() ? got[i] : "(nothing)";
        const std::string e = i < expected.size() ? expected[i] : "(nothing)";
        if (g != e) {
            std::printf("FAIL: transcript line %zu is\n  %s\nnot\n  %s\n", i + 1, g.c_str(), e.c_str());
            ++failures;
            break;
        }
    }
    for (const auto& [key, value] : saved) {
        const auto stored = win::read_user_string(kSettingsKey, key);
        check(stored && quote(*stored) == value,
              "setting " + key + " is " + (stored ? quote(*stored) : "absent") + ", not " + value);
    }

    CoRevokeClassObject(agent_cookie);
    RegDeleteTreeW(HKEY_CLASSES_ROOT, win::widen(win::kAgentControlProgID).c_str());
    check(unregister_server && unregister_server() == S_OK, "DllUnregisterServer");
    // Unloaded, the DLL leaves no window class of its own behind.
    CoFreeUnusedLibrariesEx(0, 0);
    FreeLibrary(dll);
    WNDCLASSEXW timer_class{};
    timer_class.cbSize = sizeof timer_class;
    check(!GetModuleHandleW(L"DezarorAgent.dll") && !GetClassInfoExW(dll, L"DezarorAgentTimer1", &timer_class),
          "the unloaded DLL's window classes are unregistered");
    std::printf("%zu transcript lines compared; %d failed\n", got.size(), failures);
    return failures == 0 ? 0 : 1;
}
