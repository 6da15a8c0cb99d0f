// Any bytes as the settings file: it is read, or refused with a UsageError naming the file and line; what is
// read can be asked for and written back.
#include <cstddef>
#include <cstdint>

#include "scratch_file.hpp"
#include "sim/edge.hpp"
#include "sim/faults.hpp"
#include "sim/settings_store.hpp"
#include "sim/transcript.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    sim::Transcript transcript;
    sim::Faults faults(transcript);
    const fuzz::ScratchFile file(data, size, ".ini");
    try {
        sim::SettingsFile store(transcript, faults, file.path());
        for (const auto& [key, value] : store.values()) {
            (void)store.get_setting("Outlook Dezaror Agent", "Settings", key, "");
        }
        store.save_setting("Outlook Dezaror Agent", "Settings", "PlayIntro", "True");
    } catch (const sim::UsageError&) {
    }
    return 0;
}
