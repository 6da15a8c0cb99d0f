#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "sim/transcript.hpp"

// Fault injection: any platform call of the simulator can be made to fail with a platform error.
//
// Every simulated platform call begins with check(NAME). The name is the member's name in the
// object model (`Speak`, `GetDefaultFolder`, `Body`, `UnRead`, `Delete`), prefixed by its
// collection where the model nests it (`Characters.Load`, `Controls.Add`, `Commands.Add`); a
// property's read and write share its name.
namespace sim {

class Faults {
public:
    explicit Faults(Transcript& transcript) : transcript_(transcript) {}

    // `fault CALL [N]`: CALL fails its next N calls, or every call until healed.
    void fail(std::string call, std::optional<int> times = std::nullopt);
    void heal(std::string_view call);
    void heal_all();

    // For a sweep over every call a run makes: the n-th call from now (1-based) fails, and with
    // `and_after` every call after it too.
    void fail_call_number(std::uint64_t n, bool and_after);
    std::uint64_t calls() const { return calls_; }
    std::uint64_t hits() const { return hits_; }

    // Counting mode: with the log on, every call's name is kept in order, so a sweep can tell which
    // call its N-th one was and what a procedure went on to call after a failure.
    void log_calls(bool on) { logging_ = on; }
    const std::vector<std::string>& call_log() const { return log_; }

    // Called at the start of every platform call. Throws PlatformError, after a `fault: CALL`
    // transcript line, when the call is to fail; `refused` lists the calls an item or folder of
    // the mailbox refuses ("fail" and "refuse" lists), which fail every time.
    void check(std::string_view call, std::span<const std::string> refused = {});

    // The platform error an injected fault throws for CALL.
    static std::int32_t error_number(std::string_view call);
    static std::string error_description(std::string_view call);

private:
    [[noreturn]] void hit(std::string_view call);

    Transcript& transcript_;
    std::map<std::string, std::optional<int>, std::less<>> failing_;
    std::uint64_t calls_ = 0;
    std::uint64_t hits_ = 0;
    std::optional<std::uint64_t> fail_at_;
    bool fail_after_ = false;
    bool logging_ = false;
    std::vector<std::string> log_;
};

}  // namespace sim
