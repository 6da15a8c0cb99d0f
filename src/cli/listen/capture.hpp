#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Speech from the default capture device, for push-to-talk at the prompt.
namespace cli::listen {

// The program that records from the default capture device: parecord, else arecord, as found on
// PATH; none when neither is there.
std::optional<std::string> recorder_program();

// Why listening cannot be used here, or nothing: the recogniser is not built in (what to install),
// or, for a microphone, neither recording program is on PATH.
std::optional<std::string> listening_unavailable(bool microphone);

// One utterance being recorded through the recording program, as 16-bit mono samples at 16 kHz.
// It is over at half a second of silence after speech, when the program stops, or at the longest
// an utterance may take; the key that started it ends it with `finish` at any time.
class Capture {
public:
    // Starts the recording program. Throws ListenError when there is none, or it cannot start.
    Capture();
    ~Capture();
    Capture(const Capture&) = delete;
    Capture& operator=(const Capture&) = delete;

    // Takes the samples recorded so far, without waiting; false once the utterance is over.
    bool take();

    // Stops the recording: the samples of the utterance. Throws ListenError when the program
    // recorded nothing, with what it said.
    std::vector<std::int16_t> finish();

    const std::string& program() const { return program_; }

private:
    void stop();
    void look_for_silence();

    std::string program_;
    pid_t pid_ = -1;
    int samples_fd_ = -1;
    int messages_fd_ = -1;
    bool ended_ = false;
    std::string bytes_;
    std::string messages_;
    std::vector<std::int16_t> samples_;
    std::size_t judged_ = 0;  // samples already judged speech or silence
    double quietest_ = -1;    // the quietest frame so far: the room's own sound
    bool speech_ = false;
    std::size_t silent_frames_ = 0;
};

}  // namespace cli::listen
