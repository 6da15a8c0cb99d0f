#pragma once

#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "platform/error.hpp"
#include "platform/subscription.hpp"

namespace platform {

// The platform's own error for using an object field that holds no object.
inline constexpr std::int32_t kObjectNotSet = 91;

[[noreturn]] inline void throw_object_not_set() {
    throw PlatformError(kObjectNotSet, "Object variable or With block variable not set");
}

// An object field of the form. Calling through an empty one is a platform failure, as it is for
// the mail client's own objects: the procedure's failure style decides what happens next (a
// missing toolbar button simply leaves the gestures at it out of the introduction).
template <class T>
class Ref {
public:
    Ref() = default;
    Ref(std::shared_ptr<T> object) : object_(std::move(object)) {}  // NOLINT: assignable like a pointer.
    Ref(std::nullptr_t) {}                                            // NOLINT

    T* operator->() const {
        if (!object_) throw_object_not_set();
        return object_.get();
    }
    T& operator*() const { return *operator->(); }
    T* get() const { return object_.get(); }
    const std::shared_ptr<T>& ptr() const { return object_; }
    explicit operator bool() const { return static_cast<bool>(object_); }
    void reset() { object_.reset(); }

private:
    std::shared_ptr<T> object_;
};

// A field that receives events: assigning binds the form's handlers, replacing or emptying
// unbinds them, so no handler ever fires for an object the form no longer holds.
template <class T>
class WithEvents {
public:
    using Attach = std::function<std::vector<Subscription>(T&)>;

    WithEvents() = default;
    WithEvents(const WithEvents&) = delete;
    WithEvents& operator=(const WithEvents&) = delete;

    void bind(Attach attach) { attach_ = std::move(attach); }

    WithEvents& operator=(std::shared_ptr<T> object) {
        events_.clear();  // Unbind first: the old object's Close must never reach the new one's handler.
        object_ = std::move(object);
        if (object_ && attach_) events_ = attach_(*object_);
        return *this;
    }
    WithEvents& operator=(const Ref<T>& object) { return *this = object.ptr(); }
    WithEvents& operator=(std::nullptr_t) { return *this = std::shared_ptr<T>{}; }
    void reset() { *this = nullptr; }

    T* operator->() const {
        if (!object_) throw_object_not_set();
        return object_.get();
    }
    T& operator*() const { return *operator->(); }
    T* get() const { return object_.get(); }
    const std::shared_ptr<T>& ptr() const { return object_; }
    explicit operator bool() const { return static_cast<bool>(object_); }

private:
    Attach attach_;
    std::shared_ptr<T> object_;
    std::vector<Subscription> events_;
};

}  // namespace platform
