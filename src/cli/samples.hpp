#pragma once

#include <string_view>

namespace cli {

// The sample mailbox and the demo's tour scenario, bundled into the program.
extern const std::string_view kSampleMailbox;
extern const std::string_view kSampleTour;

}  // namespace cli
