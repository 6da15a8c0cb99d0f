#include "cli/repl.hpp"

#include <editline/readline.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <istream>
#include <memory>
#include <string>

#include "cli/session.hpp"

namespace cli {

namespace {

constexpr std::string_view kReplName = "<repl>";
constexpr const char* kPrompt = "dezaror> ";

// The prompt's history survives the session, kept with the user's other state files.
std::filesystem::path history_file() {
    std::filesystem::path dir;
    if (const char* state = std::getenv("XDG_STATE_HOME"); state && *state) {
        dir = state;
    } else if (const char* home = std::getenv("HOME"); home && *home) {
        dir = std::filesystem::path(home) / ".local" / "state";
    } else {
        return {};
    }
    return dir / "dezaror" / "history";
}

// One line from the terminal with editing, or from a pipe as it is.
class LineSource {
public:
    explicit LineSource(std::istream& in) : in_(in), terminal_(&in == &std::cin && ::isatty(STDIN_FILENO)) {
        if (!terminal_) return;
        history_ = history_file();
        if (history_.empty()) return;
        std::error_code ignored;
        std::filesystem::create_directories(history_.parent_path(), ignored);
        ::read_history(history_.c_str());
    }
    ~LineSource() {
        if (terminal_ && !history_.empty()) ::write_history(history_.c_str());
    }
    LineSource(const LineSource&) = delete;
    LineSource& operator=(const LineSource&) = delete;

    bool next(std::string& line) {
        if (!terminal_) return static_cast<bool>(std::getline(in_, line));
        const std::unique_ptr<char, decltype(&std::free)> read(::readline(kPrompt), &std::free);
        if (!read) return false;
        line = read.get();
        if (line.find_first_not_of(" \t") != std::string::npos) ::add_history(read.get());
        return true;
    }

private:
    std::istream& in_;
    bool terminal_;
    std::filesystem::path history_;
};

}  // namespace

// FIXME: the character performs only on `done` until speech in real time comes with the voice.
int repl(const SimInputs& inputs, std::istream& in, std::ostream& out) {
    return with_session(inputs, out, [&](Session& session) {
        LineSource source(in);
        Place place{std::string(kReplName), 0};
        for (std::string line; source.next(line);) {
            ++place.line;
            session.execute(line, place);
        }
        return 0;
    });
}

}  // namespace cli
