#include "win/com.hpp"

#include <chrono>
#include <cmath>
#include <vector>

namespace win {

std::wstring widen(std::string_view text) {
    if (text.empty()) return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

std::string narrow(const wchar_t* text, std::size_t length) {
    if (!text || length == 0) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), out.data(), n, nullptr, nullptr);
    return out;
}

std::string narrow(BSTR text) { return narrow(text, text ? SysStringLen(text) : 0); }

Bstr::Bstr(std::string_view text) {
    const auto wide = widen(text);
    b_ = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
}

Variant::Variant(std::int32_t n) : Variant() {
    v_.vt = VT_I4;
    v_.lVal = n;
}

Variant::Variant(bool b) : Variant() {
    v_.vt = VT_BOOL;
    v_.boolVal = b ? VARIANT_TRUE : VARIANT_FALSE;
}

Variant::Variant(std::string_view text) : Variant() {
    v_.vt = VT_BSTR;
    v_.bstrVal = Bstr(text).detach();
}

Variant::Variant(IDispatch* object) : Variant() {
    v_.vt = VT_DISPATCH;
    v_.pdispVal = object;
    if (object) object->AddRef();
}

Variant::Variant(const Variant& o) : Variant() { check(VariantCopy(&v_, const_cast<VARIANT*>(&o.v_))); }

Variant::Variant(Variant&& o) noexcept : v_(o.v_) { VariantInit(&o.v_); }

Variant& Variant::operator=(Variant o) noexcept {
    std::swap(v_, o.v_);
    return *this;
}

Variant Variant::missing() {
    Variant v;
    v.v_.vt = VT_ERROR;
    v.v_.scode = DISP_E_PARAMNOTFOUND;
    return v;
}

Variant Variant::attach(VARIANT& v) {
    Variant out;
    out.v_ = v;
    VariantInit(&v);
    return out;
}

namespace {

// A copy of the value converted to `type`, as the runtime's implicit conversions do.
Variant converted(const VARIANT& v, VARTYPE type) {
    Variant out;
    const HRESULT hr = VariantChangeType(out.get(), const_cast<VARIANT*>(&v), VARIANT_ALPHABOOL, type);
    if (FAILED(hr)) throw platform::PlatformError(kTypeMismatch, "Type mismatch");
    return out;
}

}  // namespace

std::string Variant::to_string() const {
    if (v_.vt == VT_BSTR) return narrow(v_.bstrVal);
    if (v_.vt == VT_EMPTY) return {};
    if (v_.vt == VT_BOOL) return v_.boolVal ? "True" : "False";
    return narrow(converted(v_, VT_BSTR).get()->bstrVal);
}

std::int32_t Variant::to_int32() const {
    if (v_.vt == VT_I4) return v_.lVal;
    if (v_.vt == VT_EMPTY) return 0;
    return converted(v_, VT_I4).get()->lVal;
}

std::int16_t Variant::to_int16() const {
    if (v_.vt == VT_I2) return v_.iVal;
    if (v_.vt == VT_EMPTY) return 0;
    return converted(v_, VT_I2).get()->iVal;
}

bool Variant::to_bool() const {
    if (v_.vt == VT_BOOL) return v_.boolVal != VARIANT_FALSE;
    if (v_.vt == VT_EMPTY) return false;
    return converted(v_, VT_BOOL).get()->boolVal != VARIANT_FALSE;
}

double Variant::to_double() const {
    if (v_.vt == VT_R8) return v_.dblVal;
    if (v_.vt == VT_EMPTY) return 0;
    return converted(v_, VT_R8).get()->dblVal;
}

ComPtr<IDispatch> Variant::to_object() const {
    switch (v_.vt) {
        case VT_EMPTY:
        case VT_NULL:
            return {};
        case VT_DISPATCH:
            return ComPtr<IDispatch>::share(v_.pdispVal);
        case VT_UNKNOWN: {
            ComPtr<IDispatch> out;
            if (v_.punkVal) check(v_.punkVal->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(out.put())));
            return out;
        }
        case VT_DISPATCH | VT_BYREF:
            return ComPtr<IDispatch>::share(v_.ppdispVal ? *v_.ppdispVal : nullptr);
        default:
            throw platform::PlatformError(kTypeMismatch, "Type mismatch");
    }
}

platform::Date Variant::to_date() const {
    if (v_.vt == VT_EMPTY || v_.vt == VT_NULL) return std::nullopt;
    const double days = v_.vt == VT_DATE ? v_.date : converted(v_, VT_DATE).get()->date;
    using namespace std::chrono;
    constexpr auto kEpoch = local_days{year{1899} / December / 30};
    constexpr auto kNoDate = local_days{year{4501} / January / 1};
    // The whole part counts days from the epoch; the fraction is the time of that day, forward from
    // its midnight even for a day before the epoch (-1.25 is 29 December 1899, 6:00).
    const double whole = std::trunc(days);
    const auto seconds_since =
        static_cast<std::int64_t>(whole) * 86400 + std::llround(std::fabs(days - whole) * 86400.0);
    const auto at = kEpoch + std::chrono::seconds{seconds_since};
    if (at >= kNoDate) return std::nullopt;
    return time_point_cast<std::chrono::seconds>(at);
}

namespace {

struct KnownError {
    HRESULT hr;
    std::int32_t number;
    const char* description;
};

// The numbers and texts the scripting runtime gives for the failures of late-bound calls.
constexpr KnownError kKnownErrors[] = {
    {E_INVALIDARG, 5, "Invalid procedure call or argument"},
    {DISP_E_OVERFLOW, 6, "Overflow"},
    {E_OUTOFMEMORY, 7, "Out of memory"},
    {DISP_E_TYPEMISMATCH, kTypeMismatch, "Type mismatch"},
    {REGDB_E_CLASSNOTREG, kCannotCreateObject, "ActiveX component can't create object"},
    {CO_E_CLASSSTRING, kCannotCreateObject, "ActiveX component can't create object"},
    {E_NOINTERFACE, 430, "Class does not support Automation or does not support expected interface"},
    {DISP_E_UNKNOWNNAME, kNoSuchMember, "Object doesn't support this property or method"},
    {DISP_E_MEMBERNOTFOUND, kNoSuchMember, "Object doesn't support this property or method"},
    {DISP_E_PARAMNOTOPTIONAL, 449, "Argument not optional"},
    {DISP_E_BADPARAMCOUNT, 450, "Wrong number of arguments or invalid property assignment"},
};

std::string system_text(HRESULT hr) {
    wchar_t* buffer = nullptr;
    const DWORD n =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, static_cast<DWORD>(hr), 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::string text = n ? narrow(buffer, n) : std::string();
    LocalFree(buffer);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.pop_back();
    return text.empty() ? "Automation error" : text;
}

}  // namespace

platform::PlatformError error_from(HRESULT hr, EXCEPINFO* info) {
    if (hr == DISP_E_EXCEPTION && info) {
        // Filled in place, so the caller frees the strings the fill-in allocated.
        if (auto fill_in = std::exchange(info->pfnDeferredFillIn, nullptr)) fill_in(info);
        const EXCEPINFO& filled = *info;
        const std::string description = narrow(filled.bstrDescription);
        if (filled.wCode != 0)
            return platform::PlatformError(filled.wCode, description.empty() ? "Automation error" : description);
        // A server that raised nothing more than "an exception" gets the generic failure.
        hr = filled.scode != 0 ? filled.scode : E_FAIL;
        if (!description.empty()) {
            // An error raised by a server written in the runtime keeps its own small number.
            const auto code = static_cast<std::uint32_t>(hr);
            const std::int32_t number = (code & 0xFFFF0000u) == 0x800A0000u ? static_cast<std::int32_t>(code & 0xFFFFu)
                                                                            : static_cast<std::int32_t>(hr);
            return platform::PlatformError(number, description);
        }
    }
    for (const auto& known : kKnownErrors)
        if (known.hr == hr) return platform::PlatformError(known.number, known.description);
    const auto code = static_cast<std::uint32_t>(hr);
    if ((code & 0xFFFF0000u) == 0x800A0000u)
        return platform::PlatformError(static_cast<std::int32_t>(code & 0xFFFFu), system_text(hr));
    return platform::PlatformError(static_cast<std::int32_t>(hr), system_text(hr));
}

Variant Dispatch::invoke(std::string_view name, WORD flags, std::initializer_list<Variant> args, bool put) const {
    if (!object_) throw platform::PlatformError(91, "Object variable or With block variable not set");
    const std::wstring wide = widen(name);
    LPOLESTR names[] = {const_cast<LPOLESTR>(wide.c_str())};
    DISPID id = DISPID_UNKNOWN;
    check(object_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id));

    // Invoke takes the arguments last to first.
    std::vector<VARIANT> reversed;
    reversed.reserve(args.size());
    for (auto it = args.end(); it != args.begin();) reversed.push_back(*(--it)->get());
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{reversed.data(), put ? &named : nullptr, static_cast<UINT>(reversed.size()), put ? 1u : 0u};

    Variant result;
    EXCEPINFO info{};
    UINT bad_arg = 0;
    const HRESULT hr =
        object_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result.get(), &info, &bad_arg);
    if (FAILED(hr)) {
        auto error = error_from(hr, &info);
        SysFreeString(info.bstrSource);
        SysFreeString(info.bstrDescription);
        SysFreeString(info.bstrHelpFile);
        throw error;
    }
    return result;
}

Variant Dispatch::get(std::string_view name, std::initializer_list<Variant> args) const {
    return invoke(name, DISPATCH_PROPERTYGET, args, false);
}

void Dispatch::put(std::string_view name, const Variant& value) const {
    invoke(name, DISPATCH_PROPERTYPUT, {value}, true);
}

Variant Dispatch::call(std::string_view name, std::initializer_list<Variant> args) const {
    return invoke(name, DISPATCH_METHOD, args, false);
}

Variant Dispatch::get_or_call(std::string_view name, std::initializer_list<Variant> args) const {
    return invoke(name, DISPATCH_METHOD | DISPATCH_PROPERTYGET, args, false);
}

ComApartment::ComApartment() : initialised_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}

ComApartment::~ComApartment() {
    if (initialised_) CoUninitialize();
}

}  // namespace win
