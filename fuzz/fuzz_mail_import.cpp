// Any bytes as a mail file: an mbox when it starts with "From ", else one message. A message GMime cannot
// use is listed as a problem; nothing else may escape.
#include <cstddef>
#include <cstdint>

#include "scratch_file.hpp"
#include "sim/mail_import.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzz::ScratchFile file(data, size, ".eml");
    (void)sim::load_mail_store(file.path());
    return 0;
}
