// `dezaror clean --html` as the user runs it, a whole process from start to exit, against a whole process that only
// reads the same file byte by byte: the HTML corpus concatenated to about 20 MB, run in pairs that alternate which
// goes first, so that a busy machine slows both alike. Reports the median wall and CPU times of each and their ratio.
//   bench_clean_process [PAIRS]   (default 15)
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "corpus_input.hpp"

extern char** environ;

namespace {

struct Times {
    double wall_ms;
    double cpu_ms;
};

// Runs the command with its output thrown away, as `clean FILE >/dev/null` would.
Times run(std::vector<std::string> command) {
    std::vector<char*> argv;
    for (std::string& word : command) argv.push_back(word.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
        std::fprintf(stderr, "cannot run %s\n", argv[0]);
        std::exit(1);
    }
    int status = 0;
    rusage usage{};
    ::wait4(pid, &status, 0, &usage);
    const auto wall = std::chrono::steady_clock::now() - start;
    posix_spawn_file_actions_destroy(&actions);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s failed\n", argv[0]);
        std::exit(1);
    }
    const auto ms = [](const timeval& t) { return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_usec) / 1e3; };
    return {std::chrono::duration<double, std::milli>(wall).count(), ms(usage.ru_utime) + ms(usage.ru_stime)};
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    // Other arguments are the other benchmarks' options, passed to every benchmark alike.
    const int pairs = argc > 1 && std::isdigit(static_cast<unsigned char>(argv[1][0])) ? std::max(1, std::atoi(argv[1])) : 15;
    const std::string input = bench::corpus_input("html");
    if (input.empty()) {
        std::printf("clean process: no HTML corpus at %s, skipped\n", DEZAROR_CORPUS_DIR);
        return 0;
    }
    const auto file = std::filesystem::temp_directory_path() / ("dezaror-clean-" + std::to_string(::getpid()) + ".html");
    std::ofstream(file, std::ios::binary).write(input.data(), static_cast<std::streamsize>(input.size()));

    const std::vector<std::string> clean = {DEZAROR_COMMAND, "clean", "--html", file.string()};
    const std::vector<std::string> read = {DEZAROR_READ_BYTES, file.string()};
    std::vector<double> clean_wall, clean_cpu, read_wall, read_cpu;
    run(clean), run(read);  // The file and both programs into the page cache.
    for (int pair = 0; pair < pairs; ++pair) {
        for (int turn = 0; turn < 2; ++turn) {
            const bool clean_turn = (pair + turn) % 2 == 0;
            const Times t = run(clean_turn ? clean : read);
            (clean_turn ? clean_wall : read_wall).push_back(t.wall_ms);
            (clean_turn ? clean_cpu : read_cpu).push_back(t.cpu_ms);
        }
    }
    std::filesystem::remove(file);

    std::printf("clean process over %.1f MB of HTML, %d pairs, medians:\n", static_cast<double>(input.size()) / 1e6,
                pairs);
    std::printf("  dezaror clean --html   wall %7.1f ms   cpu %7.1f ms\n", median(clean_wall), median(clean_cpu));
    std::printf("  reading byte by byte   wall %7.1f ms   cpu %7.1f ms\n", median(read_wall), median(read_cpu));
    std::printf("  ratio                  wall %7.2f      cpu %7.2f\n", median(clean_wall) / median(read_wall),
                median(clean_cpu) / median(read_cpu));
    return 0;
}
