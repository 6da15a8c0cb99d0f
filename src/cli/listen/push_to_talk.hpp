#pragma once

#include <termios.h>

#include <cstdint>
#include <optional>
#include <ostream>
#include <vector>

#include "cli/listen/capture.hpp"

// Push-to-talk where no line editor reads the keys (the demo): Ctrl-T starts an utterance from the
// default capture device, and Ctrl-T again or half a second of silence ends it.
namespace cli::listen {

// The terminal key standing for the character's listening key.
inline constexpr unsigned char kListeningKeyCode = 0x14;  // Ctrl-T

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
    bool recording() const { return capture_.has_value(); }

private:
    int fd_;
    std::optional<termios> saved_;
    std::optional<Capture> capture_;
};

}  // namespace cli::listen
