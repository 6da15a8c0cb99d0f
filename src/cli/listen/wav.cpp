#include <fmt/format.h>

#include <cstring>
#include <fstream>
#include <iterator>

#include "cli/listen/decoder_settings.hpp"
#include "cli/listen/recognizer.hpp"

namespace cli::listen {

namespace {

std::uint32_t little_endian(const std::string& bytes, std::size_t at, std::size_t size) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < size; ++i)
        value |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
    return value;
}

}  // namespace

std::vector<std::int16_t> read_wav(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw ListenError(fmt::format("{}: cannot read the file: {}", path, std::strerror(errno)));
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto fail = [&](std::string_view what) {
        throw ListenError(fmt::format("{}: {}; the recogniser needs a WAV file of 16-bit PCM, mono, at {} Hz "
                                      "(sox IN.wav -r {} -c 1 -b 16 OUT.wav converts one)",
                                      path, what, settings::kSampleRate, settings::kSampleRate));
    };
    if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WAVE") != 0)
        fail("not a WAV file");
    bool have_format = false;
    std::size_t at = 12;
    while (at + 8 <= bytes.size()) {
        const std::string id = bytes.substr(at, 4);
        const std::size_t size = little_endian(bytes, at + 4, 4);
        const std::size_t body = at + 8;
        if (id == "fmt ") {
            if (size < 16 || body + size > bytes.size()) fail("its format chunk is cut short");
            const auto format = little_endian(bytes, body, 2);
            const auto channels = little_endian(bytes, body + 2, 2);
            const auto rate = little_endian(bytes, body + 4, 4);
            const auto bits = little_endian(bytes, body + 14, 2);
            if ((format != 1 && format != 0xFFFE) || bits != 16)
                fail(fmt::format("its samples are not 16-bit PCM (format {}, {} bits)", format, bits));
            if (channels != 1) fail(fmt::format("it has {} channels", channels));
            if (rate != static_cast<std::uint32_t>(settings::kSampleRate)) fail(fmt::format("it is sampled at {} Hz", rate));
            have_format = true;
        } else if (id == "data") {
            if (!have_format) fail("its data comes before its format");
            // A recorder killed mid-write leaves the size too large: take the samples that are there.
            const std::size_t length = std::min(size, bytes.size() - body) / 2;
            std::vector<std::int16_t> samples(length);
            for (std::size_t i = 0; i < length; ++i)
                samples[i] = static_cast<std::int16_t>(little_endian(bytes, body + 2 * i, 2));
            return samples;
        }
        at = body + size + (size & 1);
    }
    fail("it has no sound data");
    return {};
}

}  // namespace cli::listen
