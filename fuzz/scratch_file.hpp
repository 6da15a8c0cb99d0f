#pragma once

// A file of this process's own for the inputs of readers that take a path, removed when the input has
// been read, so a fuzz run leaves nothing in the temporary folder.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include <unistd.h>

namespace fuzz {

class ScratchFile {
public:
    ScratchFile(const std::uint8_t* data, std::size_t size, const std::string& suffix)
        : path_(std::filesystem::temp_directory_path() / ("dezaror-fuzz-" + std::to_string(::getpid()) + suffix)) {
        std::ofstream out(path_, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    ~ScratchFile() {
        std::error_code ec;
        std::filesystem::remove(path_, ec);
    }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

}  // namespace fuzz
