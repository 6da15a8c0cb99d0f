#include "fake_com.hpp"

#include <olectl.h>

#include <cstdio>
#include <memory>

namespace fake {

std::vector<std::string>& transcript() {
    static std::vector<std::string> lines;
    return lines;
}

void log(std::string line) { transcript().push_back(std::move(line)); }


std::string arg_text(const Variant& v) {
    if (v.type() == VT_ERROR) return "-";
    if (v.type() == VT_BOOL) return v.to_bool() ? "True" : "False";
    if (v.type() == VT_BSTR) return quote(v.to_string());
    return v.to_string();
}

struct Object::Point final : public IConnectionPoint {
    Point(Object& owner, const IID& iid) : owner(owner), iid(iid) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IConnectionPoint)) {
            *out = static_cast<IConnectionPoint*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --refs;
        if (left == 0) delete this;
        return left;
    }
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
        if (!sink || FAILED(sink->QueryInterface(iid, reinterpret_cast<void**>(events.put()))))
            return CONNECT_E_CANNOTCONNECT;
        *cookie = ++next;
        sinks.emplace(*cookie, std::move(events));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override {
        return sinks.erase(cookie) ? S_OK : CONNECT_E_NOCONNECTION;
    }
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections**) override { return E_NOTIMPL; }

    Object& owner;
    IID iid;
    std::map<DWORD, ComPtr<IDispatch>> sinks;
    DWORD next = 0;
    std::atomic<ULONG> refs{1};
};

Object& Object::member(const std::string& name, std::function<Variant(Args&)> get,
                       std::function<void(const Variant&)> put) {
    members_.push_back({name, std::move(get), std::move(put)});
    return *this;
}

Object& Object::source(const IID& events) {
    points_.push_back(ComPtr<IConnectionPoint>::attach(new Point(*this, events)));
    return *this;
}

int Object::sinks(const IID& events) const {
    for (const auto& p : points_)
        if (IsEqualIID(static_cast<Point*>(p.get())->iid, events))
            return static_cast<int>(static_cast<Point*>(p.get())->sinks.size());
    return 0;
}

void Object::raise(const IID& events, DISPID id, std::vector<VARIANT> args) {
    for (const auto& p : points_) {
        auto* point = static_cast<Point*>(p.get());
        if (!IsEqualIID(point->iid, events)) continue;
        // A sink may unadvise while the event is delivered: call a snapshot.
        std::vector<ComPtr<IDispatch>> sinks;
        for (const auto& [cookie, sink] : point->sinks) sinks.push_back(sink);
        std::vector<VARIANT> reversed(args.rbegin(), args.rend());
        for (const auto& sink : sinks) {
            DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
            sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
        }
    }
}

HRESULT Object::QueryInterface(REFIID iid, void** out) {
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
    *count = 0;
    return S_OK;
}

HRESULT Object::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    if (count != 1) return DISP_E_UNKNOWNNAME;
    const std::string name = win::narrow(names[0], wcslen(names[0]));
    for (std::size_t i = 0; i < members_.size(); ++i) {
        if (_stricmp(members_[i].name.c_str(), name.c_str()) == 0) {
            ids[0] = static_cast<DISPID>(i + 1);
            return S_OK;
        }
    }
    ids[0] = DISPID_UNKNOWN;
    return DISP_E_UNKNOWNNAME;
}

HRESULT Object::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* info,
                       UINT*) {
    if (id < 1 || static_cast<std::size_t>(id) > members_.size()) return DISP_E_MEMBERNOTFOUND;
    auto& m = members_[static_cast<std::size_t>(id - 1)];
    Args args;
    for (UINT i = params ? params->cArgs : 0; i > 0; --i) {
        Variant v;
        VariantCopyInd(v.get(), &params->rgvarg[i - 1]);
        args.push_back(std::move(v));
    }
    try {
        if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
            if (!m.put || args.size() != 1) return DISP_E_MEMBERNOTFOUND;
            m.put(args[0]);
            return S_OK;
        }
        if (!m.get) return DISP_E_MEMBERNOTFOUND;
        Variant out = m.get(args);
        if (result) {
            VariantInit(result);
            *result = *out.get();
            VariantInit(out.get());
        }
        return S_OK;
    } catch (const Failure& f) {
        if (info) {
            *info = EXCEPINFO{};
            info->scode = f.hr;
            info->bstrDescription = win::Bstr(f.description).detach();
        }
        return DISP_E_EXCEPTION;
    }
}

HRESULT Object::GetClassInfo(ITypeInfo** out) {
    *out = class_info_.get();
    if (*out) (*out)->AddRef();
    return *out ? S_OK : E_NOTIMPL;
}

HRESULT Object::FindConnectionPoint(REFIID iid, IConnectionPoint** out) {
    for (const auto& p : points_) {
        if (IsEqualIID(static_cast<Point*>(p.get())->iid, iid)) {
            p->AddRef();
            *out = p.get();
            return S_OK;
        }
    }
    *out = nullptr;
    return CONNECT_E_NOCONNECTION;
}

}  // namespace fake
