// The module's entry points: they register, unregister and serve the add-in class and hold no
// logic of their own.

#include "win/module.hpp"

#include <olectl.h>
#include <windows.h>

#include "platform/error.hpp"
#include "win/com.hpp"
#include "win/connect_object.hpp"
#include "win/host.hpp"
#include "win/registry.hpp"

extern "C" {

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        win::set_module_instance(module);
        DisableThreadLibraryCalls(module);
    } else if (reason == DLL_PROCESS_DETACH && !reserved) {
        // Unloaded while the process goes on: its window classes must not outlive their procedures.
        win::unregister_window_classes();
    }
    return TRUE;
}

STDAPI DllRegisterServer() {
    wchar_t path[MAX_PATH];
    const DWORD n = GetModuleFileNameW(win::module_instance(), path, MAX_PATH);
    if (n == 0 || n == MAX_PATH) return SELFREG_E_CLASS;
    try {
        win::register_server(win::narrow(path, n), win::default_scope());
    } catch (...) {
        return SELFREG_E_CLASS;
    }
    return S_OK;
}

STDAPI DllUnregisterServer() {
    try {
        win::unregister_server();
    } catch (...) {
        return SELFREG_E_CLASS;
    }
    return S_OK;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!IsEqualCLSID(clsid, win::kConnectClsid)) return CLASS_E_CLASSNOTAVAILABLE;
    return win::get_connect_class_object(iid, out);
}

STDAPI DllCanUnloadNow() { return win::module_in_use() ? S_FALSE : S_OK; }

}  // extern "C"
