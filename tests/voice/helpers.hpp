#pragma once

// Reading back what the voice wrote, and running the `dezaror` program as a user would.

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "support/temp_dir.hpp"

extern char** environ;

namespace voice_test {

// A WAV file as its header describes it.
struct Wav {
    bool riff = false;  // "RIFF", "WAVE", "fmt ", "data" where they belong
    std::uint32_t riff_size = 0;
    std::uint16_t format = 0;
    std::uint16_t channels = 0;
    std::uint32_t rate = 0;
    std::uint32_t byte_rate = 0;
    std::uint16_t bits = 0;
    std::uint32_t data_bytes = 0;
    std::uintmax_t file_size = 0;
    double seconds() const { return rate ? data_bytes / 2.0 / rate : 0; }
};

inline std::uint32_t le(const std::string& b, std::size_t at, int bytes) {
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(b[at + i]);
    return v;
}

inline Wav read_wav(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    const std::string b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    Wav w;
    w.file_size = b.size();
    if (b.size() < 44) return w;
    w.riff = b.compare(0, 4, "RIFF") == 0 && b.compare(8, 4, "WAVE") == 0 && b.compare(12, 4, "fmt ") == 0 &&
             b.compare(36, 4, "data") == 0 && le(b, 16, 4) == 16;
    w.riff_size = le(b, 4, 4);
    w.format = static_cast<std::uint16_t>(le(b, 20, 2));
    w.channels = static_cast<std::uint16_t>(le(b, 22, 2));
    w.rate = le(b, 24, 4);
    w.byte_rate = le(b, 28, 4);
    w.bits = static_cast<std::uint16_t>(le(b, 34, 2));
    w.data_bytes = le(b, 40, 4);
    return w;
}

inline void write_file(const std::filesystem::path& path, std::string_view text) {
    std::ofstream(path, std::ios::binary) << text;
}

// The `dezaror` program with its standard input and output on pipes, read line by line as it
// writes them.
class Program {
public:
    explicit Program(const std::vector<std::string>& args) {
        int in[2];
        int out[2];
        if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        std::vector<std::string> all{DEZAROR_BINARY};
        all.insert(all.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (auto& a : all) argv.push_back(a.data());
        argv.push_back(nullptr);
        if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        ::close(in[0]);
        ::close(out[1]);
        to_ = in[1];
        from_ = out[0];
    }
    ~Program() {
        close_input();
        if (from_ >= 0) ::close(from_);
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    bool started() const { return pid_ > 0; }

    void type(std::string_view line) {
        std::string text(line);
        text += '\n';
        [[maybe_unused]] const auto n = ::write(to_, text.data(), text.size());
    }
    // Ctrl-D at the prompt: the end of its input.
    void close_input() {
        if (to_ >= 0) ::close(std::exchange(to_, -1));
    }

    // The next line written, or nothing once `timeout` passes or the output ends.
    std::optional<std::string> next_line(std::chrono::milliseconds timeout) {
        const auto until = std::chrono::steady_clock::now() + timeout;
        for (;;) {
            if (const auto nl = pending_.find('\n'); nl != std::string::npos) {
                std::string line = pending_.substr(0, nl);
                pending_.erase(0, nl + 1);
                seen_.push_back(line);
                return line;
            }
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(until - std::chrono::steady_clock::now());
            if (left.count() <= 0 || from_ < 0) return std::nullopt;
            pollfd p{from_, POLLIN, 0};
            if (::poll(&p, 1, static_cast<int>(left.count())) <= 0) continue;
            char buffer[4096];
            const auto n = ::read(from_, buffer, sizeof buffer);
            if (n <= 0) {
                ::close(std::exchange(from_, -1));
                continue;
            }
            pending_.append(buffer, static_cast<std::size_t>(n));
        }
    }

    // Reads lines until one satisfies `wanted`; the lines read on the way, that one last. Empty
    // when it never comes within `timeout`.
    std::vector<std::string> until(const std::function<bool(const std::string&)>& wanted,
                                   std::chrono::milliseconds timeout) {
        const auto end = std::chrono::steady_clock::now() + timeout;
        std::vector<std::string> lines;
        for (;;) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
            auto line = next_line(std::max(left, std::chrono::milliseconds(0)));
            if (!line) return {};
            lines.push_back(*line);
            if (wanted(*line)) return lines;
        }
    }
    std::vector<std::string> until_line(std::string_view prefix, std::chrono::milliseconds timeout) {
        return until([prefix](const std::string& l) { return l.starts_with(prefix); }, timeout);
    }

    // Every line until the output ends, and the exit status.
    int finish(std::chrono::milliseconds timeout) {
        while (next_line(timeout)) {
        }
        int status = 0;
        if (pid_ > 0 && ::waitpid(std::exchange(pid_, -1), &status, 0) > 0 && WIFEXITED(status))
            return WEXITSTATUS(status);
        return -1;
    }

    const std::vector<std::string>& seen() const { return seen_; }

private:
    pid_t pid_ = -1;
    int to_ = -1;
    int from_ = -1;
    std::string pending_;
    std::vector<std::string> seen_;
};

}  // namespace voice_test
