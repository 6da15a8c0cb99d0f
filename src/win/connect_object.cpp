#include "win/connect_object.hpp"

#include <atomic>
#include <exception>
#include <memory>
#include <new>
#include <string_view>

#include "addin/connect.hpp"
#include "character/state.hpp"
#include "platform/failure.hpp"
#include "win/com.hpp"
#include "win/events.hpp"
#include "win/extensibility.hpp"
#include "win/host.hpp"
#include "win/module.hpp"
#include "win/outlook.hpp"

namespace win {

namespace {

// A platform error as the HRESULT and error object the caller reads: the runtime's small numbers
// travel in the control facility, as the runtime's own servers raise them.
HRESULT report(const platform::PlatformError& e) {
    const auto number = static_cast<std::uint32_t>(e.number);
    const HRESULT hr =
        (number & 0xFFFF0000u) == 0 ? static_cast<HRESULT>(0x800A0000u | number) : static_cast<HRESULT>(number);
    ComPtr<ICreateErrorInfo> create;
    if (SUCCEEDED(CreateErrorInfo(create.put()))) {
        create->SetDescription(const_cast<LPOLESTR>(widen(e.what()).c_str()));
        create->SetSource(const_cast<LPOLESTR>(L"DezarorAgent.Connect"));
        if (auto info = create.query<IErrorInfo>(IID_IErrorInfo)) SetErrorInfo(0, info.get());
    }
    return hr;
}

// Runs one call of the mail client's: a failure becomes an error result, never an exception
// crossing into the mail client's process.
template <class Body>
HRESULT guarded(Body&& body) noexcept {
    try {
        body();
        return S_OK;
    } catch (const platform::PlatformError& e) {
        return report(e);
    } catch (const std::exception& e) {
        return report(platform::PlatformError(static_cast<std::int32_t>(E_UNEXPECTED), e.what()));
    } catch (...) {
        return report(platform::PlatformError(static_cast<std::int32_t>(E_UNEXPECTED), "Catastrophic failure"));
    }
}

constexpr std::wstring_view kNames[] = {L"OnConnection", L"OnDisconnection", L"OnAddInsUpdate", L"OnStartupComplete",
                                        L"OnBeginShutdown"};
// The properties of the class's own interface, after the five operations.
constexpr DISPID kDispConApp = 6;
constexpr DISPID kDispConNS = 7;
constexpr std::wstring_view kPropertyNames[] = {L"oConApp", L"oConNS"};
// A read-only look at a field of the add-in's form by its name, as text (the form's state for
// inspection by a test client); outside the type library.
constexpr DISPID kDispFormField = 0x7FFF0001;
constexpr std::wstring_view kFormFieldName = L"FormField";

// The add-in class: the core's Connect over the Windows platform, exposed as IDTExtensibility2 and
// its own dual interface _Connect. One IDispatch serves both, by name.
class ConnectObject final : public IDTExtensibility2, public ConnectInterface, public ISupportErrorInfo {
public:
    ConnectObject() : connect_(host_) { module_lock(); }
    ConnectObject(const ConnectObject&) = delete;
    ConnectObject& operator=(const ConnectObject&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
            IsEqualIID(iid, kIID_IDTExtensibility2)) {
            *out = static_cast<IDTExtensibility2*>(this);
            AddRef();
            return S_OK;
        }
        if (IsEqualIID(iid, kIID_Connect)) {
            *out = static_cast<ConnectInterface*>(this);
            AddRef();
            return S_OK;
        }
        if (IsEqualIID(iid, IID_ISupportErrorInfo)) {
            *out = static_cast<ISupportErrorInfo*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --refs_;
        if (left == 0) delete this;
        return left;
    }

    // A failed operation leaves its description in the thread's error object (see report).
    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override {
        return IsEqualIID(iid, kIID_IDTExtensibility2) || IsEqualIID(iid, kIID_Connect) ? S_OK : S_FALSE;
    }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        if (info) *info = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        if (!names || !ids) return E_POINTER;
        HRESULT hr = S_OK;
        for (UINT i = 0; i < count; ++i) {
            ids[i] = DISPID_UNKNOWN;
            if (i > 0) {
                hr = DISP_E_UNKNOWNNAME;  // The five operations have no named parameters.
                continue;
            }
            for (DISPID id = 0; id < 5; ++id)
                if (_wcsicmp(names[0], kNames[id].data()) == 0) ids[0] = id + 1;
            for (DISPID id = 0; id < 2; ++id)
                if (_wcsicmp(names[0], kPropertyNames[id].data()) == 0) ids[0] = kDispConApp + id;
            if (_wcsicmp(names[0], kFormFieldName.data()) == 0) ids[0] = kDispFormField;
            if (ids[0] == DISPID_UNKNOWN) hr = DISP_E_UNKNOWNNAME;
        }
        return hr;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* info, UINT* bad_arg) override {
        if (result) VariantInit(result);
        if (member == kDispConApp || member == kDispConNS) return property(member, flags, params, result);
        if (member == kDispFormField) return form_field(flags, params, result);
        if (!(flags & DISPATCH_METHOD)) return DISP_E_MEMBERNOTFOUND;
        const UINT given = params ? params->cArgs : 0;
        const UINT wanted = member == kDispOnConnection ? 4 : member == kDispOnDisconnection ? 2 : 1;
        if (member < kDispOnConnection || member > kDispOnBeginShutdown) return DISP_E_MEMBERNOTFOUND;
        if (given != wanted) return DISP_E_BADPARAMCOUNT;
        // Arguments arrive last to first.
        auto arg = [&](UINT index) -> VARIANT& { return params->rgvarg[given - 1 - index]; };
        HRESULT hr = S_OK;
        try {
            switch (member) {
                case kDispOnConnection: {
                    Variant application;
                    check(VariantCopyInd(application.get(), &arg(0)));
                    Variant mode;
                    check(VariantCopyInd(mode.get(), &arg(1)));
                    hr = OnConnection(application.to_object().get(), mode.to_int32(), nullptr, nullptr);
                    break;
                }
                case kDispOnDisconnection: {
                    Variant mode;
                    check(VariantCopyInd(mode.get(), &arg(0)));
                    hr = OnDisconnection(mode.to_int32(), nullptr);
                    break;
                }
                case kDispOnAddInsUpdate:
                    hr = OnAddInsUpdate(nullptr);
                    break;
                case kDispOnStartupComplete:
                    hr = OnStartupComplete(nullptr);
                    break;
                default:
                    hr = OnBeginShutdown(nullptr);
                    break;
            }
        } catch (const platform::PlatformError&) {
            if (bad_arg) *bad_arg = 0;
            return DISP_E_TYPEMISMATCH;
        } catch (...) {
            return E_UNEXPECTED;
        }
        if (FAILED(hr) && info) {
            *info = EXCEPINFO{};
            info->scode = hr;
            info->bstrSource = SysAllocString(L"DezarorAgent.Connect");
            ComPtr<IErrorInfo> error;
            if (GetErrorInfo(0, error.put()) == S_OK && error) error->GetDescription(&info->bstrDescription);
            return DISP_E_EXCEPTION;
        }
        return hr;
    }

    HRESULT STDMETHODCALLTYPE OnConnection(IDispatch* application, LONG connect_mode, IDispatch*,
                                           SAFEARRAY**) override {
        return guarded([&] {
            // Taking the application is the first step, whose failure the mail client reports.
            if (!application) platform::throw_object_not_set();
            auto app = make_application(ComPtr<IDispatch>::share(application));
            host_.set_application(app);
            connect_.OnConnection(app, connect_mode);
            follow_explorer(ComPtr<IDispatch>::share(application));
        });
    }
    HRESULT STDMETHODCALLTYPE OnDisconnection(LONG remove_mode, SAFEARRAY**) override {
        return guarded([&] { connect_.OnDisconnection(remove_mode); });
    }
    HRESULT STDMETHODCALLTYPE OnAddInsUpdate(SAFEARRAY**) override {
        return guarded([&] { connect_.OnAddInsUpdate(); });
    }
    HRESULT STDMETHODCALLTYPE OnStartupComplete(SAFEARRAY**) override {
        return guarded([&] { connect_.OnStartupComplete(); });
    }
    HRESULT STDMETHODCALLTYPE OnBeginShutdown(SAFEARRAY**) override {
        return guarded([&] { release_application(); });
    }

    HRESULT STDMETHODCALLTYPE get_oConApp(IDispatch** value) override {
        return give(dispatch_of(connect_.oConApp.get()), value);
    }
    HRESULT STDMETHODCALLTYPE putref_oConApp(IDispatch* value) override {
        return guarded([&] { connect_.oConApp = value ? make_application(ComPtr<IDispatch>::share(value)) : nullptr; });
    }
    HRESULT STDMETHODCALLTYPE get_oConNS(IDispatch** value) override {
        return give(dispatch_of(connect_.oConNS.get()), value);
    }
    HRESULT STDMETHODCALLTYPE putref_oConNS(IDispatch* value) override {
        return guarded([&] { connect_.oConNS = make_namespace(ComPtr<IDispatch>::share(value)); });
    }

private:
    ~ConnectObject() { module_unlock(); }

    // The mail client waits, running on without windows, for every add-in to let go of its objects
    // before it disconnects them: when its last explorer closes, the add-in lets go of everything.
    void follow_explorer(const ComPtr<IDispatch>& application) {
        explorer_close_.reset();
        platform::skip_on_failure([&] {
            const Dispatch app(application);
            explorer_close_ = advise(app.get_object("ActiveExplorer"), events::kExplorerClose, [this, app](auto&) {
                // The closing explorer is still counted while its Close runs.
                std::int32_t open = 0;
                platform::skip_on_failure([&] { open = Dispatch(app.get_object("Explorers")).get_int("Count"); });
                if (open <= 1) release_application();
            });
        });
    }

    void release_application() {
        connect_.OnBeginShutdown();
        host_.set_application(nullptr);
        explorer_close_.reset();
    }

    static HRESULT give(IDispatch* object, IDispatch** out) {
        if (!out) return E_POINTER;
        *out = object;
        if (object) object->AddRef();
        return S_OK;
    }

    // The field's value as `describe_field` gives it; Empty before the form exists, Null for a
    // field the form does not have.
    HRESULT form_field(WORD flags, DISPPARAMS* params, VARIANT* result) {
        if (!(flags & DISPATCH_PROPERTYGET)) return DISP_E_MEMBERNOTFOUND;
        if (!params || params->cArgs != 1) return DISP_E_BADPARAMCOUNT;
        Variant name;
        if (FAILED(VariantCopyInd(name.get(), &params->rgvarg[0])) || name.type() != VT_BSTR) return DISP_E_TYPEMISMATCH;
        if (!result) return S_OK;
        auto* form = connect_.form();
        if (!form) return S_OK;
        const auto value = character::describe_field(*form, name.to_string());
        if (!value) {
            result->vt = VT_NULL;
            return S_OK;
        }
        result->vt = VT_BSTR;
        result->bstrVal = Bstr(*value).detach();
        return S_OK;
    }

    // oConApp and oConNS by name: read, or set by reference.
    HRESULT property(DISPID member, WORD flags, DISPPARAMS* params, VARIANT* result) {
        if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
            if (!params || params->cArgs != 1) return DISP_E_BADPARAMCOUNT;
            Variant value;
            if (FAILED(VariantCopyInd(value.get(), &params->rgvarg[0]))) return DISP_E_TYPEMISMATCH;
            ComPtr<IDispatch> object;
            try {
                object = value.to_object();
            } catch (const platform::PlatformError&) {
                return DISP_E_TYPEMISMATCH;
            }
            return member == kDispConApp ? putref_oConApp(object.get()) : putref_oConNS(object.get());
        }
        if (!(flags & DISPATCH_PROPERTYGET)) return DISP_E_MEMBERNOTFOUND;
        if (params && params->cArgs != 0) return DISP_E_BADPARAMCOUNT;
        IDispatch* object = nullptr;
        const HRESULT hr = member == kDispConApp ? get_oConApp(&object) : get_oConNS(&object);
        if (SUCCEEDED(hr) && result) {
            result->vt = VT_DISPATCH;
            result->pdispVal = object;
        } else if (object) {
            object->Release();
        }
        return hr;
    }

    // The host outlives the add-in, which holds references into it.
    WinHost host_;
    addin::Connect connect_;
    platform::Subscription explorer_close_;
    std::atomic<ULONG> refs_{1};
};

class ConnectFactory final : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
            *out = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    // The one factory is static: it counts as a lock only through LockServer.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        return create_connect(iid, out);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        if (lock)
            module_lock();
        else
            module_unlock();
        return S_OK;
    }
};

ConnectFactory factory;

}  // namespace

HRESULT create_connect(REFIID iid, void** out) {
    auto* object = new (std::nothrow) ConnectObject();
    if (!object) return E_OUTOFMEMORY;
    const HRESULT hr = object->QueryInterface(iid, out);
    object->Release();
    return hr;
}

HRESULT get_connect_class_object(REFIID iid, void** out) { return factory.QueryInterface(iid, out); }

}  // namespace win
