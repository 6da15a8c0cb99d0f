#include "win/host.hpp"

#include <chrono>

#include "platform/dialogs.hpp"
#include "platform/failure.hpp"
#include "platform/object_ref.hpp"
#include "win/com.hpp"
#include "win/module.hpp"

namespace win {

namespace {

// Timer1's design-time interval: 65 seconds, not 60, so two announcements never share a minute.
constexpr std::int32_t kTimer1Interval = 65000;
constexpr UINT_PTR kTimerId = 1;
constexpr wchar_t kTimerClass[] = L"DezarorAgentTimer1";
constexpr wchar_t kPanelClass[] = L"DezarorAgentPanel";
constexpr std::string_view kDefaultBoxTitle = "DezarorAgent";
constexpr int kOkButton = 1;
constexpr int kCancelButton = 2;

LRESULT CALLBACK timer_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_TIMER && wparam == kTimerId) {
        // An exception must not unwind through the mail client's message loop: that ends its process.
        try {
            if (auto* timer = reinterpret_cast<WinTimer*>(GetWindowLongPtrW(window, GWLP_USERDATA)))
                timer->raise_tick();
        } catch (...) {
            OutputDebugStringW(L"DezarorAgent: a timer tick failed\n");
        }
        return 0;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

LRESULT CALLBACK panel_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_COMMAND:
            // OKButton_Click and CancelButton_Click both hide the form.
            if (LOWORD(wparam) == kOkButton || LOWORD(wparam) == kCancelButton) ShowWindow(window, SW_HIDE);
            return 0;
        case WM_CLOSE:
            // The form lives as long as the add-in: closing it only hides it.
            ShowWindow(window, SW_HIDE);
            return 0;
        default:
            return DefWindowProcW(window, message, wparam, lparam);
    }
}

void register_class(const wchar_t* name, WNDPROC proc) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = proc;
    wc.hInstance = module_instance();
    wc.lpszClassName = name;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    RegisterClassExW(&wc);  // Already registered by an earlier instance is fine.
}

// The failure of a window call, named after what was being done. Some calls fail without setting
// an error code (no window station to show windows on): those report E_FAIL.
platform::PlatformError last_error(std::string_view what) {
    const DWORD code = GetLastError();
    auto base = error_from(code ? HRESULT_FROM_WIN32(code) : E_FAIL);
    return platform::PlatformError(base.number, std::string(what) + ": " + base.what());
}

}  // namespace

void unregister_window_classes() {
    UnregisterClassW(kTimerClass, module_instance());
    UnregisterClassW(kPanelClass, module_instance());
}

void WinMessageBoxes::show(std::string_view text, std::int32_t style, std::string_view title) {
    const auto wide_text = widen(text);
    const auto wide_title = widen(title.empty() ? kDefaultBoxTitle : title);
    // Owned by the mail client's active window, so the box is modal to it and stays above it.
    HWND owner = GetActiveWindow();
    if (!owner) owner = GetForegroundWindow();
    DWORD process = 0;
    if (owner) GetWindowThreadProcessId(owner, &process);
    if (process != GetCurrentProcessId()) owner = nullptr;
    if (MessageBoxW(owner, wide_text.c_str(), wide_title.c_str(), static_cast<UINT>(style) | MB_SETFOREGROUND) == 0)
        throw last_error("MessageBox");
}

WinTimer::WinTimer(std::int32_t interval_ms) : interval_ms_(interval_ms) {
    register_class(kTimerClass, timer_proc);
    window_ = CreateWindowExW(0, kTimerClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, module_instance(), nullptr);
    if (!window_) return;  // Without a window there are no ticks: new mail is then announced only once.
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetTimer(window_, kTimerId, static_cast<UINT>(interval_ms_), nullptr);
}

WinTimer::~WinTimer() {
    if (!window_) return;
    KillTimer(window_, kTimerId);
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
}

WinPanel::~WinPanel() {
    if (window_) DestroyWindow(window_);
    if (title_font_) DeleteObject(title_font_);
    if (version_font_) DeleteObject(version_font_);
}

void WinPanel::show() {
    if (!window_) {
        register_class(kPanelClass, panel_proc);
        window_ = CreateWindowExW(WS_EX_DLGMODALFRAME, kPanelClass, L"Outlook Dezaror Agent",
                                  WS_CAPTION | WS_SYSMENU | WS_POPUP, CW_USEDEFAULT, CW_USEDEFAULT, 360, 300, nullptr,
                                  nullptr, module_instance(), nullptr);
        if (!window_) throw last_error("The information panel could not be created");
        title_font_ = CreateFontW(26, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Times New Roman");
        version_font_ = CreateFontW(18, 0, 0, 0, FW_BLACK, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Arial Black");
        auto child = [&](const wchar_t* kind, const wchar_t* text, DWORD style, int x, int y, int w, int h, int id,
                         HFONT font) {
            HWND control =
                CreateWindowExW(0, kind, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, window_,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), module_instance(), nullptr);
            if (control && font) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
        };
        // Picture1: the panel's picture frame, 250 by 85 pixels.
        child(L"STATIC", L"", SS_ETCHEDFRAME, 50, 12, 250, 85, 0, nullptr);
        child(L"STATIC", L"Outlook Dezaror Agent", SS_CENTER, 10, 105, 330, 30, 0, title_font_);  // Label2
        child(L"STATIC", L"Version 1.1.2", SS_CENTER, 10, 138, 330, 24, 0, version_font_);        // Label3
        child(L"STATIC", L"Reads your mail to you with a talking character.", SS_CENTER, 10, 168, 330, 20, 0,
              nullptr);                                                                        // Label1
        child(L"BUTTON", L"OK", BS_DEFPUSHBUTTON, 90, 215, 80, 26, kOkButton, nullptr);        // OKButton
        child(L"BUTTON", L"Cancel", BS_PUSHBUTTON, 180, 215, 80, 26, kCancelButton, nullptr);  // CancelButton
    }
    ShowWindow(window_, SW_SHOWNORMAL);
    SetForegroundWindow(window_);
}

void WinPanel::hide() {
    if (window_) ShowWindow(window_, SW_HIDE);
}

platform::LocalTime WinClock::now() {
    SYSTEMTIME t{};
    GetLocalTime(&t);
    using namespace std::chrono;
    const local_days date{year{t.wYear} / month{t.wMonth} / day{t.wDay}};
    return date + hours{t.wHour} + minutes{t.wMinute} + seconds{t.wSecond};
}

// Randomize seeds from the seconds since midnight, as the runtime's does from its Timer.
void WinRandom::randomize() {
    const auto now = clock_.now();
    const auto since_midnight = now - std::chrono::floor<std::chrono::days>(now);
    const auto seconds = static_cast<std::uint32_t>(since_midnight.count());
    seed_ = ((seed_ & 0xFF00FFu) | ((seconds & 0xFFFFu) << 8)) & 0xFFFFFFu;
}

double WinRandom::next() {
    seed_ = (seed_ * 0xFD43FDu + 0xC39EC3u) & 0xFFFFFFu;
    return static_cast<double>(seed_) / 16777216.0;
}

WinHost::WinHost() : timer_(kTimer1Interval) {}

WinHost::~WinHost() = default;

std::shared_ptr<platform::Application> WinHost::application() {
    if (!application_) platform::throw_object_not_set();
    return application_;
}

}  // namespace win
