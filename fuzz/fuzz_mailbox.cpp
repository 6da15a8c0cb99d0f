// Any text as a mailbox file: it loads, or it is refused with a MailboxError naming the place.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "sim/mailbox.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    try {
        (void)sim::load_mailbox(input, "fuzz.json");
    } catch (const sim::MailboxError&) {
    }
    return 0;
}
