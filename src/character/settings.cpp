#include "character/settings.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <string>

#include "platform/ascii.hpp"
#include "platform/failure.hpp"

namespace character {

namespace {

using platform::kAppTitle;
using platform::skip_on_failure;

constexpr std::string_view kSection = "Settings";
constexpr std::string_view kDefaultAckLine = "Ok!|As you wish.|No problem!|I am here to serve.|Let's roll.";
constexpr std::string_view kDefaultExitLine = "Bye.|See you later.|Until next time.|Good bye.";
constexpr std::int16_t kDefaultPosition = 50;

std::string_view trim(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

// A decimal number, as the runtime reads one from text; nothing when the text is not one.
std::optional<double> to_number(std::string_view text) {
    text = trim(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

bool equals_ignoring_case(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b,
                              [](char x, char y) { return platform::lower_ascii(x) == platform::lower_ascii(y); });
}

// "True"/"False" in any case, or a number (nonzero is True).
std::optional<bool> to_boolean(std::string_view text) {
    if (equals_ignoring_case(trim(text), "True")) return true;
    if (equals_ignoring_case(trim(text), "False")) return false;
    if (auto number = to_number(text)) return *number != 0;
    return std::nullopt;
}

// A screen position: a number rounded half to even, as the runtime converts to a 16-bit integer.
std::optional<std::int16_t> to_position(std::string_view text) {
    auto number = to_number(text);
    if (!number) return std::nullopt;
    const double rounded = std::nearbyint(*number);
    if (rounded < std::numeric_limits<std::int16_t>::min() || rounded > std::numeric_limits<std::int16_t>::max())
        return std::nullopt;
    return static_cast<std::int16_t>(rounded);
}

std::string read(frmAgentCtrl& f, std::string_view key, std::string_view fallback) {
    return f.host.settings().get_setting(kAppTitle, kSection, key, fallback);
}

void write(frmAgentCtrl& f, std::string_view key, std::string_view value) {
    skip_on_failure([&] { f.host.settings().save_setting(kAppTitle, kSection, key, value); });
}

std::string_view boolean_text(bool on) { return on ? "True" : "False"; }

}  // namespace

// A value that does not convert is taken as absent: failing the whole start over a hand-edited
// setting would leave the user without the character, and the next save writes a good value back.
void LoadSettings(frmAgentCtrl& f) {
    f.sAckLine = read(f, "AcknowledgeLine", kDefaultAckLine);
    f.oAgentChar->set_left(to_position(read(f, "AgentLeft", "50")).value_or(kDefaultPosition));
    f.oAgentChar->set_top(to_position(read(f, "AgentTop", "50")).value_or(kDefaultPosition));
    f.sCurItemRef = read(f, "CurItemRef", "message");
    f.sExitLine = read(f, "ExitLine", kDefaultExitLine);
    f.sGreetLine =
        read(f, "GreetingLine", "Hello, " + f.sUserName + "|Welcome back " + f.sUserName + "|Good to see you again");
    f.bNeMSortDescend = to_boolean(read(f, "NeMSortDescend", "True")).value_or(true);
    f.bPlayIntro = to_boolean(read(f, "PlayIntro", "True")).value_or(true);
}

void SaveAgent(frmAgentCtrl& f) {
    if (!f.bAgentLoaded) return;
    write(f, "AcknowledgeLine", f.sAckLine);
    if (auto left = skip_on_failure([&] { return f.oAgentChar->left(); })) write(f, "AgentLeft", std::to_string(*left));
    if (auto top = skip_on_failure([&] { return f.oAgentChar->top(); })) write(f, "AgentTop", std::to_string(*top));
    // Dispatch takes the item word from whatever was heard ("contact", "task"); only the words for a
    // mail item are worth keeping.
    if (std::string_view("emailitemmessage").find(f.sCurItemRef) != std::string_view::npos)
        write(f, "CurItemRef", f.sCurItemRef);
    write(f, "ExitLine", f.sExitLine);
    write(f, "GreetingLine", f.sGreetLine);
    write(f, "NeMSortDescend", boolean_text(f.bNeMSortDescend));
    write(f, "PlayIntro", boolean_text(f.bPlayIntro));
}

void OKButton_Click(frmAgentCtrl& f) {
    skip_on_failure([&] { f.host.panel().hide(); });
}

void CancelButton_Click(frmAgentCtrl& f) {
    skip_on_failure([&] { f.host.panel().hide(); });
}

}  // namespace character
