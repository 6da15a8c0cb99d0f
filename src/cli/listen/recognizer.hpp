#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "cli/listen/command_grammar.hpp"

// Offline recognition of the character's voice commands.
namespace cli::listen {

// Recognition is unavailable or its input unusable; the message says what and where.
struct ListenError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// What the recogniser heard in one utterance: the words of a command's phrase, lower-cased and
// separated by single blanks, or nothing when the speech was no command.
struct Heard {
    std::string words;
    bool rejected() const { return words.empty(); }
};

// False when the program was built without a recogniser.
bool recognizer_built();

// The recogniser: the acoustic model and dictionary, loaded once (about a third of a second), and
// the grammar of the commands it listens for. One utterance at a time.
class Recognizer {
public:
    // Throws ListenError when recognition was not built or its model is not installed, saying
    // what to install.
    Recognizer();
    ~Recognizer();
    Recognizer(const Recognizer&) = delete;
    Recognizer& operator=(const Recognizer&) = delete;

    // Listens for these commands from now on; the grammar is made anew only when they changed.
    // Throws ListenError naming a word that the dictionary does not know, and its command.
    void listen_for(const std::vector<VoiceCommand>& commands);

    // The words in 16-bit mono samples at 16 kHz holding one utterance.
    Heard decode(std::span<const std::int16_t> samples);

private:
    struct Decoder;
    std::unique_ptr<Decoder> decoder_;
    std::vector<VoiceCommand> commands_;
    bool has_grammar_ = false;
};

// The samples of a WAV file: 16-bit PCM, mono, at 16 kHz. Throws ListenError naming the file and
// what is wrong with it.
std::vector<std::int16_t> read_wav(const std::string& path);

}  // namespace cli::listen
