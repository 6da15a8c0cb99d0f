#include "cli/listen/capture.hpp"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fmt/format.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string_view>
#include <utility>

#include "cli/listen/decoder_settings.hpp"
#include "cli/listen/recognizer.hpp"

extern char** environ;

namespace cli::listen {

namespace {

// Judged 20 ms at a time.
constexpr std::size_t kFrame = settings::kSampleRate / 50;
// Half a second of silence after speech ends the utterance.
constexpr std::size_t kSilentFramesToEnd = 25;
// A frame is speech when it is this much louder than the room, and at least this loud (16-bit RMS).
constexpr double kAboveRoom = 3.0;
constexpr double kQuietestSpeech = 400.0;
// No command takes longer to say.
constexpr std::size_t kLongest = 10 * static_cast<std::size_t>(settings::kSampleRate);

const std::string kRate = std::to_string(settings::kSampleRate);

std::vector<std::string> recorder_arguments(const std::string& program) {
    if (std::filesystem::path(program).filename() == "parecord")
        return {program, "--raw", "--format=s16le", "--rate=" + kRate, "--channels=1", "--latency-msec=20"};
    return {program, "-q", "-t", "raw", "-f", "S16_LE", "-r", kRate, "-c", "1"};
}

void read_available(int fd, std::string& into, bool& ended) {
    char buffer[8192];
    for (;;) {
        const auto n = ::read(fd, buffer, sizeof buffer);
        if (n > 0) {
            into.append(buffer, static_cast<std::size_t>(n));
            continue;
        }
        if (n == 0) ended = true;
        if (n < 0 && errno == EINTR) continue;
        return;
    }
}

}  // namespace

std::optional<std::string> recorder_program() {
    const char* path = std::getenv("PATH");
    if (!path) return std::nullopt;
    for (const std::string_view name : {"parecord", "arecord"}) {
        std::string_view dirs(path);
        while (!dirs.empty()) {
            const auto end = std::min(dirs.find(':'), dirs.size());
            const auto dir = dirs.substr(0, end);
            dirs.remove_prefix(std::min(end + 1, dirs.size()));
            if (dir.empty()) continue;
            const auto file = std::filesystem::path(dir) / name;
            if (::access(file.c_str(), X_OK) == 0) return file.string();
        }
    }
    return std::nullopt;
}

std::optional<std::string> listening_unavailable(bool microphone) {
    if (!recognizer_built()) {
        try {
            Recognizer says_what_to_install;
        } catch (const ListenError& e) {
            return e.what();
        }
    }
    if (microphone && !recorder_program())
        return "listening records from the default capture device with parecord or arecord, and neither is on PATH: "
               "install the package pulseaudio-utils (parecord) or alsa-utils (arecord)";
    return std::nullopt;
}

Capture::Capture() {
    const auto program = recorder_program();
    if (!program)
        throw ListenError(*listening_unavailable(true));
    program_ = std::filesystem::path(*program).filename().string();
    int samples[2], messages[2];
    if (::pipe2(samples, O_CLOEXEC) != 0) throw ListenError(fmt::format("cannot start {}: {}", program_, std::strerror(errno)));
    if (::pipe2(messages, O_CLOEXEC) != 0) {
        ::close(samples[0]);
        ::close(samples[1]);
        throw ListenError(fmt::format("cannot start {}: {}", program_, std::strerror(errno)));
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, samples[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, messages[1], STDERR_FILENO);
    const auto arguments = recorder_arguments(*program);
    std::vector<char*> argv;
    for (const auto& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const int spawned = ::posix_spawn(&pid_, program->c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(samples[1]);
    ::close(messages[1]);
    samples_fd_ = samples[0];
    messages_fd_ = messages[0];
    if (spawned != 0) {
        pid_ = -1;
        stop();
        throw ListenError(fmt::format("cannot start {}: {}", *program, std::strerror(spawned)));
    }
    ::fcntl(samples_fd_, F_SETFL, O_NONBLOCK);
    ::fcntl(messages_fd_, F_SETFL, O_NONBLOCK);
}

Capture::~Capture() { stop(); }

bool Capture::take() {
    if (samples_fd_ >= 0 && !ended_) {
        read_available(samples_fd_, bytes_, ended_);
        bool ignored = false;
        read_available(messages_fd_, messages_, ignored);
    }
    const auto whole = bytes_.size() / 2;
    for (std::size_t i = 0; i < whole; ++i) {
        const auto low = static_cast<unsigned char>(bytes_[2 * i]);
        const auto high = static_cast<unsigned char>(bytes_[2 * i + 1]);
        samples_.push_back(static_cast<std::int16_t>(static_cast<std::uint16_t>(low | (high << 8))));
    }
    bytes_.erase(0, whole * 2);
    look_for_silence();
    return !ended_;
}

// Ends the utterance at half a second of silence after speech, the room's sound being the quietest
// frame heard so far.
void Capture::look_for_silence() {
    for (; judged_ + kFrame <= samples_.size() && !ended_; judged_ += kFrame) {
        double sum = 0;
        for (std::size_t i = judged_; i < judged_ + kFrame; ++i) sum += double(samples_[i]) * double(samples_[i]);
        const double loudness = std::sqrt(sum / kFrame);
        if (quietest_ < 0 || loudness < quietest_) quietest_ = loudness;
        if (loudness >= std::max(kQuietestSpeech, kAboveRoom * quietest_)) {
            speech_ = true;
            silent_frames_ = 0;
        } else if (speech_ && ++silent_frames_ >= kSilentFramesToEnd) {
            ended_ = true;
        }
    }
    if (samples_.size() >= kLongest) ended_ = true;
}

std::vector<std::int16_t> Capture::finish() {
    take();
    stop();
    if (samples_.empty()) {
        auto said = std::string_view(messages_);
        while (!said.empty() && (said.back() == '\n' || said.back() == ' ')) said.remove_suffix(1);
        throw ListenError(said.empty() ? fmt::format("{} recorded nothing", program_)
                                       : fmt::format("{} recorded nothing: {}", program_, said));
    }
    return std::move(samples_);
}

void Capture::stop() {
    if (pid_ > 0) {
        ::kill(pid_, SIGTERM);
        while (::waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
        }
        pid_ = -1;
    }
    if (samples_fd_ >= 0) ::close(std::exchange(samples_fd_, -1));
    if (messages_fd_ >= 0) ::close(std::exchange(messages_fd_, -1));
    ended_ = true;
}

}  // namespace cli::listen
