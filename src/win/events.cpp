#include "win/events.hpp"

#include <atomic>
#include <memory>
#include <optional>
#include <utility>

#include "win/module.hpp"

namespace win {

VARIANT& EventArgs::slot(unsigned index) const {
    if (index >= params_.cArgs) throw platform::PlatformError(449, "Argument not optional");
    return params_.rgvarg[params_.cArgs - 1 - index];  // Invoke passes them last to first.
}

Variant EventArgs::at(unsigned index) const {
    VARIANT& v = slot(index);
    Variant out;
    // A by-reference argument is read through its reference.
    check(VariantCopyInd(out.get(), &v));
    return out;
}

void EventArgs::set_bool(unsigned index, bool value) const {
    VARIANT& v = slot(index);
    if (v.vt == (VT_BOOL | VT_BYREF) && v.pboolVal) *v.pboolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
}

namespace {

// The object the source calls: an IDispatch that answers to the event interface's identifier.
class Sink final : public IDispatch {
public:
    Sink(const IID& events, DISPID member, EventHandler handler)
        : events_(events), member_(member), handler_(std::make_shared<EventHandler>(std::move(handler))) {
        module_lock();
    }
    Sink(const Sink&) = delete;
    Sink& operator=(const Sink&) = delete;

    // Once unadvised, a call the source was already making delivers nothing.
    void disconnect() { handler_.reset(); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, events_)) {
            *out = static_cast<IDispatch*>(this);
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
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count) *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        if (member != member_ || !params) return S_OK;  // Events no one here listens to.
        auto handler = handler_;                        // Kept alive while it runs, even if it unbinds itself.
        if (!handler) return S_OK;
        AddRef();
        deliver(*handler, *params);
        Release();
        return S_OK;
    }

private:
    ~Sink() { module_unlock(); }

    // Nothing a handler throws may reach the source: an exception crossing back into the mail client
    // or the control ends their process. The event is then lost, and only the event.
    static void deliver(const EventHandler& handler, DISPPARAMS& params) noexcept {
        try {
            handler(EventArgs(params));
        } catch (const platform::PlatformError&) {
        } catch (...) {
            OutputDebugStringW(L"DezarorAgent: an event handler failed\n");
        }
    }

    IID events_;
    DISPID member_;
    std::shared_ptr<EventHandler> handler_;
    std::atomic<ULONG> refs_{1};
};

}  // namespace

namespace {

// The event's identifier as the source's class describes its event interface, or none when the
// source does not describe itself or the interface has no member of that name.
std::optional<DISPID> described_id(const ComPtr<IDispatch>& source, const EventMember& event) {
    auto provider = source.query<IProvideClassInfo>(IID_IProvideClassInfo);
    ComPtr<ITypeInfo> cls;
    if (!provider || FAILED(provider->GetClassInfo(cls.put())) || !cls) return std::nullopt;
    TYPEATTR* attr = nullptr;
    if (FAILED(cls->GetTypeAttr(&attr))) return std::nullopt;
    const UINT implemented = attr->cImplTypes;
    cls->ReleaseTypeAttr(attr);
    for (UINT i = 0; i < implemented; ++i) {
        INT flags = 0;
        HREFTYPE ref = 0;
        ComPtr<ITypeInfo> info;
        if (FAILED(cls->GetImplTypeFlags(i, &flags)) || !(flags & IMPLTYPEFLAG_FSOURCE) ||
            FAILED(cls->GetRefTypeOfImplType(i, &ref)) || FAILED(cls->GetRefTypeInfo(ref, info.put())))
            continue;
        TYPEATTR* events = nullptr;
        if (FAILED(info->GetTypeAttr(&events))) continue;
        const bool same = IsEqualGUID(events->guid, event.interface_id);
        info->ReleaseTypeAttr(events);
        if (!same) continue;
        LPOLESTR names[] = {const_cast<LPOLESTR>(event.name)};
        DISPID id = DISPID_UNKNOWN;
        if (SUCCEEDED(info->GetIDsOfNames(names, 1, &id))) return id;
    }
    return std::nullopt;
}

}  // namespace

platform::Subscription advise(const ComPtr<IDispatch>& source, const EventMember& event, EventHandler handler) {
    if (!source) throw platform::PlatformError(91, "Object variable or With block variable not set");
    auto container = source.query<IConnectionPointContainer>(IID_IConnectionPointContainer);
    if (!container) throw error_from(E_NOINTERFACE);
    ComPtr<IConnectionPoint> point;
    check(container->FindConnectionPoint(event.interface_id, point.put()));
    const DISPID member = described_id(source, event).value_or(event.id);
    auto sink = ComPtr<Sink>::attach(new Sink(event.interface_id, member, std::move(handler)));
    DWORD cookie = 0;
    check(point->Advise(sink.get(), &cookie));
    return platform::Subscription([point, sink, cookie] {
        sink->disconnect();
        point->Unadvise(cookie);  // A source already gone has dropped the sink itself.
    });
}

}  // namespace win
