#include "cli/demo.hpp"

#include <chrono>
#include <istream>
#include <optional>
#include <ostream>
#include <thread>

#include "cli/live.hpp"
#include "cli/scenario.hpp"
#include "cli/session.hpp"

namespace cli {

namespace {

// How long the user of the tour takes before acting, when the character leaves room.
constexpr std::chrono::milliseconds kUsersPause{500};

}  // namespace

int demo(const SimInputs& inputs, const VoiceOptions& voice, std::istream& tour, const std::string& file,
         std::ostream& out, std::ostream& warnings) {
    // The transcript is shown as it happens, not when a buffer fills.
    out.setf(std::ios::unitbuf);
    return with_voice(voice, out, warnings, [&](Voice* heard) {
        return with_session(inputs, out, [&](Session& session) {
            LiveCharacter live(session.sim(), heard);
            session.on_done([&live](std::optional<std::int64_t> n) { live.perform(n); });
            Place place{file, 0};
            int status = 0;
            for (std::string line; std::getline(tour, line);) {
                ++place.line;
                if (strip_comment(line).empty()) continue;
                if (live.idle()) std::this_thread::sleep_for(kUsersPause);
                if (!session.execute(line, place)) {
                    status = kUnusable;
                    break;
                }
                live.advance();
            }
            live.stop();
            session.on_done({});
            return status;
        });
    });
}

}  // namespace cli
