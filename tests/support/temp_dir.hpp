#pragma once

// A fresh folder of one test's own under the system's temporary folder, removed with everything in
// it when the test is done, so running the tests leaves nothing behind.

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <system_error>

namespace support {

class TempDir {
public:
    explicit TempDir(std::string_view name = "test") {
        std::string pattern =
            (std::filesystem::temp_directory_path() / ("dezaror-" + std::string(name) + "-XXXXXX")).string();
        if (!mkdtemp(pattern.data())) std::abort();
        path_ = pattern;
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::filesystem::path& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

// The whole of a file as it is on disk; empty when it cannot be read.
inline std::string read_file(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace support
