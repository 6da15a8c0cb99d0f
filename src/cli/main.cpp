#include <CLI/CLI.hpp>

#include "cli/commands.hpp"

int main(int argc, char** argv) {
    CLI::App app{"dezaror: a talking character for a desktop mail client, on a simulated mail client"};
    app.require_subcommand(1);
    cli::CommandLine line;
    cli::add_subcommands(app, line);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        // Help is a success; any other misuse of the command line is unusable input.
        const int status = app.exit(e);
        return status == 0 ? 0 : cli::kUnusable;
    }
    return cli::dispatch(app, line);
}
