#pragma once

#include <termios.h>

#include <cstdint>
#include <optional>
#include <ostream>
#include <vector>

#include "cli/listen/capture.hpp"

// Push-to-talk: Ctrl-T starts an utterance from the default capture device, and Ctrl-T again or half
// a second of silence ends it. The prompt's line editor hands the presses to a ListeningKey; where no
// editor reads the keys (the demo), PushToTalk reads them itself.
namespace cli::listen {

// The terminal key standing for the character's listening key.
inline constexpr unsigned char kListeningKeyCode = 0x14;  // Ctrl-T

// The listening key's turns, wherever its presses come from: a press starts an utterance, and the
// next press, or the utterance's own end, finishes it.
class ListeningKey {
public:
    // Starts an utterance, saying so on `shown`, or asks the one being recorded to end. Why one
    // cannot start goes to `errors`.
    void press(std::ostream& shown, std::ostream& errors);
    // The samples of an utterance that has just ended, once; nothing while one is being recorded or
    // none is. Why its recording failed goes to `errors`.
    std::optional<std::vector<std::int16_t>> ended(std::ostream& errors);
    bool recording() const { return capture_.has_value(); }

private:
    std::optional<Capture> capture_;
    bool end_pressed_ = false;
};

class PushToTalk {
public:
    // While it lives, a terminal on `fd` hands over each key as it is pressed, without echoing it;
    // Ctrl-C still interrupts. Off a terminal no key is read.
    explicit PushToTalk(int fd);
    ~PushToTalk();
    PushToTalk(const PushToTalk&) = delete;
    PushToTalk& operator=(const PushToTalk&) = delete;

    // Looks at the keys pressed and the recording, without waiting: the samples of an utterance
    // that just ended. Says on `shown` when listening starts, and on `errors` why it could not.
    std::optional<std::vector<std::int16_t>> poll(std::ostream& shown, std::ostream& errors);
    bool recording() const { return key_.recording(); }

private:
    int fd_;
    std::optional<termios> saved_;
    ListeningKey key_;
};

}  // namespace cli::listen
