#pragma once

// A file of this process's own for the inputs of readers that take a path.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

namespace fuzz {

inline std::filesystem::path write_scratch(const std::uint8_t* data, std::size_t size, const std::string& suffix) {
    const auto path = std::filesystem::temp_directory_path() /
                      ("dezaror-fuzz-" + std::to_string(::getpid()) + suffix);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    return path;
}

}  // namespace fuzz
