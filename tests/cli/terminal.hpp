#pragma once

// The dezaror program on a pseudo-terminal of its own, as a person at a terminal runs it: keys go
// in, what it shows comes out.

#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace terminal {

class Terminal {
public:
    // Starts the program with `args`, and `env` ("NAME=VALUE") added to the environment.
    Terminal(const std::vector<std::string>& args, const std::vector<std::string>& env) {
        winsize size{};
        size.ws_row = 50;
        size.ws_col = 200;
        pid_ = ::forkpty(&fd_, nullptr, nullptr, &size);
        if (pid_ == 0) {
            for (const auto& e : env) ::putenv(const_cast<char*>(e.c_str()));
            std::vector<char*> argv{const_cast<char*>(DEZAROR_BINARY)};
            for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            ::execv(DEZAROR_BINARY, argv.data());
            ::_exit(127);
        }
    }
    ~Terminal() {
        if (pid_ > 0 && !exited_) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        if (fd_ >= 0) ::close(fd_);
    }
    Terminal(const Terminal&) = delete;
    Terminal& operator=(const Terminal&) = delete;

    bool started() const { return pid_ > 0; }
    void send(std::string_view keys) { [[maybe_unused]] auto n = ::write(fd_, keys.data(), keys.size()); }

    // Reads what comes until `text` appears after `from` in the output, or `limit` passes.
    bool wait_for(std::string_view text, std::chrono::milliseconds limit = std::chrono::seconds(20),
                  std::size_t from = 0) {
        const auto until = std::chrono::steady_clock::now() + limit;
        while (output_.find(text, from) == std::string::npos) {
            if (!read_until(until)) return output_.find(text, from) != std::string::npos;
        }
        return true;
    }
    // Reads for `length`, whatever comes.
    void read_for(std::chrono::milliseconds length) {
        const auto until = std::chrono::steady_clock::now() + length;
        while (read_until(until)) {
        }
    }
    // Reads to the end of the output; the exit status, or -1 when the program did not end in time.
    int finish(std::chrono::milliseconds limit = std::chrono::seconds(60)) {
        const auto until = std::chrono::steady_clock::now() + limit;
        while (read_until(until)) {
        }
        int status = 0;
        for (;;) {
            const auto done = ::waitpid(pid_, &status, WNOHANG);
            if (done == pid_) break;
            if (std::chrono::steady_clock::now() > until) return -1;
            ::usleep(20000);
        }
        exited_ = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    const std::string& output() const { return output_; }
    // The output's lines, without carriage returns.
    std::vector<std::string> lines() const {
        std::vector<std::string> out;
        std::string line;
        for (const char c : output_) {
            if (c == '\r') continue;
            if (c == '\n') {
                out.push_back(std::exchange(line, {}));
            } else {
                line += c;
            }
        }
        if (!line.empty()) out.push_back(line);
        return out;
    }

private:
    // False once the output ended or `until` passed.
    bool read_until(std::chrono::steady_clock::time_point until) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(until - std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;
        pollfd in{fd_, POLLIN, 0};
        if (::poll(&in, 1, static_cast<int>(left.count())) <= 0) return false;
        char buffer[4096];
        const auto n = ::read(fd_, buffer, sizeof buffer);
        if (n <= 0) return false;
        output_.append(buffer, static_cast<std::size_t>(n));
        return true;
    }

    int fd_ = -1;
    pid_t pid_ = -1;
    bool exited_ = false;
    std::string output_;
};

}  // namespace terminal
