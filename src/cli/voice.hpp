#pragma once

#include <chrono>
#include <cstdint>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <functional>
#include <iosfwd>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

// The character's voice: speech synthesised by espeak-ng, played through a player program and
// recorded into a WAV file. Only the command line speaks; the simulator stays silent.
namespace cli {

// Speech output that cannot start or cannot be finished: the synthesizer, the WAV file.
struct VoiceError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

using Samples = std::vector<std::int16_t>;

// What the user asked to hear: aloud (`--voice`), into a WAV file (`--wav FILE`), both or neither.
struct VoiceOptions {
    bool aloud = false;
    std::optional<std::filesystem::path> wav;
    // An espeak-ng voice (`--voice-name`); without one, the language of each text's script.
    std::optional<std::string> voice_name;
    // Words a minute (`--rate`); without it, the voice's own pace.
    std::optional<int> rate;
    bool any() const { return aloud || wav.has_value(); }
};

// The espeak-ng voice that reads a text best where the user chose none: the language of the
// script most of its letters are in (Cyrillic as Russian, Greek, Chinese, Japanese, Korean, Arabic,
// Hebrew, Thai, Devanagari as Hindi, ...), English for Latin letters and text with none.
std::string_view voice_for_script(std::string_view text);

// espeak-ng in its synchronous mode: a text becomes mono 16-bit samples handed over a fifth of a
// second at a time, so recording needs no sound device. The engine is one per process, as the
// library keeps its state globally; one text is synthesised at a time.
class Synthesizer {
public:
    // Receives each chunk of samples; returning false stops the synthesis there.
    using Chunk = std::function<bool(std::span<const std::int16_t>)>;

    // Throws VoiceError when the engine or its voice data cannot be loaded.
    explicit Synthesizer(std::optional<std::string> voice_name = std::nullopt, std::optional<int> rate = std::nullopt);
    int sample_rate() const { return sample_rate_; }
    Samples speak(std::string_view text);
    // Synthesises `text` chunk by chunk; memory does not grow with the text's length.
    void speak_to(std::string_view text, const Chunk& chunk);

private:
    int sample_rate_ = 0;
    std::optional<std::string> voice_name_;
    std::optional<int> rate_;
};

// Speech synthesised while it is heard: a thread runs the synthesizer over the text and hands its
// samples over through a buffer of a few seconds, so the first samples come at once whatever the
// text's length, and memory stays flat. Destroying the stream cuts the synthesis at once.
class SpeechStream {
public:
    SpeechStream(Synthesizer& synthesizer, std::string text);
    ~SpeechStream();
    SpeechStream(const SpeechStream&) = delete;
    SpeechStream& operator=(const SpeechStream&) = delete;

    // Appends up to `most` of the samples synthesised so far to `into`; with `wait`, waits for
    // some when none are there yet and the synthesis goes on. Returns how many were appended.
    std::size_t take(Samples& into, std::size_t most, bool wait);
    // Every sample synthesised and taken.
    bool done() const;

private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::int16_t> buffer_;
    bool finished_ = false;
    bool cut_ = false;
    std::thread thread_;
};

// A mono 16-bit PCM WAV file. The samples go to a temporary file beside the target, which takes
// the target's name only when finished, so an interrupted run never leaves a half-written WAV.
class WavWriter {
public:
    // Throws VoiceError when the file cannot be created.
    WavWriter(std::filesystem::path path, int sample_rate);
    ~WavWriter();
    WavWriter(const WavWriter&) = delete;
    WavWriter& operator=(const WavWriter&) = delete;

    void write(std::span<const std::int16_t> samples);
    // Writes the sizes into the header and renames the file; throws VoiceError.
    void finish();

private:
    std::filesystem::path path_;
    std::filesystem::path temporary_;
    int sample_rate_;
    std::FILE* file_ = nullptr;
    std::uint32_t data_bytes_ = 0;
    bool full_ = false;
};

// A player program (aplay, else paplay) reading raw samples from a pipe. Its buffer is kept short,
// so audio stops soon after we stop feeding it.
class Player {
public:
    // The player, or none when no player program can be started.
    static std::unique_ptr<Player> open(int sample_rate);
    ~Player();
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;

    // False once the player has gone away (no device, killed); later writes are ignored.
    bool write(std::span<const std::int16_t> samples);

private:
    Player(int pipe, int pid) : pipe_(pipe), pid_(pid) {}
    int pipe_;
    int pid_;
};

// Silence of `length` at `sample_rate`.
Samples silence(std::chrono::milliseconds length, int sample_rate);
std::chrono::milliseconds length_of(std::size_t samples, int sample_rate);

// The voice as the user asked for it. Without a player program the character speaks silently,
// with a warning; the WAV is written all the same.
class Voice {
public:
    // Throws VoiceError when the synthesizer cannot start or the WAV file cannot be created.
    Voice(const VoiceOptions& options, std::ostream& warnings);
    ~Voice();
    Voice(const Voice&) = delete;
    Voice& operator=(const Voice&) = delete;

    int sample_rate() const { return synthesizer_.sample_rate(); }
    Samples speech(std::string_view text) { return synthesizer_.speak(text); }
    // Speech as it is synthesised: for the player in real time.
    std::unique_ptr<SpeechStream> stream(std::string text) {
        return std::make_unique<SpeechStream>(synthesizer_, std::move(text));
    }
    // Plays and records `text` chunk by chunk, as `done` outside real time performs it.
    void say(std::string_view text);
    // Samples being heard now: to the player, if any.
    void play(std::span<const std::int16_t> samples);
    // Samples that were heard: into the WAV, if any.
    void record(std::span<const std::int16_t> samples);
    // Finishes the WAV; throws VoiceError.
    void finish();

private:
    Synthesizer synthesizer_;
    std::unique_ptr<Player> player_;
    std::unique_ptr<WavWriter> wav_;
    std::ostream& warnings_;
};

}  // namespace cli
