#pragma once

// The shared e-mail corpus as benchmark input: one folder's bodies concatenated over and over to about 20 MB,
// so the figures are for mail as it comes; and the yardstick the filters are measured against.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>

namespace bench {

inline constexpr std::size_t kInputBytes = 20u << 20;

inline std::string read_file(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline std::size_t find_nocase(const std::string& text, std::string_view word, std::size_t from = 0) {
    const auto it = std::search(text.begin() + static_cast<std::ptrdiff_t>(from), text.end(), word.begin(), word.end(),
                                [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; });
    return it == text.end() ? std::string::npos : static_cast<std::size_t>(it - text.begin());
}

// What lies between a body's start and end tags, so that the concatenation is one long body rather than a first
// body followed by text the scan never reaches.
inline std::string body_of(const std::string& html) {
    std::size_t begin = find_nocase(html, "<body");
    if (begin == std::string::npos) {
        begin = 0;
    } else {
        begin = std::min(html.find('>', begin), html.size() - 1) + 1;
    }
    const std::size_t end = std::min(find_nocase(html, "</body", begin), html.size());
    return html.substr(begin, end - begin);
}

// "html" or "plain"; empty when the corpus is not there.
inline std::string corpus_input(const std::string& folder) {
    std::string once;
    const std::filesystem::path dir = std::filesystem::path(DEZAROR_CORPUS_DIR) / folder;
    if (!std::filesystem::is_directory(dir)) return once;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        const std::string text = read_file(entry.path());
        once += folder == "html" ? body_of(text) : text;
    }
    if (once.empty()) return once;
    std::string input = folder == "html" ? "<html><body>" : "";
    while (input.size() < kInputBytes) input += once;
    if (folder == "html") input += "</body></html>";
    return input;
}

// One look at every byte, kept byte by byte so the compiler cannot vectorise it away.
inline void plain_pass(benchmark::State& state, std::string_view input) {
    for (auto _ : state) {
        std::size_t count = 0;
        for (const char c : input) {
            count += c == '<';
            benchmark::DoNotOptimize(count);
        }
        benchmark::DoNotOptimize(count);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * input.size()));
}

}  // namespace bench
