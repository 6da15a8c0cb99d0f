#pragma once

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "support/temp_dir.hpp"

// Files the mail import tests build: temporary folders and the corpus messages.
namespace mail_files {

namespace fs = std::filesystem;

using support::TempDir;

inline void write_file(const fs::path& file, std::string_view text) {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << text;
}

// The corpus's messages sorted by name; empty when the corpus is not here.
inline const std::vector<fs::path>& corpus_messages() {
    static const std::vector<fs::path> messages = [] {
        std::vector<fs::path> found;
        const fs::path dir = fs::path(DEZAROR_CORPUS_DIR) / "eml";
        std::error_code ec;
        for (fs::directory_iterator it(dir, ec); !ec && it != fs::directory_iterator(); it.increment(ec))
            if (it->path().extension() == ".eml") found.push_back(it->path());
        // By stem, the order a Maildir of these messages sorts in.
        std::sort(found.begin(), found.end(),
                  [](const fs::path& a, const fs::path& b) { return a.stem().string() < b.stem().string(); });
        return found;
    }();
    return messages;
}

}  // namespace mail_files
