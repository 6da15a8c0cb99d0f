#pragma once

// The Office add-in host interface: a dual interface whose dispatch identifiers are 1 to 5.

#include <oaidl.h>
#include <windows.h>

#include <string_view>

namespace win {

inline constexpr IID kIID_IDTExtensibility2 = {
    0xB65AD801, 0xABAF, 0x11D0, {0xBB, 0x8B, 0x00, 0xA0, 0xC9, 0x0F, 0x27, 0x44}};

// The argument types are the interface's enumerations, which travel as 32-bit integers.
struct IDTExtensibility2 : public IDispatch {
    virtual HRESULT STDMETHODCALLTYPE OnConnection(IDispatch* application, LONG connect_mode, IDispatch* add_in_inst,
                                                   SAFEARRAY** custom) = 0;
    virtual HRESULT STDMETHODCALLTYPE OnDisconnection(LONG remove_mode, SAFEARRAY** custom) = 0;
    virtual HRESULT STDMETHODCALLTYPE OnAddInsUpdate(SAFEARRAY** custom) = 0;
    virtual HRESULT STDMETHODCALLTYPE OnStartupComplete(SAFEARRAY** custom) = 0;
    virtual HRESULT STDMETHODCALLTYPE OnBeginShutdown(SAFEARRAY** custom) = 0;
};

// The type library of the module (DezarorAgent.idl) and its interface _Connect.
inline constexpr GUID kLibId = {0x32C13A5F, 0xF391, 0x4FDB, {0xA5, 0x4E, 0xE0, 0x14, 0x18, 0xD6, 0x50, 0xC0}};
inline constexpr std::string_view kLibIdText = "{32C13A5F-F391-4FDB-A54E-E01418D650C0}";
inline constexpr WORD kLibVersionMajor = 1;
inline constexpr WORD kLibVersionMinor = 1;
inline constexpr IID kIID_Connect = {0x35D981EC, 0xBA68, 0x40A5, {0x9F, 0x62, 0xD4, 0xA5, 0x1E, 0xA6, 0x01, 0xD5}};
inline constexpr std::string_view kConnectIidText = "{35D981EC-BA68-40A5-9F62-D4A51EA601D5}";

// _Connect, the class's own dual interface: its two object properties in this order of slots.
struct ConnectInterface : public IDispatch {
    virtual HRESULT STDMETHODCALLTYPE get_oConApp(IDispatch** value) = 0;
    virtual HRESULT STDMETHODCALLTYPE putref_oConApp(IDispatch* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_oConNS(IDispatch** value) = 0;
    virtual HRESULT STDMETHODCALLTYPE putref_oConNS(IDispatch* value) = 0;
};

enum ExtensibilityDispid : DISPID {
    kDispOnConnection = 1,
    kDispOnDisconnection = 2,
    kDispOnAddInsUpdate = 3,
    kDispOnStartupComplete = 4,
    kDispOnBeginShutdown = 5,
};

}  // namespace win
