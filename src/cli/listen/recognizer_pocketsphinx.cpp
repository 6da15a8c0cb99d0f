#include <fmt/format.h>
#include <pocketsphinx.h>
#include <sphinxbase/ckd_alloc.h>
#include <sphinxbase/err.h>
#include <sphinxbase/jsgf.h>

#include <filesystem>

#include "cli/listen/decoder_settings.hpp"
#include "cli/listen/recognizer.hpp"

namespace cli::listen {

namespace {

constexpr std::string_view kSearch = "commands";

}  // namespace

bool recognizer_built() { return true; }

struct Recognizer::Decoder {
    cmd_ln_t* config = nullptr;
    ps_decoder_t* ps = nullptr;
    ~Decoder() {
        if (ps) ps_free(ps);
        if (config) cmd_ln_free_r(config);
    }
};

Recognizer::Recognizer() : decoder_(std::make_unique<Decoder>()) {
    const std::string model(settings::kModelDir);
    const std::string dictionary(settings::kDictionary);
    if (!std::filesystem::exists(model + "/mdef") || !std::filesystem::exists(dictionary))
        throw ListenError(fmt::format("the speech model is not installed (no {}): install the package pocketsphinx-en-us",
                                      model));
    err_set_logfp(nullptr);  // the library's progress reports would land in the transcript's terminal
    const std::string rate = std::to_string(settings::kSampleRate);
    const std::string beam(settings::kBeam), pbeam(settings::kPhoneBeam), wbeam(settings::kWordBeam);
    const std::string dither(settings::kDither), seed(settings::kDitherSeed);
    decoder_->config = cmd_ln_init(nullptr, ps_args(), TRUE, "-hmm", model.c_str(), "-dict", dictionary.c_str(),
                                   "-samprate", rate.c_str(), "-beam", beam.c_str(), "-pbeam", pbeam.c_str(),
                                   "-wbeam", wbeam.c_str(), "-dither", dither.c_str(), "-seed", seed.c_str(),
                                   nullptr);
    if (decoder_->config) decoder_->ps = ps_init(decoder_->config);
    if (!decoder_->ps) throw ListenError(fmt::format("the speech model in {} could not be loaded", model));
    for (std::string_view phone : settings::kPhones) {
        const std::string phones(phone);
        if (ps_add_word(decoder_->ps, garbage_phone(phone).c_str(), phones.c_str(), FALSE) < 0)
            throw ListenError(fmt::format("the speech model in {} has no phone {}", model, phone));
    }
    for (std::string_view common : settings::kCommonWords) {
        const std::string word(common);
        char* phones = ps_lookup_word(decoder_->ps, word.c_str());
        const bool added = phones && ps_add_word(decoder_->ps, garbage_word(word).c_str(), phones, FALSE) >= 0;
        ckd_free(phones);
        if (!added) throw ListenError(fmt::format("the word \"{}\" is not in the dictionary {}", word, dictionary));
    }
}

Recognizer::~Recognizer() = default;

void Recognizer::listen_for(const std::vector<VoiceCommand>& commands) {
    if (has_grammar_ && commands == commands_) return;
    for (const VoiceCommand& c : commands) {
        for (const std::string& word : command_words({c})) {
            char* phones = ps_lookup_word(decoder_->ps, word.c_str());
            if (!phones)
                throw ListenError(fmt::format("the word \"{}\" of the command {} is not in the dictionary {}", word,
                                              c.name, settings::kDictionary));
            ckd_free(phones);
        }
    }
    for (std::string_view filler : settings::kFillers) {
        const std::string word(filler);
        char* phones = ps_lookup_word(decoder_->ps, word.c_str());
        if (!phones)
            throw ListenError(
                fmt::format("the filler word \"{}\" is not in the dictionary {}", word, settings::kDictionary));
        ckd_free(phones);
    }
    const std::string grammar = command_grammar(commands);
    const std::string search(kSearch);
    // As ps_set_jsgf_string does, but freeing the parsed grammar, which that call keeps for ever.
    jsgf_t* jsgf = jsgf_parse_string(grammar.c_str(), nullptr);
    jsgf_rule_t* rule = jsgf ? jsgf_get_public_rule(jsgf) : nullptr;
    fsg_model_t* fsg = rule ? jsgf_build_fsg(jsgf, rule, ps_get_logmath(decoder_->ps),
                                             cmd_ln_float32_r(decoder_->config, "-lw"))
                            : nullptr;
    const bool loaded = fsg && ps_set_fsg(decoder_->ps, search.c_str(), fsg) >= 0 &&
                        ps_set_search(decoder_->ps, search.c_str()) >= 0;
    if (fsg) fsg_model_free(fsg);
    if (jsgf) jsgf_grammar_free(jsgf);
    if (!loaded) throw ListenError("the grammar of the voice commands could not be loaded:\n" + grammar);
    commands_ = commands;
    has_grammar_ = true;
}

Heard Recognizer::decode(std::span<const std::int16_t> samples) {
    if (!has_grammar_) throw ListenError("there are no voice commands to listen for");
    if (ps_start_utt(decoder_->ps) < 0) throw ListenError("the recogniser could not start listening");
    ps_process_raw(decoder_->ps, samples.data(), samples.size(), FALSE, TRUE);
    ps_end_utt(decoder_->ps);
    std::int32_t score = 0;
    const char* hyp = ps_get_hyp(decoder_->ps, &score);
    if (!hyp || std::string_view(hyp).find(settings::kGarbagePrefix) != std::string_view::npos) return {};
    return {hyp};
}

}  // namespace cli::listen
