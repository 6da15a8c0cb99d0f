#include "cli/listen/recognizer.hpp"

// The program built without pocketsphinx: every use of the recogniser says what to install.
namespace cli::listen {

bool recognizer_built() { return false; }

struct Recognizer::Decoder {};

Recognizer::Recognizer() {
    throw ListenError(
        "this dezaror was built without speech recognition: install the packages libpocketsphinx-dev and "
        "pocketsphinx-en-us and build it again, with the CMake option DEZAROR_LISTEN on (as it is unless turned off)");
}

Recognizer::~Recognizer() = default;

void Recognizer::listen_for(const std::vector<VoiceCommand>&) {}

Heard Recognizer::decode(std::span<const std::int16_t>) { return {}; }

}  // namespace cli::listen
