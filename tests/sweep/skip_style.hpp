#pragma once

// Procedures whose every statement skips its own failure, as the platform sees them: the calls of
// each statement in order. When one of these calls fails, the statement it belongs to is cut short
// and every later statement must still make its calls.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sweep {

struct SkipStyleProcedure {
    std::string_view name;
    std::vector<std::vector<std::string_view>> statements;
};

inline const std::vector<SkipStyleProcedure>& skip_style_procedures() {
    static const std::vector<SkipStyleProcedure> procedures = {
        // The connection dresses its new toolbar button, one property at a time.
        {"OnConnection", {{"Caption"}, {"BeginGroup"}, {"Style"}, {"State"}, {"TooltipText"}}},
        // A click reads the control's caption, then ToggleAgent raises both controls.
        {"oMyCB_Click", {{"Caption"}, {"State"}, {"State"}}},
        {"ExitAgent", {{"StopAll"}, {"Play"}, {"Speak"}, {"Hide"}}},
        // SaveAgent writes a position only when it could read it.
        {"CloseAgent",
         {{"StopAll"},
          {"SaveSetting"},
          {"Left", "SaveSetting"},
          {"Top", "SaveSetting"},
          {"SaveSetting"},
          {"SaveSetting"},
          {"SaveSetting"},
          {"SaveSetting"},
          {"SaveSetting"},
          {"Characters.Unload"},
          {"Connected"}}},
        {"CloseAgent", {{"Characters.Unload"}, {"Connected"}}},
        // The introduction from its first animation on (the start position it reads before decides
        // whether the tour ends with a move back). Pointing at the button is one statement.
        {"AgentGreetings", {{"Play"},   {"Speak"},
                            {"MoveTo"}, {"Name", "Speak"},
                            {"Play"},   {"Play"},
                            {"Speak"},  {"SpeechInput.HotKey"},
                            {"Speak"},  {"Play"},
                            {"Speak"},  {"Play"},
                            {"Play"},   {"Speak"},
                            {"Play"},   {"Play"},
                            {"Speak"},  {"Play"},
                            {"MoveTo"}, {"Play"},
                            {"Speak"},  {"Left", "Top", "GestureAt"},
                            {"Speak"},  {"Play"},
                            {"Speak"},  {"Think"},
                            {"Speak"},  {"Play"},
                            {"Play"},   {"Play"},
                            {"Play"},   {"Play"},
                            {"Play"},   {"Think"},
                            {"Play"},   {"Speak"},
                            {"Speak"},  {"Left", "Top", "GestureAt"},
                            {"Speak"},  {"Play"},
                            {"Speak"},  {"Play"},
                            {"Speak"},  {"Speak"},
                            {"Play"},   {"Speak"},
                            {"Play"},   {"MoveTo"},
                            {"Play"},   {"Think"},
                            {"Play"},   {"Play"},
                            {"Play"},   {"SpeechInput.HotKey"},
                            {"Speak"}}},
    };
    return procedures;
}

struct SkipCheck {
    bool covered = false;                // the failed call belongs to a skip-style procedure
    std::optional<std::string> missing;  // what the procedure failed to call afterwards
};

// Where the n-th call (1-based) of `base` falls inside a run of a skip-style procedure, the calls
// the procedure still had to make must follow the failed call in `faulted`.
inline SkipCheck check_skip_style(const std::vector<std::string>& base, const std::vector<std::string>& faulted,
                                  std::uint64_t n) {
    SkipCheck result;
    const std::size_t failed = n - 1;
    for (const auto& procedure : skip_style_procedures()) {
        std::vector<std::string_view> calls;
        std::vector<std::size_t> statement_of;
        for (std::size_t s = 0; s < procedure.statements.size(); ++s) {
            for (const auto call : procedure.statements[s]) {
                calls.push_back(call);
                statement_of.push_back(s);
            }
        }
        // Every start of the procedure's calls in `base` that covers the failed call.
        for (std::size_t k = 0; k < calls.size(); ++k) {
            if (failed < k || failed - k + calls.size() > base.size()) continue;
            const std::size_t start = failed - k;
            bool match = true;
            for (std::size_t i = 0; i < calls.size() && match; ++i) match = base[start + i] == calls[i];
            if (!match) continue;
            result.covered = true;
            // The rest of the failed statement is skipped; the later statements run.
            std::size_t next = k + 1;
            while (next < calls.size() && statement_of[next] == statement_of[k]) ++next;
            for (std::size_t i = next, at = failed + 1; i < calls.size(); ++i, ++at) {
                if (at >= faulted.size() || faulted[at] != calls[i]) {
                    result.missing = std::string(procedure.name) + " stopped after its failing " + base[failed] +
                                     ": no " + std::string(calls[i]) + " followed";
                    return result;
                }
            }
        }
    }
    return result;
}

}  // namespace sweep
