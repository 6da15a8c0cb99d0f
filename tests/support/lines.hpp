#pragma once

// Checks on transcript lines for tests that look at a few of the acts among many: the reading an
// action starts queues requests of its own, so these tests drop request numbers and look for
// lines in order rather than for the whole transcript.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "sim/sim_platform.hpp"

namespace support {

using Lines = std::vector<std::string>;

// "agent: speak \"Hi.\" #57" becomes "agent: speak \"Hi.\"".
inline Lines without_request_ids(Lines lines) {
    for (auto& line : lines) {
        const auto hash = line.rfind(" #");
        if (line.starts_with("agent: ") && hash != std::string::npos && hash + 2 < line.size() &&
            line.find_first_not_of("0123456789", hash + 2) == std::string::npos)
            line.erase(hash);
    }
    return lines;
}

// The transcript lines since the last take, without request numbers. A platform error that escaped a
// handler is a bug in the procedure, whatever the test looks at.
inline Lines take_acts(sim::SimPlatform& sim) {
    auto lines = without_request_ids(sim.transcript().take());
    for (const auto& line : lines) EXPECT_FALSE(line.starts_with("error: ")) << line;
    return lines;
}

inline ::testing::AssertionResult has_in_order(const Lines& lines, const Lines& expected) {
    auto at = lines.begin();
    for (const auto& want : expected) {
        at = std::find(at, lines.end(), want);
        if (at == lines.end()) {
            std::string all;
            for (const auto& l : lines) all += "\n  " + l;
            return ::testing::AssertionFailure() << "missing in order: " << want << "\nin:" << all;
        }
        ++at;
    }
    return ::testing::AssertionSuccess();
}

// Whether any line holds `text`.
inline bool has(const Lines& lines, std::string_view text) {
    return std::any_of(lines.begin(), lines.end(), [&](const auto& l) { return l.find(text) != std::string::npos; });
}

}  // namespace support
