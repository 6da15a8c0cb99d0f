#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <iosfwd>
#include <memory>
#include <optional>
#include <span>
#include <stdexcept>
#include <string_view>
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
    bool any() const { return aloud || wav.has_value(); }
};

// espeak-ng in its synchronous mode: a text becomes mono 16-bit samples in memory, so recording
// needs no sound device. The engine is one per process, as the library keeps its state globally.
class Synthesizer {
public:
    // Throws VoiceError when the engine or its voice data cannot be loaded.
    Synthesizer();
    int sample_rate() const { return sample_rate_; }
    Samples speak(std::string_view text);

private:
    int sample_rate_ = 0;
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
