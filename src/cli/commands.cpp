#include "cli/commands.hpp"

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

namespace cli {

namespace {

constexpr std::string_view kStdinName = "<stdin>";
constexpr std::string_view kTourName = "tour.dz";

void add_sim_options(CLI::App& sub, CommandLine& line, bool with_mailbox) {
    if (with_mailbox) {
        sub.add_option("--mailbox", line.mailbox,
                       "a mailbox JSON file, a Maildir folder or an mbox file "
                       "(default: the bundled sample mailbox)");
    }
    sub.add_option("--settings", line.settings, "the settings store's file");
    sub.add_option("--seed", line.seed, "the seed of the random source");
    sub.add_flag("--voice", line.voice, "speak aloud");
    sub.add_option("--wav", line.wav, "write the speech to a WAV file");
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
    return voice;
}

}  // namespace

void add_subcommands(CLI::App& app, CommandLine& line) {
    auto* demo = app.add_subcommand("demo", "the bundled sample mailbox and tour scenario");
    add_sim_options(*demo, line, /*with_mailbox=*/false);

    auto* run = app.add_subcommand("run", "runs a scenario file and prints the transcript");
    run->add_option("SCENARIO", line.scenario, "the scenario file, or - for standard input")->required();
    add_sim_options(*run, line, /*with_mailbox=*/true);

    auto* repl = app.add_subcommand("repl", "the scenario language at a prompt");
    add_sim_options(*repl, line, /*with_mailbox=*/true);

    auto* clean = app.add_subcommand("clean", "the text that would be read for a body");
    clean->add_flag("--html", line.html, "the body is HTML");
    clean->add_option("FILE", line.files, "body text files")->required();

    auto* pieces = app.add_subcommand("pieces", "the pieces reading cuts a text into");
    pieces->add_option("FILE", line.scenario, "a text file")->required();

    auto* read = app.add_subcommand("read", "the announcement and body of one message, as pieces");
    read->add_option("FILE.eml", line.scenario, "a message file")->required();
}

int dispatch(const CLI::App& app, const CommandLine& line) {
    const auto* sub = app.get_subcommands().front();
    const auto name = sub->get_name();
    if (name == "clean") return clean(line.files, line.html ? BodyKind::Html : BodyKind::Plain, std::cout, std::cerr);
    if (name == "pieces") return pieces(line.scenario, std::cout, std::cerr);
    if (name == "read") return read_message(std::filesystem::path(line.scenario), std::cout, std::cerr);

    const auto inputs = inputs_for(*sub, line);
    const auto voice = voice_for(*sub, line);
    if (name == "demo") {
        std::istringstream tour{std::string(kSampleTour)};
        // Without anything to hear, the tour runs as fast as the character's queue allows.
        if (!voice.any()) return run_scenario(inputs, {}, tour, std::string(kTourName), std::cout);
        return demo(inputs, voice, tour, std::string(kTourName), std::cout, std::cerr);
    }
    if (name == "repl") return repl(inputs, voice, std::cout, std::cerr);
    if (line.scenario == "-") return run_scenario(inputs, voice, std::cin, std::string(kStdinName), std::cout);
    std::ifstream file(line.scenario);
    if (!file) {
        std::cout << InputError(line.scenario, "cannot be opened").report() << std::endl;
        return kUnusable;
    }
    return run_scenario(inputs, voice, file, line.scenario, std::cout);
}

int run_scenario(const SimInputs& inputs, const VoiceOptions& voice_options, std::istream& in, const std::string& file,
                 std::ostream& out) {
    return with_voice(voice_options, out, std::cerr, [&](Voice* voice) {
        return with_session(inputs, out, [&](Session& session) {
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
