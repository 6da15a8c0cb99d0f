#include "cli/repl.hpp"

#include <editline/readline.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <span>
#include <streambuf>
#include <string>

#include "character/form.hpp"
#include "cli/listen/capture.hpp"
#include "cli/listen/hearing.hpp"
#include "cli/listen/push_to_talk.hpp"
#include "cli/live.hpp"
#include "cli/view.hpp"
#include "platform/agent.hpp"
#include "platform/ascii.hpp"
#include "sim/edge.hpp"
#include "sim/outlook.hpp"
#include "sim/transcript.hpp"
#include "cli/scenario.hpp"
#include "cli/session.hpp"

namespace cli {

namespace {

constexpr std::string_view kReplName = "<repl>";
constexpr const char* kPrompt = "dezaror> ";

// What the prompt adds to the scenario language: its keys, help and completion.
constexpr auto kPromptKeys = std::to_array<HelpLine>({
    {"hear", "Ctrl-T", "with repl --listen: the listening key; speak, then Ctrl-T again or pause"},
});
constexpr std::string_view kPromptHelp =
    "help lists these commands; Tab completes commands, spoken commands after say, ids and folders.\n"
    "Ctrl-C cuts what the character is saying; Ctrl-C twice, or Ctrl-D, takes the character down and ends the prompt.\n";

constexpr std::string_view kBanner =
    "dezaror: the mail client and its character at a prompt; type help for the commands, Ctrl-D to leave.\n";

// A second Ctrl-C this soon after the first leaves the prompt.
constexpr std::chrono::seconds kSecondInterrupt{2};

// Presses are counted, not flagged: two that come while the loop is busy still mean "leave".
std::atomic<int> interrupts{0};
static_assert(std::atomic<int>::is_always_lock_free, "counted from a signal handler");
void on_interrupt(int) { interrupts.fetch_add(1, std::memory_order_relaxed); }

// Ctrl-C at the prompt is the program's to handle while it runs, and the default's again after.
class InterruptKey {
public:
    InterruptKey() {
        struct sigaction action {};
        action.sa_handler = &on_interrupt;
        sigemptyset(&action.sa_mask);
        ::sigaction(SIGINT, &action, &previous_);
    }
    ~InterruptKey() { ::sigaction(SIGINT, &previous_, nullptr); }
    InterruptKey(const InterruptKey&) = delete;
    InterruptKey& operator=(const InterruptKey&) = delete;
    // The presses since the last look.
    static int take() { return interrupts.exchange(0, std::memory_order_relaxed); }
    // The same, left for that look.
    static int pending() { return interrupts.load(std::memory_order_relaxed); }

private:
    struct sigaction previous_ {};
};

std::vector<std::string> split_words(std::string_view text) {
    std::vector<std::string> words;
    std::size_t at = 0;
    while (at < text.size()) {
        const auto start = text.find_first_not_of(" \t", at);
        if (start == std::string_view::npos) break;
        const auto end = std::min(text.find_first_of(" \t", start), text.size());
        words.emplace_back(text.substr(start, end - start));
        at = end;
    }
    return words;
}

// The menu's enabled commands as one would say them: captions without their key marks.
std::vector<std::string> spoken_commands(Session& session) {
    std::vector<std::string> spoken;
    auto& agent = session.sim().sim_agent();
    if (!agent.loaded()) return spoken;
    for (const auto& entry : agent.menu_lines()) {
        std::string_view caption = entry;
        if (caption.starts_with("menu: ")) caption.remove_prefix(6);
        if (caption.ends_with(" (greyed)")) continue;
        spoken.push_back(sim::plain_caption(caption));
    }
    return spoken;
}

std::vector<std::string> item_ids(Session& session) {
    std::vector<std::string> ids;
    for (const auto& path : session.folder_paths()) {
        try {
            auto words = split_words(session.sim().sim_outlook().show_folder(path));
            // "PATH ID ID ...": a path may hold blanks, so the ids are the words the path leaves.
            const auto path_words = split_words(path).size();
            if (words.size() > path_words) ids.insert(ids.end(), words.begin() + static_cast<std::ptrdiff_t>(path_words), words.end());
        } catch (const std::exception&) {
            // A folder removed meanwhile holds nothing to complete.
        }
    }
    return ids;
}

// The words spoken commands are completed from: the phrases of the menu that begin with what
// was said so far, without those words.
std::vector<std::string> spoken_completions(Session& session, std::string_view said_so_far) {
    const auto said = split_words(platform::lower_ascii(said_so_far));
    std::vector<std::string> out;
    for (const auto& phrase : spoken_commands(session)) {
        const auto phrase_words = split_words(phrase);
        if (phrase_words.size() <= said.size()) continue;
        if (!std::equal(said.begin(), said.end(), phrase_words.begin())) continue;
        std::string rest;
        for (auto w = phrase_words.begin() + static_cast<std::ptrdiff_t>(said.size()); w != phrase_words.end(); ++w)
            rest += (rest.empty() ? "" : " ") + *w;
        out.push_back(rest);
    }
    return out;
}

// What may follow `before` (the line up to the word being completed), as whole words, by the forms
// of the scenario commands: a written word as it stands, item ids for ids, folder paths for paths,
// and the words after `say` as the phrases they belong to.
std::vector<std::string> completions(Session& session, std::string_view before) {
    const auto words = split_words(before);
    std::vector<std::string> out;
    const auto add = [&out](std::vector<std::string> more) {
        for (auto& word : more)
            if (std::find(out.begin(), out.end(), word) == out.end()) out.push_back(std::move(word));
    };
    if (words.empty()) {
        for (const auto& command : scenario_commands()) add({std::string(command.name())});
        add({"help"});
        return out;
    }
    for (const auto& command : scenario_commands()) {
        if (command.name() != words.front()) continue;
        const auto form = form_words(command);
        // The form's words match those typed after the name, up to the one being completed.
        std::size_t at = 0;
        bool fits = true;
        for (std::size_t typed = 1; typed < words.size() && fits; ++typed) {
            if (at >= form.size()) {
                fits = false;
            } else if (form[at] == "WORDS") {
                break;  // the rest of the line, whatever it holds so far
            } else if (!form[at].ends_with("...")) {
                fits = !is_placeholder(form[at]) ? words[typed] == form[at] : true;
                ++at;
            }
        }
        if (!fits || at >= form.size()) continue;
        const auto next = form[at];
        if (next == "WORDS") {
            add(spoken_completions(session, before.substr(before.find(words.front()) + words.front().size())));
        } else if (next.starts_with("ID")) {
            add(item_ids(session));
        } else if (next == "PATH") {
            add(session.folder_paths());
        } else if (!is_placeholder(next)) {
            add({std::string(next)});
        }
    }
    return out;
}

Session* completing = nullptr;

char* complete_next(const char* text, int state) {
    static std::vector<std::string> matches;
    static std::size_t next = 0;
    if (state == 0) {
        matches.clear();
        next = 0;
        const std::string_view line(::rl_line_buffer, static_cast<std::size_t>(::rl_point));
        const std::string_view word(text);
        if (completing) {
            for (auto& candidate : completions(*completing, line.substr(0, line.size() - word.size())))
                if (candidate.starts_with(word)) matches.push_back(std::move(candidate));
        }
    }
    if (next >= matches.size()) return nullptr;
    return ::strdup(matches[next++].c_str());
}

char** complete(const char* text, int, int) {
    // Never file names: the prompt knows its own words.
    ::rl_attempted_completion_over = 1;
    return ::rl_completion_matches(text, &complete_next);
}

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

// Output that may come while the prompt is on the screen: the prompt line is cleared before the
// first character, and drawn again, with what the user has typed so far, once the output is done.
class PromptOutput : public std::streambuf {
public:
    explicit PromptOutput(std::streambuf* target) : target_(target) {}
    void prompt_drawn() { shown_ = true; }
    bool prompt_shown() const { return shown_; }

protected:
    int overflow(int c) override {
        clear_prompt();
        return c == traits_type::eof() ? traits_type::not_eof(c) : target_->sputc(static_cast<char>(c));
    }
    std::streamsize xsputn(const char* s, std::streamsize n) override {
        clear_prompt();
        return target_->sputn(s, n);
    }
    int sync() override { return target_->pubsync(); }

private:
    void clear_prompt() {
        if (!std::exchange(shown_, false)) return;
        target_->sputn("\r\x1b[K", 4);
    }
    std::streambuf* target_;
    bool shown_ = false;
};

// Lines arriving on standard input: typed at a terminal with editing and history, through the
// editor's callback interface so the character can go on while the user types, or from a pipe.
class LineInput {
public:
    explicit LineInput(bool listen_key) : terminal_(::isatty(STDIN_FILENO) != 0), listen_key_(listen_key) {
        if (!terminal_) return;
        // The editor must know its reader before anything starts it, reading the history included.
        active_ = this;
        // The prompt handles Ctrl-C itself; the editor leaves the signals alone.
        ::rl_catch_signals = 0;
        ::rl_getc_function = &LineInput::read_key;
        ::rl_attempted_completion_function = &complete;
        history_ = history_file();
        if (!history_.empty()) {
            std::error_code ignored;
            std::filesystem::create_directories(history_.parent_path(), ignored);
            ::read_history(history_.c_str());
        }
        ::rl_callback_handler_install(kPrompt, &LineInput::take_line);
    }
    ~LineInput() {
        if (!terminal_) return;
        ::rl_callback_handler_remove();
        active_ = nullptr;
        if (!history_.empty()) ::write_history(history_.c_str());
    }
    LineInput(const LineInput&) = delete;
    LineInput& operator=(const LineInput&) = delete;

    bool terminal() const { return terminal_; }
    bool ended() const { return ended_ && lines_.empty(); }

    // Waits until input comes or `until` passes (no limit without one).
    void wait(std::optional<std::chrono::steady_clock::time_point> until) {
        int timeout = -1;
        if (until) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(*until - std::chrono::steady_clock::now());
            timeout = static_cast<int>(std::max<std::int64_t>(0, left.count()));
        }
        pollfd in{STDIN_FILENO, POLLIN, 0};
        if (::poll(&in, 1, timeout) > 0 && (in.revents & (POLLIN | POLLHUP | POLLERR))) read_available();
    }

    std::optional<std::string> next() {
        if (lines_.empty()) return std::nullopt;
        auto line = std::move(lines_.front());
        lines_.pop_front();
        return line;
    }

    // After output written over the prompt: the prompt again, on a line of its own, with what the
    // user had typed so far.
    void redraw_prompt() {
        if (!terminal_ || ended_) return;
        ::rl_forced_update_display();
    }

    // After Ctrl-C: the line typed so far is dropped and the prompt drawn afresh.
    void discard_line() {
        if (!terminal_ || ended_) return;
        ::rl_callback_handler_remove();
        typed_.clear();
        typed_known_ = true;
        ::rl_callback_handler_install(kPrompt, &LineInput::take_line);
        prompt_fresh_ = true;
    }

    // How often the listening key was pressed since last asked.
    int take_listen_presses() { return std::exchange(listen_presses_, 0); }

    // Whether the editor drew a fresh prompt since last asked.
    bool take_fresh_prompt() { return std::exchange(prompt_fresh_, false); }

private:
    void read_available() {
        if (terminal_) {
            // The keys come here first, so the listening key never reaches the editor.
            unsigned char keys[256];
            const auto n = ::read(STDIN_FILENO, keys, sizeof keys);
            if (n < 0) return;
            if (n == 0) {
                ended_ = true;
                return;
            }
            for (const unsigned char key : std::span(keys, static_cast<std::size_t>(n))) {
                if (listen_key_ && key == listen::kListeningKeyCode) {
                    ++listen_presses_;
                } else {
                    keys_.push_back(key);
                }
            }
            while (!keys_.empty() && !ended_) {
                const auto before = lines_.size();
                ::rl_callback_read_char();
                // Once it has handed over a line the editor leaves the terminal as it found it, echoing
                // and waiting for whole lines; installing it again takes the terminal back for editing.
                if (lines_.size() != before && !ended_) {
                    ::rl_callback_handler_install(kPrompt, &LineInput::take_line);
                    prompt_fresh_ = true;
                }
            }
            return;
        }
        char buffer[4096];
        const auto n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) return;
        if (n <= 0) {
            // The last line may come without its line feed.
            if (!partial_.empty()) lines_.push_back(std::exchange(partial_, {}));
            ended_ = true;
            return;
        }
        for (const char c : std::string_view(buffer, static_cast<std::size_t>(n))) {
            if (c == '\n') {
                lines_.push_back(std::exchange(partial_, {}));
            } else {
                partial_ += c;
            }
        }
    }

    // Reads each key for the editor, which in its callback mode lets an end of file on an empty line
    // (Ctrl-D) pass without a word: it is seen here instead.
    static int read_key(std::FILE*) {
        unsigned char key = 0;
        if (active_ && !active_->keys_.empty()) {
            key = active_->keys_.front();
            active_->keys_.pop_front();
            active_->follow(key);
            return key;
        }
        for (;;) {
            const auto n = ::read(STDIN_FILENO, &key, 1);
            if (n == 1) break;
            if (n < 0 && errno == EINTR) continue;
            if (active_) active_->ended_ = true;
            return EOF;
        }
        if (active_) active_->follow(key);
        return key;
    }

    // Whether the prompt's line is empty, followed key by key, as the editor's callback mode does not
    // tell (its rl_end stays 0): an end of file there (Ctrl-D) ends the input. Editing beyond typing and erasing at the
    // end of the line (arrows, history) leaves it unknown until the next line.
    void follow(unsigned char key) {
        constexpr unsigned char kEndOfFile = 0x04;
        constexpr unsigned char kKillLine = 0x15;
        constexpr unsigned char kBackspace = 0x08;
        constexpr unsigned char kDelete = 0x7f;
        if (key == '\n' || key == '\r') {
            typed_.clear();
            typed_known_ = true;
        } else if (key == kEndOfFile) {
            if (typed_known_ && typed_.empty()) ended_ = true;
        } else if (key == kBackspace || key == kDelete) {
            // A whole character goes, however many bytes it took.
            while (!typed_.empty() && (static_cast<unsigned char>(typed_.back()) & 0xc0) == 0x80) typed_.pop_back();
            if (!typed_.empty()) typed_.pop_back();
        } else if (key == kKillLine) {
            typed_.clear();
        } else if (key >= 0x20) {
            typed_ += static_cast<char>(key);
        } else if (key != 0) {
            typed_known_ = false;
        }
    }

    static void take_line(char* line) {
        const std::unique_ptr<char, decltype(&std::free)> owned(line, &std::free);
        if (!active_) return;
        if (!line) {
            active_->ended_ = true;
            return;
        }
        if (std::string_view(line).find_first_not_of(" \t") != std::string_view::npos) ::add_history(line);
        active_->lines_.emplace_back(line);
    }

    static inline LineInput* active_ = nullptr;
    bool terminal_;
    bool listen_key_;
    int listen_presses_ = 0;
    std::deque<unsigned char> keys_;
    bool ended_ = false;
    bool prompt_fresh_ = false;
    std::string typed_;
    bool typed_known_ = true;
    std::string partial_;
    std::deque<std::string> lines_;
    std::filesystem::path history_;
};

// Ctrl-C cuts what the character is saying, as the listening key does, without a word heard: the
// speech ends interrupted and a reading holds at that piece, to be continued.
void cut_speech(Session& session) {
    auto& agent = session.sim().sim_agent();
    const auto head = agent.head();
    if (!agent.loaded() || !head || head->action != sim::QueuedRequest::Action::Speak) return;
    session.sim().edge().deliver("Interrupt", [&] { agent.character(character::kCharacterID)->stop_all(); });
}

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

}  // namespace

std::string_view repl_help() {
    static const std::string help = scenario_help(kPromptKeys) + std::string(kPromptHelp);
    return help;
}

int repl(const SimInputs& inputs, const VoiceOptions& voice, std::ostream& out, std::ostream& warnings, Shown how,
         const Listening& listening) {
    if (listening.key || listening.wav) {
        if (const auto why = listen::listening_unavailable(listening.key)) {
            warnings << "dezaror: " << *why << std::endl;
            return kUnusable;
        }
    }
    const InterruptKey interrupt_key;
    LineInput input(listening.key);
    PromptOutput guarded(out.rdbuf());
    std::ostream shown(input.terminal() ? &guarded : out.rdbuf());
    PromptOutput guarded_warnings(warnings.rdbuf());
    std::ostream errors(input.terminal() ? &guarded_warnings : warnings.rdbuf());
    // What happens is shown as it happens, not when a buffer fills.
    shown.setf(std::ios::unitbuf);
    errors.setf(std::ios::unitbuf);
    // The mailbox and settings are loaded before the voice starts, so an unusable one writes no WAV.
    return with_session(inputs, shown, errors, [&](Session& session) {
        return with_voice(voice, errors, errors, [&](Voice* heard) {
            LiveCharacter live(session.sim(), heard);
            session.on_done([&live](std::optional<std::int64_t> n) { live.perform(n); });
            // `done` waits for the character. Ctrl-C meanwhile cuts its speech at once; the press stays
            // counted, for the prompt to answer when the wait is over.
            int cut_while_waiting = 0;
            live.while_waiting([&] {
                if (const int presses = InterruptKey::pending(); presses > cut_while_waiting) {
                    cut_while_waiting = presses;
                    cut_speech(session);
                }
            });
            std::optional<PersonView> view;
            if (how == Shown::Person) {
                view.emplace(session.sim(), shown, errors,
                             ViewOptions{.colour = colour_wanted(STDOUT_FILENO), .echo = !input.terminal()});
                session.show_with([&view](const std::string& line) { view->line(line); });
                live.on_start([&view](const sim::QueuedRequest& request) { view->performing(request); });
            } else if (input.terminal()) {
                // The prompt's line already shows what was typed.
                session.show_with([&shown](const std::string& line) {
                    if (!line.starts_with("> ")) shown << line << '\n';
                });
            }
            completing = &session;
            Place place{std::string(kReplName), 0};
            const auto run = [&](std::string_view line) {
                ++place.line;
                if (trimmed(line) == "help") {
                    shown << repl_help();
                } else if (trimmed(line) == "help voice") {
                    shown << listen::voice_help(session.sim().sim_agent());
                    if (listening.key) shown << "At this prompt Ctrl-T is the listening key: press it, speak, then press it again or pause.\n";
                } else {
                    session.execute(line, place);
                }
                live.advance();
            };
            const auto show_prompt = [&] {
                if (input.terminal() && !guarded.prompt_shown()) {
                    input.redraw_prompt();
                    guarded.prompt_drawn();
                    guarded_warnings.prompt_drawn();
                }
            };
            if (input.terminal()) {
                // The editor drew its prompt as it started: the banner goes above it.
                guarded.prompt_drawn();
                guarded_warnings.prompt_drawn();
                shown << kBanner;
            }
            // The recording of --listen-wav is heard once the character is up to hear it.
            auto first_heard = listening.wav;
            // The utterance being recorded while the listening key is down.
            listen::ListeningKey key;
            const auto hear_ended = [&] {
                if (const auto samples = key.ended(errors)) {
                    session.hear_spoken(*samples, shown, errors);
                    live.advance();
                }
            };
            std::optional<std::chrono::steady_clock::time_point> last_interrupt;
            while (!input.ended()) {
                live.advance();
                if (const int presses = InterruptKey::take(); presses > 0) {
                    const bool cut_already = std::exchange(cut_while_waiting, 0) > 0;
                    const auto now = std::chrono::steady_clock::now();
                    if (presses > 1 || (last_interrupt && now - *last_interrupt < kSecondInterrupt)) break;
                    last_interrupt = now;
                    if (!cut_already) cut_speech(session);
                    live.advance();
                    shown << "^C (Ctrl-C again to leave)\n";
                    input.discard_line();
                    guarded.prompt_drawn();
                    guarded_warnings.prompt_drawn();
                }
                while (auto line = input.next()) run(*line);
                for (int presses = input.take_listen_presses(); presses > 0; --presses) {
                    key.press(shown, errors);
                    hear_ended();
                }
                if (first_heard && !listen::voice_commands(session.sim().sim_agent()).empty())
                    run("hear " + *std::exchange(first_heard, std::nullopt));
                hear_ended();
                if (view && live.idle()) view->flush();
                show_prompt();
                if (input.ended()) break;
                auto until = live.deadline();
                // While recording, the samples are looked at every few hundredths of a second.
                if (key.recording()) {
                    const auto soon = std::chrono::steady_clock::now() + std::chrono::milliseconds(30);
                    until = until ? std::min(*until, soon) : soon;
                }
                // A Ctrl-C pressed while a `done` waited is answered now, not after the next key.
                if (InterruptKey::pending() > 0) continue;
                input.wait(until);
                if (input.take_fresh_prompt()) {
                    guarded.prompt_drawn();
                    guarded_warnings.prompt_drawn();
                }
            }
            completing = nullptr;
            if (input.terminal()) shown << '\n';
            // Leaving takes the character down as a click on its button does: it says goodbye and
            // leaves, and its settings are saved.
            const auto* form = session.addin().form();
            if (form && form->bAgentLoaded) {
                run("click button");
                run("done");
            }
            live.stop();
            if (view) view->flush();
            session.on_done({});
            session.show_with({});
            return 0;
        });
    });
}

}  // namespace cli
