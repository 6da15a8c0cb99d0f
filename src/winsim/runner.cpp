// Plays a scenario through DezarorAgent.dll as the mail client loads it: the simulated mail
// client, Office buttons and character control are COM objects, the add-in class is created
// through COM from its registration, and the transcript is the one `dezaror run` prints.
//   dezaror_com SCENARIO|- [--mailbox FILE.json] [--seed N] [--control plain|described] [--dll PATH]
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>

#include "cli/inputs.hpp"
#include "cli/samples.hpp"
#include "cli/session.hpp"
#include "platform/error.hpp"
#include "sim/mailbox.hpp"
#include "win/com.hpp"
#include "win/extensibility.hpp"
#include "winsim/face.hpp"
#include "winsim/hooks.hpp"

namespace {

using win::ComPtr;

// The control's class as this process serves it, under the control's ProgID.
constexpr CLSID kSimAgentClsid = {0x8f3c2a10, 0x6b5e, 0x4c21, {0xb8, 0x7d, 0x1e, 0x55, 0x90, 0x3a, 0xc4, 0x6f}};
constexpr wchar_t kSimAgentClsidText[] = L"{8F3C2A10-6B5E-4C21-B87D-1E55903AC46F}";
constexpr wchar_t kAgentProgId[] = L"Agent.Control.2";
constexpr wchar_t kAddinProgId[] = L"DezarorAgent.Connect";
constexpr wchar_t kSettingsKey[] = L"Software\\VB and VBA Program Settings\\Outlook Dezaror Agent";
constexpr int kUsage = 64;

struct Options {
    std::string scenario;
    std::optional<std::string> mailbox;
    std::uint64_t seed = sim::kDefaultSeed;
    bool described = false;
    std::wstring dll;
};

std::wstring beside_program(const wchar_t* name) {
    wchar_t path[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring dir(path, n);
    return dir.substr(0, dir.find_last_of(L"\\/") + 1) + name;
}

std::optional<Options> parse(int argc, char** argv) {
    Options o;
    o.dll = beside_program(L"DezarorAgent.dll");
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool has_value = i + 1 < argc;
        if (a == "--mailbox" && has_value) {
            o.mailbox = argv[++i];
        } else if (a == "--seed" && has_value) {
            o.seed = std::stoull(argv[++i]);
        } else if (a == "--control" && has_value) {
            const std::string kind = argv[++i];
            if (kind != "plain" && kind != "described") return std::nullopt;
            o.described = kind == "described";
        } else if (a == "--dll" && has_value) {
            o.dll = win::widen(argv[++i]);
        } else if (o.scenario.empty() && (a == "-" || a.front() != '-')) {
            o.scenario = a;
        } else {
            return std::nullopt;
        }
    }
    if (o.scenario.empty()) return std::nullopt;
    return o;
}

// The mailbox file, or the bundled sample; mail folders need the native command.
sim::Mailbox load_mailbox(const std::optional<std::string>& path) {
    std::string text(cli::kSampleMailbox);
    std::string name = "samples/mailbox.json";
    if (path) {
        std::ifstream in(*path, std::ios::binary);
        if (!in) throw cli::InputError(*path, "cannot be opened");
        std::ostringstream all;
        all << in.rdbuf();
        text = all.str();
        name = *path;
    }
    try {
        return sim::load_mailbox(text, name);
    } catch (const sim::MailboxError& e) {
        throw cli::InputError(name, e.place.empty() ? e.problem : e.place + ": " + e.problem, e.line);
    }
}

class ControlFactory final : public IClassFactory {
public:
    ControlFactory(platform::AgentControl& control, ComPtr<ITypeInfo> described)
        : control_(control), described_(std::move(described)) {}
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
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        if (outer) return CLASS_E_NOAGGREGATION;
        return winsim::agent_control_object(control_, described_)->QueryInterface(iid, out);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

private:
    platform::AgentControl& control_;
    ComPtr<ITypeInfo> described_;
};

// The control's class with its event interface, from the type library built beside the runner.
ComPtr<ITypeInfo> control_class_info() {
    ComPtr<ITypeLib> library;
    if (FAILED(LoadTypeLibEx(beside_program(L"sim_agent.tlb").c_str(), REGKIND_NONE, library.put())))
        throw std::runtime_error("sim_agent.tlb cannot be loaded");
    ComPtr<ITypeInfo> info;
    if (FAILED(library->GetTypeInfoOfGuid(kSimAgentClsid, info.put())))
        throw std::runtime_error("sim_agent.tlb has no class of the control");
    return info;
}

// The add-in as the mail client holds it: its IDTExtensibility2, called with the application
// object of the simulated mail client.
class ComAddin final : public platform::Extensibility {
public:
    explicit ComAddin(ComPtr<win::IDTExtensibility2> addin) : addin_(std::move(addin)) {}
    void OnConnection(const std::shared_ptr<platform::Application>& application, std::int32_t mode) override {
        application_ = winsim::application_object(application);
        call([&](SAFEARRAY** custom) { return addin_->OnConnection(application_->dispatch(), mode, nullptr, custom); });
    }
    void OnDisconnection(std::int32_t mode) override {
        call([&](SAFEARRAY** custom) { return addin_->OnDisconnection(mode, custom); });
        application_.reset();
    }
    void OnAddInsUpdate() override {
        call([&](SAFEARRAY** custom) { return addin_->OnAddInsUpdate(custom); });
    }
    void OnStartupComplete() override {
        call([&](SAFEARRAY** custom) { return addin_->OnStartupComplete(custom); });
    }
    void OnBeginShutdown() override {
        call([&](SAFEARRAY** custom) { return addin_->OnBeginShutdown(custom); });
    }

private:
    template <class Call>
    void call(Call&& body) {
        SAFEARRAY* custom = SafeArrayCreateVector(VT_VARIANT, 0, 0);
        const HRESULT hr = body(&custom);
        if (custom) SafeArrayDestroy(custom);
        if (FAILED(hr)) throw win::error_from(hr);
    }

    ComPtr<win::IDTExtensibility2> addin_;
    ComPtr<winsim::Object> application_;
};

using EntryPoint = HRESULT(STDAPICALLTYPE*)();

int play(const Options& o) {
    std::unique_ptr<sim::SimPlatform> sim;
    try {
        sim::SimOptions options;
        options.seed = o.seed;
        sim = std::make_unique<sim::SimPlatform>(load_mailbox(o.mailbox), options);
    } catch (const cli::InputError& e) {
        std::cout << e.report() << std::endl;
        return cli::kUnusable;
    } catch (const sim::UsageError& e) {
        std::cout << "! " << e.what() << std::endl;
        return cli::kUnusable;
    }

    // A run starts from an empty settings store, as `dezaror run` does.
    RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);

    const HMODULE dll = LoadLibraryW(o.dll.c_str());
    if (!dll) throw std::runtime_error("DezarorAgent.dll cannot be loaded");
    const auto register_server =
        reinterpret_cast<EntryPoint>(reinterpret_cast<void*>(GetProcAddress(dll, "DllRegisterServer")));
    if (!register_server || FAILED(register_server())) throw std::runtime_error("DllRegisterServer failed");
    if (!winsim::route_services(dll, *sim)) throw std::runtime_error("the DLL does not import what the runner routes");

    ControlFactory factory(sim->agent(), o.described ? control_class_info() : ComPtr<ITypeInfo>());
    const std::wstring agent_key = std::wstring(kAgentProgId) + L"\\CLSID";
    RegSetKeyValueW(HKEY_CLASSES_ROOT, agent_key.c_str(), nullptr, REG_SZ, kSimAgentClsidText,
                    sizeof kSimAgentClsidText);
    DWORD cookie = 0;
    if (FAILED(CoRegisterClassObject(kSimAgentClsid, &factory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie)))
        throw std::runtime_error("the control's class cannot be registered");

    CLSID clsid{};
    if (FAILED(CLSIDFromProgID(kAddinProgId, &clsid)))
        throw std::runtime_error("DezarorAgent.Connect is not registered");
    ComPtr<win::IDTExtensibility2> created;
    if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, win::kIID_IDTExtensibility2,
                                reinterpret_cast<void**>(created.put()))))
        throw std::runtime_error("DezarorAgent.Connect cannot be created");
    const win::Dispatch connect(created.query<IDispatch>(IID_IDispatch));

    // Timer1 ticks when the simulated clock says so, as the DLL's own timer message.
    auto ticks = sim->timer().on_tick([] {
        if (HWND timer = FindWindowExW(HWND_MESSAGE, nullptr, L"DezarorAgentTimer1", nullptr))
            SendMessageW(timer, WM_TIMER, 1, 0);
    });

    int status = 0;
    {
        ComAddin addin(created);
        // The form lives in the DLL, which describes its fields by name.
        cli::Session session(*sim, std::cout, addin, [&](std::string_view field) -> std::optional<std::string> {
            win::Variant value;
            try {
                value = connect.get("FormField", {win::Variant(std::string(field))});
            } catch (const platform::PlatformError& e) {
                throw sim::UsageError("the add-in's form cannot be inspected: " + platform::error_text(e));
            }
            if (value.type() == VT_EMPTY) throw sim::UsageError("the add-in has no form before \"start\"");
            if (value.type() == VT_NULL) return std::nullopt;
            return value.to_string();
        });
        if (o.scenario == "-") {
            status = session.run(std::cin, "<stdin>");
        } else {
            std::ifstream file(o.scenario);
            if (!file) {
                std::cout << cli::InputError(o.scenario, "cannot be opened").report() << std::endl;
                status = cli::kUnusable;
            } else {
                status = session.run(file, o.scenario);
            }
        }
    }
    std::cout.flush();
    ticks.reset();
    CoRevokeClassObject(cookie);
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    _setmode(_fileno(stdout), _O_BINARY);
    const auto options = parse(argc, argv);
    if (!options) {
        std::cerr << "usage: dezaror_com SCENARIO|- [--mailbox FILE.json] [--seed N] [--control plain|described] "
                     "[--dll PATH]\n";
        return kUsage;
    }
    const win::ComApartment apartment;
    try {
        return play(*options);
    } catch (const std::exception& e) {
        std::cout.flush();
        std::cerr << "dezaror_com: " << e.what() << '\n';
        return 1;
    }
}
