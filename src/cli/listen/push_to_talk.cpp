#include "cli/listen/push_to_talk.hpp"

#include <signal.h>
#include <unistd.h>

#include <array>

#include "cli/listen/recognizer.hpp"

namespace cli::listen {

namespace {

// The terminal's own mode, put back when Ctrl-C or a kill ends the program meanwhile, so the shell
// after it echoes again.
int restored_fd = -1;
termios restored_mode{};

extern "C" void restore_and_end(int signal) {
    ::tcsetattr(restored_fd, TCSANOW, &restored_mode);
    ::signal(signal, SIG_DFL);
    ::raise(signal);
}

}  // namespace

PushToTalk::PushToTalk(int fd) : fd_(fd) {
    termios mode{};
    if (!::isatty(fd_) || ::tcgetattr(fd_, &mode) != 0) return;
    saved_ = mode;
    mode.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO));
    mode.c_cc[VMIN] = 0;  // a read returns at once, with the keys pressed so far or none
    mode.c_cc[VTIME] = 0;
    restored_fd = fd_;
    restored_mode = *saved_;
    for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) ::signal(signal, restore_and_end);
    if (::tcsetattr(fd_, TCSANOW, &mode) != 0) saved_.reset();
}

PushToTalk::~PushToTalk() {
    if (!saved_) return;
    ::tcsetattr(fd_, TCSANOW, &*saved_);
    for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) ::signal(signal, SIG_DFL);
}

void ListeningKey::press(std::ostream& shown, std::ostream& errors) {
    if (capture_) {
        end_pressed_ = true;
        return;
    }
    try {
        capture_.emplace();
        shown << "(listening through " << capture_->program() << ": speak, then Ctrl-T or a pause)\n";
    } catch (const ListenError& e) {
        errors << "! " << e.what() << '\n';
    }
}

std::optional<std::vector<std::int16_t>> ListeningKey::ended(std::ostream& errors) {
    if (!capture_ || (!end_pressed_ && capture_->take())) return std::nullopt;
    end_pressed_ = false;
    try {
        auto samples = capture_->finish();
        capture_.reset();
        return samples;
    } catch (const ListenError& e) {
        capture_.reset();
        errors << "! " << e.what() << '\n';
        return std::nullopt;
    }
}

std::optional<std::vector<std::int16_t>> PushToTalk::poll(std::ostream& shown, std::ostream& errors) {
    if (saved_) {
        std::array<unsigned char, 64> keys{};
        for (ssize_t n; (n = ::read(fd_, keys.data(), keys.size())) > 0;)
            for (ssize_t i = 0; i < n; ++i)
                if (keys[static_cast<std::size_t>(i)] == kListeningKeyCode) key_.press(shown, errors);
    }
    return key_.ended(errors);
}

}  // namespace cli::listen
