#pragma once

// The COM boundary: owning pointers, strings, variants, and late-bound calls through IDispatch.
// Everything that crosses it becomes our own types: UTF-8 text, 32-bit numbers, and PlatformError
// carrying the number and description the scripting runtime would report.

#include <oaidl.h>
#include <ocidl.h>
#include <ole2.h>
#include <windows.h>

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "platform/error.hpp"
#include "platform/system.hpp"

namespace win {

// An owning interface pointer.
template <class I>
class ComPtr {
public:
    ComPtr() = default;
    // Takes over a reference the caller already holds.
    static ComPtr attach(I* p) {
        ComPtr c;
        c.p_ = p;
        return c;
    }
    // Adds a reference of its own.
    static ComPtr share(I* p) {
        if (p) p->AddRef();
        return attach(p);
    }
    ComPtr(const ComPtr& o) : p_(o.p_) {
        if (p_) p_->AddRef();
    }
    ComPtr(ComPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    ComPtr& operator=(ComPtr o) noexcept {
        std::swap(p_, o.p_);
        return *this;
    }
    ~ComPtr() { reset(); }
    void reset() {
        if (auto* p = std::exchange(p_, nullptr)) p->Release();
    }
    I* get() const { return p_; }
    I* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    // For out-parameters: releases what is held and gives the slot.
    I** put() {
        reset();
        return &p_;
    }
    I* detach() { return std::exchange(p_, nullptr); }

    template <class J>
    ComPtr<J> query(const IID& iid) const {
        ComPtr<J> out;
        if (p_) p_->QueryInterface(iid, reinterpret_cast<void**>(out.put()));
        return out;
    }

private:
    I* p_ = nullptr;
};

std::wstring widen(std::string_view text);
std::string narrow(const wchar_t* text, std::size_t length);
std::string narrow(BSTR text);
inline std::string narrow(const std::wstring& text) { return narrow(text.data(), text.size()); }

// An owning BSTR.
class Bstr {
public:
    explicit Bstr(std::string_view text);
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    ~Bstr() { SysFreeString(b_); }
    BSTR get() const { return b_; }
    BSTR detach() { return std::exchange(b_, nullptr); }

private:
    BSTR b_;
};

// An owning VARIANT. Arguments are built from our own types; results are read back as them.
class Variant {
public:
    Variant() { VariantInit(&v_); }
    Variant(std::int32_t n);
    Variant(bool b);
    Variant(std::string_view text);
    Variant(const char* text) : Variant(std::string_view(text)) {}
    Variant(const std::string& text) : Variant(std::string_view(text)) {}
    Variant(IDispatch* object);  // adds a reference of its own
    Variant(const Variant& o);
    Variant(Variant&& o) noexcept;
    Variant& operator=(Variant o) noexcept;
    ~Variant() { VariantClear(&v_); }

    // An optional argument left out.
    static Variant missing();
    // Takes over a VARIANT the caller owns.
    static Variant attach(VARIANT& v);

    VARIANT* get() { return &v_; }
    const VARIANT* get() const { return &v_; }
    VARTYPE type() const { return v_.vt; }

    // Conversions as the scripting runtime does them; a value that does not convert throws
    // PlatformError 13, Type mismatch.
    std::string to_string() const;
    std::int32_t to_int32() const;
    std::int16_t to_int16() const;
    bool to_bool() const;
    double to_double() const;
    // An object, or null for Nothing (an empty variant or a null object).
    ComPtr<IDispatch> to_object() const;
    // The mail client keeps dates it has none of as the first of January 4501.
    platform::Date to_date() const;

private:
    VARIANT v_;
};

// The error the scripting runtime reports for a failed call: its number and description. A deferred
// fill-in of `info` is run on `info` itself; its strings stay the caller's to free.
platform::PlatformError error_from(HRESULT hr, EXCEPINFO* info = nullptr);
inline void check(HRESULT hr) {
    if (FAILED(hr)) throw error_from(hr);
}

// Error numbers the adapters raise themselves.
inline constexpr std::int32_t kTypeMismatch = 13;
inline constexpr std::int32_t kCannotCreateObject = 429;
inline constexpr std::int32_t kNoSuchMember = 438;

// A late-bound object: every member is found by name through GetIDsOfNames and called with
// Invoke. Arguments are given in the order of the member's parameter list.
class Dispatch {
public:
    Dispatch() = default;
    explicit Dispatch(ComPtr<IDispatch> object) : object_(std::move(object)) {}

    Variant get(std::string_view name, std::initializer_list<Variant> args = {}) const;
    void put(std::string_view name, const Variant& value) const;
    Variant call(std::string_view name, std::initializer_list<Variant> args = {}) const;
    // Get a property and, if the member is a method, call it: the default-member rules of the runtime.
    Variant get_or_call(std::string_view name, std::initializer_list<Variant> args = {}) const;

    std::string get_string(std::string_view name) const { return get(name).to_string(); }
    std::int32_t get_int(std::string_view name) const { return get(name).to_int32(); }
    bool get_bool(std::string_view name) const { return get(name).to_bool(); }
    ComPtr<IDispatch> get_object(std::string_view name, std::initializer_list<Variant> args = {}) const {
        return get(name, args).to_object();
    }
    ComPtr<IDispatch> call_object(std::string_view name, std::initializer_list<Variant> args = {}) const {
        return call(name, args).to_object();
    }

    IDispatch* raw() const { return object_.get(); }
    const ComPtr<IDispatch>& object() const { return object_; }

private:
    Variant invoke(std::string_view name, WORD flags, std::initializer_list<Variant> args, bool put) const;
    ComPtr<IDispatch> object_;
};

// Keeps COM initialised on this thread for its lifetime.
class ComApartment {
public:
    ComApartment();
    ~ComApartment();
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool initialised_;
};

}  // namespace win
