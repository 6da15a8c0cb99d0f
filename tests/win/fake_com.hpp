#pragma once

// Late-bound fake objects for playing the mail client and the character control: each member
// is found by name, and each object can be an event source with connection points.

#include <ocidl.h>
#include <windows.h>

#include <atomic>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/quote.hpp"
#include "win/com.hpp"
#include "win/events.hpp"

namespace fake {

using win::ComPtr;
using win::Variant;
using Args = std::vector<Variant>;  // in the order of the member's parameter list

// Thrown by a member to fail its call with this result and description.
struct Failure {
    HRESULT hr;
    std::string description;
};

// What the fakes did, one line each, in the simulator's transcript format.
std::vector<std::string>& transcript();
void log(std::string line);
using platform::quote;
std::string arg_text(const Variant& v);  // "-" for an argument left out

class Object final : public IDispatch, public IConnectionPointContainer, public IProvideClassInfo {
public:
    static ComPtr<Object> make() { return ComPtr<Object>::attach(new Object()); }

    // A member read or called with arguments; `put` makes it assignable.
    Object& member(const std::string& name, std::function<Variant(Args&)> get,
                   std::function<void(const Variant&)> put = {});
    // An event interface this object raises.
    Object& source(const IID& events);
    // Calls every sink advised for the event's interface, with the arguments in parameter order.
    void raise(const win::EventMember& event, std::vector<VARIANT> args) { raise(event.interface_id, event.id, args); }
    void raise(const IID& events, DISPID id, std::vector<VARIANT> args);
    // Describes the object's class, events included, as a control does.
    Object& class_info(ComPtr<ITypeInfo> info) {
        class_info_ = std::move(info);
        return *this;
    }

    IDispatch* dispatch() { return static_cast<IDispatch*>(this); }
    int sinks(const IID& events) const;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* info, UINT*) override;
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** out) override;
    HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** out) override;

private:
    Object() = default;
    ~Object() = default;
    struct Member {
        std::string name;
        std::function<Variant(Args&)> get;
        std::function<void(const Variant&)> put;
    };
    struct Point;
    std::vector<Member> members_;
    std::vector<ComPtr<IConnectionPoint>> points_;
    ComPtr<ITypeInfo> class_info_;
    std::atomic<ULONG> refs_{1};
};

}  // namespace fake
