#include "cli/demo.hpp"

#include <unistd.h>

#include <chrono>
#include <functional>
#include <istream>
#include <algorithm>
#include <optional>
#include <sstream>
#include <ostream>
#include <thread>

#include "cli/listen/capture.hpp"
#include "cli/listen/push_to_talk.hpp"
#include "cli/live.hpp"
#include "cli/scenario.hpp"
#include "cli/session.hpp"
#include "cli/view.hpp"
#include "platform/agent.hpp"
#include "sim/outlook.hpp"

namespace cli {

namespace {

// How long the user of the tour takes before acting, when the character leaves room.
constexpr std::chrono::milliseconds kUsersPause{500};

// Waits `pause`, looking at the listening key meanwhile when there is one.
void user_pause(std::chrono::milliseconds pause, const std::function<void()>& listen) {
    const auto until = std::chrono::steady_clock::now() + pause;
    if (!listen) return std::this_thread::sleep_until(until);
    for (auto now = std::chrono::steady_clock::now(); now < until; now = std::chrono::steady_clock::now()) {
        listen();
        std::this_thread::sleep_until(std::min(until, now + std::chrono::milliseconds(30)));
    }
}

int play_tour(Session& session, LiveCharacter* live, std::istream& tour, const std::string& file,
              const std::function<void()>& listen = {}) {
    Place place{file, 0};
    for (std::string line; std::getline(tour, line);) {
        ++place.line;
        if (strip_comment(line).empty()) continue;
        if (live && live->idle()) user_pause(kUsersPause, listen);
        if (!session.execute(line, place)) return kUnusable;
        if (live) live->advance();
    }
    return 0;
}

// The tour of a mailbox of the user's own, whose ids are not the sample's: the character previews
// the new mail and reads the first message of the Inbox.
std::string own_tour(Session& session) {
    const auto& paths = session.folder_paths();
    const auto inbox = std::ranges::find(paths, "Inbox") != paths.end() ? std::string("Inbox")
                       : paths.empty()                                  ? std::string()
                                                                        : paths.front();
    std::string first;
    if (!inbox.empty()) {
        // "PATH ID ID ...".
        const auto shown = session.sim().sim_outlook().show_folder(inbox);
        std::istringstream ids(shown.substr(inbox.size()));
        ids >> first;
    }
    std::string tour = "start\nsetting PlayIntro False\nclick button\ndone\n";
    tour += "say preview new messages\ndone 8\nsay stop previewing\ndone\n";
    if (!first.empty()) tour += "select " + first + "\nsay read this message\ndone 12\nsay stop reading\ndone\n";
    return tour + "click button\ndone\n";
}

}  // namespace

int demo(const SimInputs& inputs, const VoiceOptions& voice, std::istream& tour, const std::string& file,
         std::ostream& out, std::ostream& warnings, Shown shown, bool listen) {
    if (listen) {
        if (const auto why = listen::listening_unavailable(true)) {
            warnings << "dezaror: " << *why << std::endl;
            return kUnusable;
        }
    }
    // What happens is shown as it happens, not when a buffer fills.
    out.setf(std::ios::unitbuf);
    return with_session(inputs, out, warnings, [&](Session& session) {
        std::istringstream own;
        std::istream* lines = &tour;
        auto name = file;
        if (inputs.mailbox) {
            own.str(own_tour(session));
            lines = &own;
            name = "own-tour.dz";
        }
        std::optional<PersonView> view;
        if (shown == Shown::Person) {
            view.emplace(session.sim(), out, warnings,
                         ViewOptions{.colour = colour_wanted(STDOUT_FILENO), .echo = true});
            session.show_with([&view](const std::string& line) { view->line(line); });
        }
        int status = 0;
        if (!voice.any() && !listen) {
            // Outside real time the character's speech is shown as `done` performs it.
            if (view) {
                session.sim().sim_agent().on_perform([&view](const sim::QueuedRequest& request, std::int32_t result) {
                    if (result == platform::kRequestComplete) view->performing(request);
                });
            }
            status = play_tour(session, nullptr, *lines, name);
            session.sim().sim_agent().on_perform({});
        } else {
            status = with_voice(voice, warnings, warnings, [&](Voice* heard) {
                LiveCharacter live(session.sim(), heard);
                if (view) live.on_start([&view](const sim::QueuedRequest& request) { view->performing(request); });
                session.on_done([&live](std::optional<std::int64_t> n) { live.perform(n); });
                // Push-to-talk: an utterance heard as a `hear` line's recording, as at the prompt.
                std::optional<listen::PushToTalk> talk;
                std::function<void()> heard_now;
                if (listen) {
                    talk.emplace(STDIN_FILENO);
                    heard_now = [&] {
                        const auto samples = talk->poll(out, warnings);
                        if (!samples) return;
                        session.hear_spoken(*samples, out, warnings);
                        live.advance();
                    };
                    live.while_waiting(heard_now);
                }
                const int played = play_tour(session, &live, *lines, name, heard_now);
                live.while_waiting({});
                live.stop();
                session.on_done({});
                return played;
            });
        }
        if (view) view->flush();
        session.show_with({});
        return status;
    });
}

}  // namespace cli
