#include "cli/commands.hpp"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <iostream>
#include <sstream>

#include "cli/demo.hpp"
#include "cli/live.hpp"
#include "cli/read_message.hpp"
#include "cli/repl.hpp"
#include "cli/samples.hpp"
#include "cli/session.hpp"
#include "cli/text_tools.hpp"
#include "cli/view.hpp"

namespace cli {

namespace {

constexpr std::string_view kStdinName = "<stdin>";
constexpr std::string_view kTourName = "tour.dz";

bool given(const CLI::App& sub, const std::string& option);

void add_voice_options(CLI::App& sub, CommandLine& line) {
    sub.add_flag("--voice", line.voice, "speak aloud");
    sub.add_option("--wav", line.wav, "write the speech to a WAV file");
    sub.add_option("--voice-name", line.voice_name, "the espeak-ng voice (default: the language of the text's script)");
    sub.add_option("--rate", line.rate, "words a minute (default: the voice's own)")->check(CLI::Range(80, 500));
}

void add_sim_options(CLI::App& sub, CommandLine& line) {
    sub.add_option("--mailbox", line.mailbox,
                   "a mailbox JSON file, a Maildir folder, an mbox file or one message "
                   "(default: the bundled sample mailbox)");
    sub.add_option("--settings", line.settings, "the settings store's file");
    sub.add_option("--seed", line.seed, "the seed of the random source");
    add_voice_options(sub, line);
}

void add_view_option(CLI::App& sub, CommandLine& line) {
    sub.add_flag("--transcript", line.transcript,
                 "print the transcript, as run does (the default when the output is no terminal)");
}

Shown shown_for(const CommandLine& line) {
    return line.transcript || !output_is_terminal() ? Shown::Transcript : Shown::Person;
}

// The files a subcommand reads and writes are checked before anything runs, so a run never ends
// half-way over a mistyped name, and nothing is written.
void check_files(const CLI::App& sub, const CommandLine& line) {
    const auto name = sub.get_name();
    if ((name == "run" && line.scenario != "-") || name == "pieces" || name == "read")
        check_readable_file(line.scenario);
    for (const auto& file : line.files) check_readable_file(file);
    if (given(sub, "--listen-wav")) check_readable_file(line.listen_wav);
    if (given(sub, "--wav")) check_writable_file(line.wav);
    if (given(sub, "--settings")) {
        std::error_code error;
        if (std::filesystem::is_directory(line.settings, error)) check_readable_file(line.settings);
    }
}

// The random source repeats under `run` and varies elsewhere, unless the user fixes it.
std::uint64_t clock_seed() {
    return static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
}

// Whether the user gave the option to this subcommand; the subcommands share the variables.
bool given(const CLI::App& sub, const std::string& option) {
    const auto* found = sub.get_option_no_throw(option);
    return found && found->count() > 0;
}

SimInputs inputs_for(const CLI::App& sub, const CommandLine& line) {
    SimInputs inputs;
    const bool run = sub.get_name() == "run";
    if (given(sub, "--mailbox")) inputs.mailbox = line.mailbox;
    // A scenario and the demo start from a store of their own, so they never change the user's settings.
    if (given(sub, "--settings")) {
        inputs.settings = line.settings;
    } else if (!run && sub.get_name() != "demo") {
        inputs.settings = user_settings_file().string();
    }
    inputs.seed = given(sub, "--seed") ? line.seed : run ? sim::kDefaultSeed : clock_seed();
    return inputs;
}

VoiceOptions voice_for(const CLI::App& sub, const CommandLine& line) {
    VoiceOptions voice;
    voice.aloud = line.voice;
    if (given(sub, "--wav")) voice.wav = line.wav;
    if (given(sub, "--voice-name")) voice.voice_name = line.voice_name;
    if (given(sub, "--rate")) voice.rate = line.rate;
    return voice;
}

}  // namespace

std::vector<std::string> subcommand_names() { return {"demo", "run", "repl", "clean", "pieces", "read", "help"}; }

std::optional<std::string> nearest(std::string_view typed, const std::vector<std::string>& names) {
    // Edit distance, with a swap of two neighbours counting as one edit.
    const auto distance = [](std::string_view a, std::string_view b) {
        std::vector<std::vector<std::size_t>> d(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
        for (std::size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
        for (std::size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
        for (std::size_t i = 1; i <= a.size(); ++i) {
            for (std::size_t j = 1; j <= b.size(); ++j) {
                d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + (a[i - 1] != b[j - 1])});
                if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                    d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
            }
        }
        return d[a.size()][b.size()];
    };
    std::optional<std::string> best;
    std::size_t best_distance = std::max<std::size_t>(1, typed.size() / 3) + 1;
    for (const auto& name : names) {
        const auto d = distance(typed, name);
        if (d < best_distance) {
            best = name;
            best_distance = d;
        }
    }
    return best;
}

void add_subcommands(CLI::App& app, CommandLine& line) {
    auto* demo = app.add_subcommand("demo", "the bundled sample mailbox and tour scenario");
    add_sim_options(*demo, line);
    add_view_option(*demo, line);
    demo->add_flag("--listen", line.listen,
                   "in real time, Ctrl-T is the listening key: speech from the default capture device (parecord or arecord)");

    auto* run = app.add_subcommand("run", "runs a scenario file and prints the transcript");
    run->add_option("SCENARIO", line.scenario, "the scenario file, or - for standard input")->required();
    add_sim_options(*run, line);

    auto* repl = app.add_subcommand("repl", "the scenario language at a prompt");
    add_sim_options(*repl, line);
    add_view_option(*repl, line);
    repl->add_flag("--listen", line.listen,
                   "Ctrl-T is the listening key: speech from the default capture device (parecord or arecord)");
    repl->add_option("--listen-wav", line.listen_wav,
                     "a WAV file (16-bit mono, 16 kHz) heard once at the start, as said with the listening key held");

    auto* clean = app.add_subcommand("clean", "the text that would be read for a body");
    clean->add_flag("--html", line.html, "the body is HTML");
    clean->add_option("FILE", line.files, "body text files")->required();

    auto* pieces = app.add_subcommand("pieces", "the pieces reading cuts a text into");
    pieces->add_option("FILE", line.scenario, "a text file")->required();

    auto* read = app.add_subcommand("read", "the announcement and body of a message, or of each in an mbox, as pieces");
    read->add_option("FILE", line.scenario, "a message file, or an mbox file")->required();
    read->add_option("--index", line.index, "only the Nth message of an mbox (from 1)")->check(CLI::PositiveNumber);
    add_voice_options(*read, line);
}

int dispatch(const CLI::App& app, const CommandLine& line) {
    const auto* sub = app.get_subcommands().front();
    const auto name = sub->get_name();
    try {
        check_files(*sub, line);
    } catch (const InputError& e) {
        std::cerr << e.report() << std::endl;
        return kUnusable;
    }
    const auto voice = voice_for(*sub, line);
    if (name == "clean") return clean(line.files, line.html ? BodyKind::Html : BodyKind::Plain, std::cout, std::cerr);
    if (name == "pieces") return pieces(line.scenario, std::cout, std::cerr);
    if (name == "read") return read_messages(std::filesystem::path(line.scenario), line.index, voice, std::cout, std::cerr);

    const auto inputs = inputs_for(*sub, line);
    if (name == "demo") {
        std::istringstream tour{std::string(kSampleTour)};
        return demo(inputs, voice, tour, std::string(kTourName), std::cout, std::cerr, shown_for(line), line.listen);
    }
    if (name == "repl") {
        Listening listening{.key = line.listen, .wav = std::nullopt};
        if (given(*sub, "--listen-wav")) listening.wav = line.listen_wav;
        return repl(inputs, voice, std::cout, std::cerr, shown_for(line), listening);
    }
    if (line.scenario == "-") return run_scenario(inputs, voice, std::cin, std::string(kStdinName), std::cout);
    std::ifstream file(line.scenario);
    return run_scenario(inputs, voice, file, line.scenario, std::cout);
}

int run_scenario(const SimInputs& inputs, const VoiceOptions& voice_options, std::istream& in, const std::string& file,
                 std::ostream& out) {
    // The mailbox and settings are loaded before the voice starts, so an unusable one writes no WAV.
    // Their "! " line belongs to the transcript, where scenario runs have always reported it.
    return with_session(inputs, out, out, [&](Session& session) {
        return with_voice(voice_options, std::cerr, std::cerr, [&](Voice* voice) {
            // Outside real time the character is heard request by request, as `done` performs them.
            std::optional<Recorder> recorder;
            if (voice) recorder.emplace(session.sim(), *voice);
            return session.run(in, file);
        });
    });
}

int with_voice(const VoiceOptions& options, std::ostream& out, std::ostream& warnings,
               const std::function<int(Voice*)>& body) {
    if (!options.any()) return body(nullptr);
    std::optional<Voice> voice;
    try {
        voice.emplace(options, warnings);
    } catch (const VoiceError& e) {
        out << "! " << e.what() << std::endl;
        return kUnusable;
    }
    const int status = body(&*voice);
    try {
        voice->finish();
    } catch (const VoiceError& e) {
        out << "! " << e.what() << std::endl;
        return kUnusable;
    }
    return status;
}

}  // namespace cli
