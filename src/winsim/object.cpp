#include <olectl.h>

#include <map>

#include "platform/error.hpp"
#include "winsim/face.hpp"

namespace winsim {

namespace {

// Asked of a COM object to learn whether it is one of ours.
constexpr IID kIID_Self = {0x5e0f6a31, 0x2c4d, 0x4b7e, {0x9a, 0x13, 0x6f, 0x80, 0x21, 0xc4, 0x55, 0x07}};

// A platform error as a server written in the scripting runtime reports it: its number in the
// exception information's code, with its description.
HRESULT raise_error(const platform::PlatformError& e, EXCEPINFO* info) {
    if (!info) return DISP_E_EXCEPTION;
    *info = EXCEPINFO{};
    if (e.number > 0 && e.number < 0x10000) {
        info->wCode = static_cast<WORD>(e.number);
    } else {
        info->scode = e.number;
    }
    info->bstrSource = SysAllocString(L"Simulator");
    info->bstrDescription = win::Bstr(e.what()).detach();
    return DISP_E_EXCEPTION;
}

}  // namespace

// A connection point lives as long as its object: its references are the object's.
struct Object::Point final : public IConnectionPoint {
    Point(Object& owner, const IID& iid, Binder bind) : owner(owner), iid(iid), bind(std::move(bind)) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (!out) return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IConnectionPoint)) {
            *out = static_cast<IConnectionPoint*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return owner.AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return owner.Release(); }
    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* out) override {
        *out = iid;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** out) override {
        owner.AddRef();
        *out = &owner;
        return S_OK;
    }
    // Sinks are asked for the event interface itself, as a real source does.
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override {
        ComPtr<IDispatch> events;
        if (!sink || !cookie || FAILED(sink->QueryInterface(iid, reinterpret_cast<void**>(events.put()))))
            return CONNECT_E_CANNOTCONNECT;
        *cookie = ++next;
        sinks.emplace(*cookie, std::move(events));
        if (!bound) bound = bind(owner);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override {
        if (!sinks.erase(cookie)) return CONNECT_E_NOCONNECTION;
        if (sinks.empty()) bound.reset();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections**) override { return E_NOTIMPL; }

    Object& owner;
    IID iid;
    Binder bind;
    platform::Subscription bound;
    std::map<DWORD, ComPtr<IDispatch>> sinks;
    DWORD next = 0;
};

Object::Object(std::shared_ptr<void> payload) : payload_(std::move(payload)) {}

Object::~Object() {
    // Let go of the simulator's events before the sinks.
    for (auto& p : points_) p->bound.reset();
}

ComPtr<Object> Object::make(std::shared_ptr<void> payload) {
    return ComPtr<Object>::attach(new Object(std::move(payload)));
}

Object* Object::from(IDispatch* object) {
    if (!object) return nullptr;
    Object* own = nullptr;
    if (FAILED(object->QueryInterface(kIID_Self, reinterpret_cast<void**>(&own)))) return nullptr;
    return own;  // no reference added: the caller holds the object
}

Object& Object::member(std::string name, Getter get, Setter put) {
    members_.push_back({std::move(name), std::move(get), std::move(put)});
    return *this;
}

Object& Object::action(std::string name, std::function<void(Args&)> run) {
    return member(std::move(name), [run = std::move(run)](Args& args) {
        run(args);
        return Variant();
    });
}

Object& Object::source(const IID& events, Binder bind) {
    points_.push_back(std::make_unique<Point>(*this, events, std::move(bind)));
    return *this;
}

Object& Object::class_info(ComPtr<ITypeInfo> info) {
    class_info_ = std::move(info);
    return *this;
}

void Object::raise(const IID& events, DISPID id, std::vector<VARIANT> args) {
    ComPtr<Object> alive = ComPtr<Object>::share(this);
    for (const auto& point : points_) {
        if (!IsEqualIID(point->iid, events)) continue;
        // A sink may unadvise while the event is delivered: call a snapshot.
        std::vector<ComPtr<IDispatch>> sinks;
        for (const auto& entry : point->sinks) sinks.push_back(entry.second);
        std::vector<VARIANT> reversed(args.rbegin(), args.rend());
        for (const auto& sink : sinks) {
            DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
            sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
        }
    }
}

HRESULT Object::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, kIID_Self)) {
        *out = this;
        return S_OK;
    }
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch)) {
        *out = static_cast<IDispatch*>(this);
    } else if (IsEqualIID(iid, IID_IConnectionPointContainer) && !points_.empty()) {
        *out = static_cast<IConnectionPointContainer*>(this);
    } else if (IsEqualIID(iid, IID_IProvideClassInfo) && class_info_) {
        *out = static_cast<IProvideClassInfo*>(this);
    } else {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG Object::Release() {
    const ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
}

HRESULT Object::GetTypeInfoCount(UINT* count) {
    if (count) *count = 0;
    return S_OK;
}

HRESULT Object::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info) *info = nullptr;
    return E_NOTIMPL;
}

HRESULT Object::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    if (!names || !ids || count == 0) return E_INVALIDARG;
    for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
    const std::string name = win::narrow(names[0], wcslen(names[0]));
    for (std::size_t i = 0; i < members_.size(); ++i) {
        if (_stricmp(members_[i].name.c_str(), name.c_str()) == 0) {
            ids[0] = static_cast<DISPID>(i + 1);
            return count == 1 ? S_OK : DISP_E_UNKNOWNNAME;
        }
    }
    return DISP_E_UNKNOWNNAME;
}

HRESULT Object::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* info,
                       UINT*) {
    if (result) VariantInit(result);
    if (id < 1 || static_cast<std::size_t>(id) > members_.size()) return DISP_E_MEMBERNOTFOUND;
    const Member& m = members_[static_cast<std::size_t>(id - 1)];
    Args args;
    for (UINT i = params ? params->cArgs : 0; i > 0; --i) {
        Variant v;
        if (FAILED(VariantCopyInd(v.get(), &params->rgvarg[i - 1]))) return DISP_E_TYPEMISMATCH;
        args.push_back(std::move(v));
    }
    ComPtr<Object> alive = ComPtr<Object>::share(this);
    try {
        if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
            if (!m.put) return DISP_E_MEMBERNOTFOUND;
            if (args.size() != 1) return DISP_E_BADPARAMCOUNT;
            m.put(args[0]);
            return S_OK;
        }
        if (!m.get) return DISP_E_MEMBERNOTFOUND;
        Variant out = m.get(args);
        if (result) {
            *result = *out.get();  // the value moves to the caller
            VariantInit(out.get());
        }
        return S_OK;
    } catch (const platform::PlatformError& e) {
        return raise_error(e, info);
    } catch (const std::out_of_range&) {
        return DISP_E_PARAMNOTOPTIONAL;
    }
}

HRESULT Object::GetClassInfo(ITypeInfo** out) {
    if (!out) return E_POINTER;
    *out = class_info_.get();
    if (*out) (*out)->AddRef();
    return *out ? S_OK : E_NOTIMPL;
}

HRESULT Object::FindConnectionPoint(REFIID iid, IConnectionPoint** out) {
    if (!out) return E_POINTER;
    for (const auto& point : points_) {
        if (IsEqualIID(point->iid, iid)) {
            point->AddRef();
            *out = point.get();
            return S_OK;
        }
    }
    *out = nullptr;
    return CONNECT_E_NOCONNECTION;
}

}  // namespace winsim
