// The COM platform's own behaviour, under Wine: errors as the runtime reports them, value
// conversions, event sinks bound and unbound, the registry settings store, and the adapters'
// reading of windows and dates.
#include <olectl.h>
#include <windows.h>

#include <cstdio>
#include <functional>
#include <stdexcept>
#include <string>
#include <thread>
#include <tuple>

#include "fake_com.hpp"
#include "platform/dialogs.hpp"
#include "platform/error.hpp"
#include "win/agent.hpp"
#include "win/events.hpp"
#include "win/extensibility.hpp"
#include "win/host.hpp"
#include "win/outlook.hpp"
#include "win/registry.hpp"

using fake::Args;
using fake::Object;
using win::ComPtr;
using win::Variant;

namespace {

int passed = 0;
int failed = 0;

void check(bool ok, const std::string& what) {
    if (ok) {
        ++passed;
        return;
    }
    ++failed;
    std::printf("FAIL: %s\n", what.c_str());
}

// The platform error a call throws, or none.
std::optional<platform::PlatformError> error_of(const std::function<void()>& call) {
    try {
        call();
    } catch (const platform::PlatformError& e) {
        return e;
    }
    return std::nullopt;
}

void check_error(const std::function<void()>& call, std::int32_t number, const std::string& description,
                 const std::string& what) {
    const auto e = error_of(call);
    check(e && e->number == number && (description.empty() || e->what() == description),
          what + ": " + (e ? std::to_string(e->number) + " " + e->what() : std::string("no error")));
}

win::Dispatch dispatch_of(const ComPtr<Object>& o) { return win::Dispatch(ComPtr<IDispatch>::share(o->dispatch())); }

HRESULT STDAPICALLTYPE fill_in_late(EXCEPINFO* e) {
    e->scode = static_cast<HRESULT>(0x800A0005u);
    e->bstrDescription = SysAllocString(L"Filled in late");
    return S_OK;
}

void errors() {
    auto o = Object::make();
    o->member("Raises429", [](Args&) -> Variant {
        throw fake::Failure{static_cast<HRESULT>(0x800A01ADu), "ActiveX component can't create object"};
    });
    o->member("RaisesHresult", [](Args&) -> Variant { throw fake::Failure{E_FAIL, "The server failed"}; });
    o->member("RaisesSilently", [](Args&) -> Variant { throw fake::Failure{DISP_E_TYPEMISMATCH, ""}; });
    const auto d = dispatch_of(o);
    check_error([&] { d.call("Raises429"); }, 429, "ActiveX component can't create object",
                "an error in the control facility keeps its small number");
    check_error([&] { d.call("RaisesHresult"); }, static_cast<std::int32_t>(E_FAIL), "The server failed",
                "another result is its 32-bit number with the server's description");
    check_error([&] { d.call("RaisesSilently"); }, 13, "Type mismatch", "a known result without a description");
    check_error([&] { d.call("NoSuchMember"); }, 438, "Object doesn't support this property or method",
                "an unknown member");
    check_error([&] { win::Dispatch().call("Anything"); }, 91, "", "a call through no object");

    EXCEPINFO info{};
    info.wCode = 1004;
    info.bstrDescription = win::Bstr("Application-defined").detach();
    const auto e = win::error_from(DISP_E_EXCEPTION, &info);
    check(e.number == 1004 && std::string(e.what()) == "Application-defined", "an exception's own code wins");
    SysFreeString(info.bstrDescription);

    // A server that fills its exception in only when asked: the strings land where the caller frees them.
    EXCEPINFO deferred{};
    deferred.pfnDeferredFillIn = fill_in_late;
    const auto late = win::error_from(DISP_E_EXCEPTION, &deferred);
    check(late.number == 5 && std::string(late.what()) == "Filled in late" && deferred.bstrDescription &&
              !deferred.pfnDeferredFillIn,
          "a deferred fill-in fills the caller's own exception information");
    SysFreeString(deferred.bstrDescription);
}

void conversions() {
    check(Variant(std::string_view("Grüße, Zoë")).to_string() == "Grüße, Zoë", "text survives the wide round trip");
    check(Variant("12").to_int32() == 12, "a numeric text converts to a number");
    check_error([] { (void)Variant("twelve").to_int32(); }, 13, "Type mismatch", "a word is no number");
    check(Variant("True").to_bool() && !Variant("False").to_bool(), "the Boolean words convert");
    check(Variant(true).to_string() == "True", "a Boolean reads as its word");
    check(Variant().to_string().empty() && Variant().to_int32() == 0, "an empty value reads as nothing");
    check(!Variant(static_cast<IDispatch*>(nullptr)).to_object(), "Nothing is no object");

    VARIANT v;
    VariantInit(&v);
    v.vt = VT_DATE;
    v.date = 36956.0 + 12.5 / 24;  // 2001-03-06 12:30
    const auto date = Variant::attach(v).to_date();
    using namespace std::chrono;
    check(date && *date == local_days{year{2001} / March / 6} + hours{12} + minutes{30},
          "a date converts to local time");
    // Before the epoch the day counts back and its time still forward.
    for (const auto& [days, want] : {std::pair{-1.25, local_days{year{1899} / December / 29} + hours{6}},
                                     std::pair{-0.5, local_days{year{1899} / December / 30} + hours{12}},
                                     std::pair{-2.0, local_days{year{1899} / December / 28} + hours{0}}}) {
        v.vt = VT_DATE;
        v.date = days;
        const auto before = Variant::attach(v).to_date();
        check(before && *before == want, "the date " + std::to_string(days) + " converts");
    }
    v.vt = VT_DATE;
    v.date = 949998.0;  // the first of January 4501
    check(!Variant::attach(v).to_date(), "the mail client's date for none is no date");
}

void events() {
    auto source = Object::make();
    source->source(win::events::kItemEvents);
    const auto object = ComPtr<IDispatch>::share(source->dispatch());
    int closes = 0;
    auto sub = win::advise(object, win::events::kItemClose, [&](const win::EventArgs& args) {
        ++closes;
        args.set_bool(0, true);
    });
    VARIANT_BOOL cancel = VARIANT_FALSE;
    VARIANT by_ref;
    VariantInit(&by_ref);
    by_ref.vt = VT_BOOL | VT_BYREF;
    by_ref.pboolVal = &cancel;
    source->raise(win::events::kItemClose, {by_ref});
    check(closes == 1 && cancel == VARIANT_TRUE, "a handler runs and sets Cancel");
    source->raise(win::events::kItemSendEvent, {by_ref});
    check(closes == 1, "another member of the interface does not reach the handler");
    sub.reset();
    check(source->sinks(win::events::kItemEvents) == 0, "dropping the subscription unadvises");
    source->raise(win::events::kItemClose, {by_ref});
    check(closes == 1, "no handler after unbinding");

    // A handler that unbinds itself, then a platform failure escaping a handler: both end quietly.
    platform::Subscription self;
    int calls = 0;
    self = win::advise(object, win::events::kItemClose, [&](const win::EventArgs&) {
        ++calls;
        self.reset();
        throw platform::PlatformError(5, "Invalid procedure call or argument");
    });
    source->raise(win::events::kItemClose, {by_ref});
    source->raise(win::events::kItemClose, {by_ref});
    check(calls == 1 && source->sinks(win::events::kItemEvents) == 0, "a handler unbinding itself during delivery");

    // Nor does any other exception reach the source, which goes on raising to the handler.
    int thrown = 0;
    auto failing = win::advise(object, win::events::kItemClose, [&](const win::EventArgs&) {
        ++thrown;
        throw std::out_of_range("not a platform failure");
    });
    source->raise(win::events::kItemClose, {by_ref});
    source->raise(win::events::kItemClose, {by_ref});
    check(thrown == 2, "an exception of another kind stops in the sink and the process goes on");

    check_error([&] { (void)win::advise(object, win::events::kExplorerClose, [](auto&) {}); },
                static_cast<std::int32_t>(CONNECT_E_NOCONNECTION), "", "a source without that event interface");
}

// A control that describes its class: the event's identifier comes from there, not from the table.
void described_events() {
    ComPtr<ICreateTypeLib2> library;
    ComPtr<ICreateTypeInfo> events;
    ComPtr<ICreateTypeInfo> cls;
    wchar_t file[] = L"described.tlb";
    if (FAILED(CreateTypeLib2(sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32, file, library.put())) ||
        FAILED(library->CreateTypeInfo(const_cast<LPOLESTR>(L"_AgentEvents"), TKIND_DISPATCH, events.put())) ||
        FAILED(library->CreateTypeInfo(const_cast<LPOLESTR>(L"Agent"), TKIND_COCLASS, cls.put()))) {
        check(false, "an in-memory type library");
        return;
    }
    events->SetGuid(win::events::kAgentEvents);
    FUNCDESC func{};
    func.memid = 42;
    func.funckind = FUNC_DISPATCH;
    func.invkind = INVOKE_FUNC;
    func.callconv = CC_STDCALL;
    func.elemdescFunc.tdesc.vt = VT_VOID;
    events->AddFuncDesc(0, &func);
    LPOLESTR names[] = {const_cast<LPOLESTR>(L"RequestComplete")};
    events->SetFuncAndParamNames(0, names, 1);
    events->LayOut();
    const auto events_info = events.query<ITypeInfo>(IID_ITypeInfo);
    HREFTYPE ref = 0;
    cls->AddRefTypeInfo(events_info.get(), &ref);
    cls->AddImplType(0, ref);
    cls->SetImplTypeFlags(0, IMPLTYPEFLAG_FSOURCE | IMPLTYPEFLAG_FDEFAULT);
    cls->LayOut();

    auto control = Object::make();
    control->source(win::events::kAgentEvents).class_info(cls.query<ITypeInfo>(IID_ITypeInfo));
    int completions = 0;
    auto sub = win::advise(ComPtr<IDispatch>::share(control->dispatch()), win::events::kRequestComplete,
                           [&](const win::EventArgs&) { ++completions; });
    control->raise(win::events::kAgentEvents, 42, {});
    check(completions == 1, "the event's identifier is taken from the class's own description");
    control->raise(win::events::kRequestComplete, {});
    check(completions == 1, "the table's identifier is not used when the class tells another");
}

void settings() {
    const std::string key = "Software\\VB and VBA Program Settings\\Dezaror Test\\Settings";
    RegDeleteTreeW(HKEY_CURRENT_USER, win::widen("Software\\VB and VBA Program Settings\\Dezaror Test").c_str());
    win::RegistrySettings store;
    check(store.get_setting("Dezaror Test", "Settings", "AgentLeft", "50") == "50", "an absent key gives the default");
    store.save_setting("Dezaror Test", "Settings", "GreetingLine", "Hello, Zoë|Welcome back");
    check(store.get_setting("Dezaror Test", "Settings", "GreetingLine", "") == "Hello, Zoë|Welcome back",
          "a saved text reads back");
    store.save_setting("Dezaror Test", "Settings", "ExitLine", "");
    check(store.get_setting("Dezaror Test", "Settings", "ExitLine", "x").empty(),
          "an empty text is stored, not absent");

    HKEY k = nullptr;
    RegOpenKeyExW(HKEY_CURRENT_USER, win::widen(key).c_str(), 0, KEY_READ | KEY_WRITE, &k);
    DWORD type = 0;
    RegQueryValueExW(k, L"GreetingLine", nullptr, &type, nullptr, nullptr);
    check(type == REG_SZ, "values are REG_SZ text");
    const DWORD left = 120;
    RegSetValueExW(k, L"AgentLeft", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&left), sizeof left);
    RegCloseKey(k);
    check(store.get_setting("Dezaror Test", "Settings", "AgentLeft", "50") == "120",
          "a number stored by hand reads as text");
    RegDeleteTreeW(HKEY_CURRENT_USER, win::widen("Software\\VB and VBA Program Settings\\Dezaror Test").c_str());
}

void adapters() {
    auto app = Object::make();
    auto inspector = Object::make();
    auto other = Object::make();
    auto item = Object::make();
    auto window = std::make_shared<ComPtr<Object>>(inspector);
    inspector->member("Class", [](Args&) { return Variant(std::int32_t{35}); });
    inspector->member("CurrentItem", [item](Args&) { return Variant(item->dispatch()); });
    other->member("Class", [](Args&) -> Variant { throw fake::Failure{DISP_E_MEMBERNOTFOUND, ""}; });
    item->member("ReceivedTime", [](Args&) {
        VARIANT v;
        VariantInit(&v);
        v.vt = VT_DATE;
        v.date = 949998.0;
        return Variant::attach(v);
    });
    item->member("Subject", [](Args&) { return Variant("Lunch"); });
    app->member("ActiveWindow", [window](Args&) { return Variant((*window)->dispatch()); });
    app->member("ActiveExplorer", [](Args&) { return Variant(static_cast<IDispatch*>(nullptr)); });

    const auto application = win::make_application(ComPtr<IDispatch>::share(app->dispatch()));
    const auto active = application->active_window();
    check(active && active->type_name() == "Inspector", "an inspector is known by its class");
    auto* as_inspector = dynamic_cast<platform::Inspector*>(active.get());
    check(as_inspector && as_inspector->current_item()->subject() == "Lunch", "the active inspector's item");
    check(as_inspector && !as_inspector->current_item()->received_time(), "no date reads as none");
    *window = other;
    const auto unknown = application->active_window();
    check(unknown && unknown->type_name() == "Object", "a window of another kind is neither");
    check(application->active_explorer() == nullptr, "no explorer is nullptr");
    check_error([&] { (void)application->active_inspector(); }, 438, "", "a member the object lacks");
}

void agent_missing() {
    // No character control registered under its ProgID: the runtime's error for a missing component.
    RegDeleteTreeW(HKEY_CLASSES_ROOT, win::widen(win::kAgentControlProgID).c_str());
    win::WinAgentControl control;
    check_error([&] { control.set_connected(true); }, 429, "ActiveX component can't create object",
                "connecting without the character control");
}

// A message box as the user reads it: its title, text and owner; then the user presses OK.
struct SeenBox {
    std::wstring title;
    std::wstring text;
    HWND owner = nullptr;
};

BOOL CALLBACK press_ok(HWND window, LPARAM found) {
    wchar_t cls[32] = {};
    GetClassNameW(window, cls, 32);
    if (std::wstring(cls) != L"#32770" || !IsWindowVisible(window)) return TRUE;
    auto& s = *reinterpret_cast<SeenBox*>(found);
    wchar_t buffer[512] = {};
    GetWindowTextW(window, buffer, 512);
    s.title = buffer;
    GetDlgItemTextW(window, 0xFFFF, buffer, 512);
    s.text = buffer;
    s.owner = GetWindow(window, GW_OWNER);
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    return FALSE;
}

// Timer1 ticks through the thread's message loop, as the mail client's user-interface thread runs it.
void timer_and_panel() {
    win::WinTimer timer(30);
    int ticks = 0;
    auto sub = timer.on_tick([&] { ++ticks; });
    // A handler's exception stops at the timer: the program lives on and the next tick comes.
    bool thrown = false;
    auto throwing = timer.on_tick([&] {
        if (!thrown) {
            thrown = true;
            throw std::runtime_error("not a platform failure");
        }
    });
    const DWORD until = GetTickCount() + 500;
    while (GetTickCount() < until && ticks < 2) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        Sleep(10);
    }
    check(ticks >= 2 && thrown, "the timer ticks on the message loop (" + std::to_string(ticks) + " ticks)");
    sub.reset();
    throwing.reset();
    const int before = ticks;
    for (int i = 0; i < 10; ++i) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        Sleep(10);
    }
    check(ticks == before, "no tick reaches an unbound handler");

    win::WinPanel panel;
    if (const auto e = error_of([&] { panel.show(); })) {
        // Under Wine without a display no visible window can be made; the failure is a platform error.
        std::printf("panel checks skipped: %s\n", e->what());
        return;
    }
    check(panel.window() && IsWindowVisible(panel.window()), "the panel shows");
    wchar_t caption[64] = {};
    GetWindowTextW(panel.window(), caption, 64);
    check(std::wstring(caption) == L"Outlook Dezaror Agent", "the panel's caption");
    SendMessageW(panel.window(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    check(!IsWindowVisible(panel.window()), "OK hides the panel");
    panel.show();
    SendMessageW(panel.window(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    check(!IsWindowVisible(panel.window()), "Cancel hides the panel");
    panel.show();
    SendMessageW(panel.window(), WM_CLOSE, 0, 0);
    check(IsWindow(panel.window()) && !IsWindowVisible(panel.window()), "closing the panel only hides it");

    // A message box is modal: a second thread reads it as the user would and presses OK.
    const auto shown = [](std::string_view text, std::string_view title) {
        SeenBox seen;
        std::thread user([&] {
            for (int i = 0; i < 500 && seen.title.empty(); ++i) {
                Sleep(10);
                EnumWindows(
                    press_ok,
                    reinterpret_cast<LPARAM>(&seen));
            }
        });
        win::WinMessageBoxes boxes;
        boxes.show(text, platform::kCritical, title);
        user.join();
        return std::tuple{win::narrow(seen.title), win::narrow(seen.text), seen.owner};
    };
    // The panel stands in for the mail client's window: active, it owns the box.
    panel.show();
    const auto [title, text, owner] =
        shown("I had a problem loading the Microsoft Agent.\r\n429 Zoë", "Outlook Dezaror Agent");
    check(title == "Outlook Dezaror Agent" && text == "I had a problem loading the Microsoft Agent.\r\n429 Zoë",
          "a message box shows its title and text: \"" + title + "\" \"" + text + "\"");
    check(owner == panel.window(), "a message box is owned by the active window");
    panel.hide();
    const auto untitled = shown("Something failed.", "");
    check(std::get<0>(untitled) == "DezarorAgent", "a message box without a title shows the component's name");
}

// Registration for the current user alone, as a user without administrator rights gets it: all of it
// under the user's own classes and add-in list, nothing machine-wide, and all of it gone again.
void user_registration(const std::string& dll) {
    const std::string classes = "Software\\Classes\\";
    const std::string clsid(win::kConnectClsidText);
    const std::string libid(win::kLibIdText);
    const std::string addin = "Software\\Microsoft\\Office\\Outlook\\Addins\\DezarorAgent.Connect";
    const std::string platform = sizeof(void*) == 8 ? "win64" : "win32";
    const auto machine_has = [](const std::string& key) {
        HKEY k = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, win::widen(key).c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
        RegCloseKey(k);
        return true;
    };
    const auto error = error_of([&] { win::register_server(dll, win::Scope::user); });
    check(!error, "per-user registration: " + std::string(error ? error->what() : "done"));
    check(win::read_user_string(classes + "DezarorAgent.Connect\\CLSID", "") == clsid &&
              win::read_user_string(classes + "CLSID\\" + clsid + "\\InprocServer32", "") == dll &&
              win::read_user_string(classes + "TypeLib\\" + libid + "\\1.1\\0\\" + platform, "") == dll &&
              win::read_user_string(classes + "Interface\\" + std::string(win::kConnectIidText), "") == "_Connect" &&
              win::read_user_string(addin, "LoadBehavior") == "3",
          "per-user registration writes the class, the type library and the add-in entry under the user's key");
    check(!machine_has(classes + "CLSID\\" + clsid) && !machine_has(addin),
          "per-user registration writes nothing machine-wide");
    win::unregister_server();
    for (const auto& key : {classes + "DezarorAgent.Connect", classes + "CLSID\\" + clsid, classes + "TypeLib\\" + libid,
                            classes + "Interface\\" + std::string(win::kConnectIidText), addin})
        check(!win::read_user_string(key, "") && !machine_has(key) &&
                  RegDeleteKeyW(HKEY_CURRENT_USER, win::widen(key).c_str()) == ERROR_FILE_NOT_FOUND,
              key + " is gone after unregistration");
}

}  // namespace

int main(int argc, char** argv) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    errors();
    conversions();
    events();
    described_events();
    settings();
    adapters();
    agent_missing();
    timer_and_panel();
    if (argc > 1) user_registration(argv[1]);
    std::printf("%d passed, %d failed\n", passed, failed);
    CoUninitialize();
    return failed == 0 ? 0 : 1;
}
