#include <CLI/CLI.hpp>

#include <iostream>
#include <string_view>

#include "cli/commands.hpp"

namespace {

const CLI::App* find_subcommand(const CLI::App& app, const std::string& name) {
    try {
        return app.get_subcommand(name);
    } catch (const CLI::OptionNotFound&) {
        return nullptr;
    }
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"dezaror: a talking character for a desktop mail client, on a simulated mail client"};
    app.name("dezaror");
    app.set_version_flag("--version", std::string("dezaror ") + DEZAROR_VERSION);
    cli::CommandLine line;
    cli::add_subcommands(app, line);
    const std::string_view first = argc > 1 ? argv[1] : "";
    // Without a subcommand, and for `help`, the usage; `help SUBCOMMAND` is that subcommand's.
    if (argc == 1) {
        std::cerr << app.help();
        return cli::kUnusable;
    }
    if (first == "help") {
        const auto* sub = argc > 2 ? find_subcommand(app, argv[2]) : nullptr;
        std::cout << (sub ? sub->help() : app.help());
        return 0;
    }
    if (!first.starts_with("-") && !find_subcommand(app, std::string(first))) {
        std::cerr << "dezaror: unknown command \"" << first << "\"";
        if (const auto near = cli::nearest(first, cli::subcommand_names())) std::cerr << "; did you mean \"" << *near << "\"?";
        std::cerr << "\nRun \"dezaror help\" for the commands.\n";
        return cli::kUnusable;
    }
    app.require_subcommand(1);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        // Help and the version are a success; any other misuse of the command line is unusable input.
        const int status = app.exit(e);
        return status == 0 ? 0 : cli::kUnusable;
    }
    return cli::dispatch(app, line);
}
