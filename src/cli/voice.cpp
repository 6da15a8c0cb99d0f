#include "cli/voice.hpp"

#include <espeak-ng/speak_lib.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <limits>
#include <ostream>
#include <string>
#include <utility>

extern char** environ;

namespace cli {

namespace {

// How much audio espeak-ng hands over per callback, in milliseconds.
constexpr int kSynthesisChunkMs = 200;
// The player's own buffer: short, so a cut is heard at once.
constexpr std::string_view kPlayerBufferMicroseconds = "100000";
// A WAV file counts its bytes in 32 bits, header included.
constexpr std::uint32_t kMostDataBytes = std::numeric_limits<std::uint32_t>::max() - 36;

// Samples are handed over to the synthesis's chunk receiver; it returning false aborts the synthesis.
int collect_samples(short* wav, int count, espeak_EVENT* events) {
    if (wav == nullptr || count <= 0) return 0;
    const auto& chunk = *static_cast<const Synthesizer::Chunk*>(events->user_data);
    return chunk(std::span<const std::int16_t>(wav, static_cast<std::size_t>(count))) ? 0 : 1;
}

// The engine's state is global: one synthesis at a time, with its voice and rate.
std::mutex& engine_mutex() {
    static std::mutex mutex;
    return mutex;
}

// Most samples a speech stream holds ahead of the player: a few seconds.
constexpr std::size_t kMostBuffered = 22050 * 4;

struct ScriptVoice {
    char32_t first;
    char32_t last;
    std::string_view voice;
};

// Blocks of letters and the espeak-ng voice for their language.
constexpr std::array kScriptVoices{
    ScriptVoice{0x0370, 0x03FF, "el"},   ScriptVoice{0x0400, 0x052F, "ru"},   ScriptVoice{0x0530, 0x058F, "hy"},
    ScriptVoice{0x0590, 0x05FF, "he"},   ScriptVoice{0x0600, 0x06FF, "ar"},   ScriptVoice{0x0900, 0x097F, "hi"},
    ScriptVoice{0x0980, 0x09FF, "bn"},   ScriptVoice{0x0A80, 0x0AFF, "gu"},   ScriptVoice{0x0B80, 0x0BFF, "ta"},
    ScriptVoice{0x0C00, 0x0C7F, "te"},   ScriptVoice{0x0C80, 0x0CFF, "kn"},   ScriptVoice{0x0D00, 0x0D7F, "ml"},
    ScriptVoice{0x0E00, 0x0E7F, "th"},   ScriptVoice{0x10A0, 0x10FF, "ka"},   ScriptVoice{0x1100, 0x11FF, "ko"},
    ScriptVoice{0x3040, 0x30FF, "ja"},   ScriptVoice{0x3400, 0x4DBF, "cmn"},  ScriptVoice{0x4E00, 0x9FFF, "cmn"},
    ScriptVoice{0xAC00, 0xD7AF, "ko"},
};

// The library keeps one engine per process; it is started once, on first use, and lives on.
int engine_sample_rate() {
    static const int rate = [] {
        const int r =
            espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, kSynthesisChunkMs, nullptr, espeakINITIALIZE_DONT_EXIT);
        if (r <= 0) return 0;
        espeak_SetSynthCallback(collect_samples);
        return r;
    }();
    return rate;
}

void put_le(std::array<unsigned char, 44>& header, std::size_t at, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) header[at + i] = static_cast<unsigned char>(value >> (8 * i));
}

// The 44-byte header of a mono 16-bit PCM WAV, written by hand: RIFF chunk, "fmt " chunk, "data" chunk.
std::array<unsigned char, 44> wav_header(int sample_rate, std::uint32_t data_bytes) {
    std::array<unsigned char, 44> h{};
    std::memcpy(&h[0], "RIFF", 4);
    put_le(h, 4, 36 + data_bytes, 4);
    std::memcpy(&h[8], "WAVE", 4);
    std::memcpy(&h[12], "fmt ", 4);
    put_le(h, 16, 16, 4);                                           // size of the fmt chunk
    put_le(h, 20, 1, 2);                                            // PCM
    put_le(h, 22, 1, 2);                                            // mono
    put_le(h, 24, static_cast<std::uint32_t>(sample_rate), 4);      // samples a second
    put_le(h, 28, static_cast<std::uint32_t>(sample_rate) * 2, 4);  // bytes a second
    put_le(h, 32, 2, 2);                                            // bytes a frame
    put_le(h, 34, 16, 2);                                           // bits a sample
    std::memcpy(&h[36], "data", 4);
    put_le(h, 40, data_bytes, 4);
    return h;
}

std::string system_message(int error) { return std::strerror(error); }

// Samples as the WAV format and the players take them: little-endian whatever the machine.
std::vector<unsigned char> little_endian(std::span<const std::int16_t> samples) {
    std::vector<unsigned char> bytes;
    bytes.reserve(samples.size() * 2);
    for (const auto s : samples) {
        const auto u = static_cast<std::uint16_t>(s);
        bytes.push_back(static_cast<unsigned char>(u & 0xff));
        bytes.push_back(static_cast<unsigned char>(u >> 8));
    }
    return bytes;
}

}  // namespace

std::string_view voice_for_script(std::string_view text) {
    // Counts the letters of each script, reading the text as UTF-8 (it always is by now).
    std::array<std::size_t, kScriptVoices.size()> counts{};
    std::size_t latin = 0;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        char32_t c = length == 1 ? lead : lead & (0x7F >> length);
        for (std::size_t k = 1; k < length && i + k < text.size(); ++k)
            c = (c << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        i += length;
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= 0xC0 && c < 0x250)) {
            ++latin;
            continue;
        }
        for (std::size_t s = 0; s < kScriptVoices.size(); ++s)
            if (c >= kScriptVoices[s].first && c <= kScriptVoices[s].last) ++counts[s];
    }
    // Kana beside Han is Japanese; the voices of one language pool their letters.
    std::size_t best = 0;
    std::string_view voice = "en";
    for (std::size_t s = 0; s < kScriptVoices.size(); ++s) {
        std::size_t n = 0;
        for (std::size_t t = 0; t < kScriptVoices.size(); ++t)
            if (kScriptVoices[t].voice == kScriptVoices[s].voice) n += counts[t];
        if (kScriptVoices[s].voice == "ja" && counts[s] > 0) n += counts[16] + counts[17];
        if (n > best) best = n, voice = kScriptVoices[s].voice;
    }
    return best > latin ? voice : "en";
}

Synthesizer::Synthesizer(std::optional<std::string> voice_name, std::optional<int> rate)
    : sample_rate_(engine_sample_rate()), voice_name_(std::move(voice_name)), rate_(rate) {
    if (sample_rate_ <= 0)
        throw VoiceError("the speech synthesizer espeak-ng cannot start: is espeak-ng-data installed?");
    if (voice_name_) {
        const std::lock_guard lock(engine_mutex());
        if (espeak_SetVoiceByName(voice_name_->c_str()) != EE_OK)
            throw VoiceError("--voice-name " + *voice_name_ + ": espeak-ng has no such voice (espeak-ng --voices lists them)");
    }
}

void Synthesizer::speak_to(std::string_view text, const Chunk& chunk) {
    if (text.empty()) return;
    const std::string terminated(text);  // espeak-ng reads up to the terminating zero
    const std::lock_guard lock(engine_mutex());
    const std::string voice = voice_name_ ? *voice_name_ : std::string(voice_for_script(text));
    if (espeak_SetVoiceByName(voice.c_str()) != EE_OK) espeak_SetVoiceByName("en");
    // The voice sets its own pace; a rate asked for is set after it.
    if (rate_) espeak_SetParameter(espeakRATE, *rate_, 0);
    espeak_Synth(terminated.c_str(), terminated.size() + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8, nullptr,
                 const_cast<Chunk*>(&chunk));
}

Samples Synthesizer::speak(std::string_view text) {
    Samples out;
    speak_to(text, [&out](std::span<const std::int16_t> samples) {
        out.insert(out.end(), samples.begin(), samples.end());
        return true;
    });
    return out;
}

SpeechStream::SpeechStream(Synthesizer& synthesizer, std::string text) {
    thread_ = std::thread([this, &synthesizer, text = std::move(text)] {
        synthesizer.speak_to(text, [this](std::span<const std::int16_t> samples) {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [&] { return cut_ || buffer_.size() < kMostBuffered; });
            if (cut_) return false;
            buffer_.insert(buffer_.end(), samples.begin(), samples.end());
            changed_.notify_all();
            return true;
        });
        const std::lock_guard lock(mutex_);
        finished_ = true;
        changed_.notify_all();
    });
}

SpeechStream::~SpeechStream() {
    {
        const std::lock_guard lock(mutex_);
        cut_ = true;
        changed_.notify_all();
    }
    thread_.join();
}

std::size_t SpeechStream::take(Samples& into, std::size_t most, bool wait) {
    std::unique_lock lock(mutex_);
    if (wait) changed_.wait(lock, [&] { return finished_ || !buffer_.empty(); });
    const std::size_t n = std::min(most, buffer_.size());
    into.insert(into.end(), buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(n));
    buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(n));
    if (n > 0) changed_.notify_all();
    return n;
}

bool SpeechStream::done() const {
    const std::lock_guard lock(mutex_);
    return finished_ && buffer_.empty();
}

WavWriter::WavWriter(std::filesystem::path path, int sample_rate) : path_(std::move(path)), sample_rate_(sample_rate) {
    temporary_ = path_;
    temporary_ += ".part";
    file_ = std::fopen(temporary_.c_str(), "wb");
    if (!file_) throw VoiceError(path_.string() + ": cannot be written: " + system_message(errno));
    const auto header = wav_header(sample_rate_, 0);
    std::fwrite(header.data(), 1, header.size(), file_);
}

WavWriter::~WavWriter() {
    if (!file_) return;
    std::fclose(file_);
    std::error_code ignored;
    std::filesystem::remove(temporary_, ignored);
}

void WavWriter::write(std::span<const std::int16_t> samples) {
    if (!file_ || full_) return;
    std::vector<unsigned char> bytes = little_endian(samples);
    // Past what the header can count, the recording ends rather than wrap around.
    if (bytes.size() > kMostDataBytes - data_bytes_) {
        bytes.resize(kMostDataBytes - data_bytes_);
        full_ = true;
    }
    std::fwrite(bytes.data(), 1, bytes.size(), file_);
    data_bytes_ += static_cast<std::uint32_t>(bytes.size());
}

void WavWriter::finish() {
    if (!file_) return;
    const auto header = wav_header(sample_rate_, data_bytes_);
    const bool written = std::fseek(file_, 0, SEEK_SET) == 0 &&
                         std::fwrite(header.data(), 1, header.size(), file_) == header.size() &&
                         std::fflush(file_) == 0 && !std::ferror(file_);
    const int error = errno;
    std::fclose(std::exchange(file_, nullptr));
    std::error_code failed;
    if (written) std::filesystem::rename(temporary_, path_, failed);
    if (!written || failed) {
        std::error_code ignored;
        std::filesystem::remove(temporary_, ignored);
        throw VoiceError(path_.string() +
                         ": cannot be written: " + (written ? failed.message() : system_message(error)));
    }
}

std::unique_ptr<Player> Player::open(int sample_rate) {
    const std::string rate = std::to_string(sample_rate);
    const std::string buffer = "--buffer-time=" + std::string(kPlayerBufferMicroseconds);
    const std::string pa_rate = "--rate=" + rate;
    const std::vector<std::vector<std::string>> players = {
        {"aplay", "-q", "-t", "raw", "-f", "S16_LE", "-c", "1", "-r", rate, buffer, "-"},
        {"paplay", "--raw", "--format=s16le", "--channels=1", pa_rate, "--latency-msec=100"},
    };
    // A player that goes away must not kill us with SIGPIPE: a failed write says so instead.
    ::signal(SIGPIPE, SIG_IGN);
    for (const auto& command : players) {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0) return nullptr;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[0], STDIN_FILENO);
        std::vector<char*> argv;
        for (const auto& arg : command) argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        pid_t pid = 0;
        const int failed = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(fds[0]);
        if (failed == 0) return std::unique_ptr<Player>(new Player(fds[1], pid));
        ::close(fds[1]);
    }
    return nullptr;
}

Player::~Player() {
    if (pipe_ >= 0) ::close(pipe_);
    int status = 0;
    ::waitpid(pid_, &status, 0);
}

bool Player::write(std::span<const std::int16_t> samples) {
    if (pipe_ < 0) return false;
    const std::vector<unsigned char> bytes = little_endian(samples);
    std::size_t done = 0;
    while (done < bytes.size()) {
        const auto n = ::write(pipe_, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ::close(std::exchange(pipe_, -1));
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

Samples silence(std::chrono::milliseconds length, int sample_rate) {
    if (length.count() <= 0) return {};
    return Samples(static_cast<std::size_t>(length.count() * sample_rate / 1000), 0);
}

std::chrono::milliseconds length_of(std::size_t samples, int sample_rate) {
    if (sample_rate <= 0) return {};
    return std::chrono::milliseconds(static_cast<std::int64_t>(samples) * 1000 / sample_rate);
}

Voice::Voice(const VoiceOptions& options, std::ostream& warnings)
    : synthesizer_(options.voice_name, options.rate), warnings_(warnings) {
    if (options.wav) wav_ = std::make_unique<WavWriter>(*options.wav, synthesizer_.sample_rate());
    if (options.aloud) {
        player_ = Player::open(synthesizer_.sample_rate());
        if (!player_)
            warnings_ << "dezaror: --voice needs aplay or paplay to play sound; the character speaks silently\n";
    }
}

Voice::~Voice() = default;

void Voice::play(std::span<const std::int16_t> samples) {
    if (!player_ || samples.empty()) return;
    if (player_->write(samples)) return;
    warnings_ << "dezaror: the audio player stopped (no sound device?); the character speaks silently\n";
    player_.reset();
}

void Voice::say(std::string_view text) {
    synthesizer_.speak_to(text, [this](std::span<const std::int16_t> samples) {
        play(samples);
        record(samples);
        return true;
    });
}

void Voice::record(std::span<const std::int16_t> samples) {
    if (wav_) wav_->write(samples);
}

void Voice::finish() {
    player_.reset();
    if (wav_) wav_->finish();
}

}  // namespace cli
