#pragma once

// The simulator's mail client, Office buttons and character control as COM objects: every member
// the add-in calls, found by name through IDispatch, and their events raised through connection
// points with the identifiers the platforms publish. A platform error of the simulator (an
// injected fault, a property the item's class lacks) reaches the caller as Invoke's exception
// information, as a real server reports it.

#include <ocidl.h>
#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/agent.hpp"
#include "platform/outlook.hpp"
#include "win/com.hpp"

namespace winsim {

using win::ComPtr;
using win::Variant;
using Args = std::vector<Variant>;  // in the order of the member's parameter list

// One late-bound object. Members are numbered from 1 in the order they are added; an event
// interface binds to the simulator when its first sink is advised and lets go after the last.
class Object final : public IDispatch, public IConnectionPointContainer, public IProvideClassInfo {
public:
    using Getter = std::function<Variant(Args&)>;
    using Setter = std::function<void(const Variant&)>;
    using Binder = std::function<platform::Subscription(Object&)>;

    static ComPtr<Object> make(std::shared_ptr<void> payload = {});

    Object& member(std::string name, Getter get, Setter put = {});
    // A method that returns nothing.
    Object& action(std::string name, std::function<void(Args&)> run);
    Object& source(const IID& events, Binder bind);
    // Describes the object's class, its event interfaces included, as a control may.
    Object& class_info(ComPtr<ITypeInfo> info);

    // Calls every advised sink of the interface with the arguments in parameter order.
    void raise(const IID& events, DISPID id, std::vector<VARIANT> args);

    // The simulator's object behind a COM object of ours, or null for any other object.
    template <class T>
    static std::shared_ptr<T> payload_of(IDispatch* object) {
        auto* own = from(object);
        return own ? std::static_pointer_cast<T>(own->payload_) : nullptr;
    }

    IDispatch* dispatch() { return static_cast<IDispatch*>(this); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* info, UINT*) override;
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** out) override;
    HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** out) override;

private:
    struct Point;
    struct Member {
        std::string name;
        Getter get;
        Setter put;
    };
    explicit Object(std::shared_ptr<void> payload);
    ~Object();
    static Object* from(IDispatch* object);

    std::shared_ptr<void> payload_;
    std::vector<Member> members_;
    std::vector<std::unique_ptr<Point>> points_;
    ComPtr<ITypeInfo> class_info_;
    std::atomic<ULONG> refs_{1};
};

// The COM objects of the simulated mail client: each call makes a fresh object over the
// simulator's own, as a late-bound client sees no difference.
ComPtr<Object> application_object(const std::shared_ptr<platform::Application>& application);

// The character control: `described` gives it class information naming its event interface,
// whose identifiers the add-in then looks up by name; without it the add-in uses its own table.
ComPtr<Object> agent_control_object(platform::AgentControl& control, ComPtr<ITypeInfo> described);

}  // namespace winsim
