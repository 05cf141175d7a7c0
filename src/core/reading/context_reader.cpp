#include "reading/context_reader.hpp"

#include <map>
#include <mutex>
#include <shared_mutex>

#include "frontend/espeak_library.hpp"
#include "pronunciation/french_reading.hpp"
#include "reading/phoneme_names.hpp"

namespace vantro::reading {

namespace {

// One table of names per voice language, for the whole process: every
// reader learns into it, and it stops growing once espeak-ng's names are in.
struct SharedNames {
    std::shared_mutex mutex;
    std::map<std::string, PhonemeNames, std::less<>> by_language;
};
SharedNames& shared_names() {
    static SharedNames names;
    return names;
}

std::string language_of(const std::string& voice) {
    const std::size_t cut = voice.find_first_of("-_+");
    return voice.substr(0, cut);
}

}  // namespace

EspeakContextReader::EspeakContextReader(std::string voice)
    : library_(EspeakLibrary::shared()), voice_(std::move(voice)), language_(language_of(voice_)) {
    library_.check_voice(voice_);
}

void EspeakContextReader::read(const std::string& clause, SpokenClause& out) {
    const std::vector<std::string> named = library_.clauses(voice_, clause, kModeNames);
    SharedNames& shared = shared_names();
    {
        std::shared_lock lock(shared.mutex);
        const auto it = shared.by_language.find(language_);
        final_ = it != shared.by_language.end() && it->second.convert_all(named, language_, out);
        if (final_) return;
    }
    // Some name is new: read the clause in IPA as well, learn, and convert.
    ++rereads_;
    const std::vector<std::string> ipa = library_.clauses(voice_, clause, kModeIpa);
    std::unique_lock lock(shared.mutex);
    final_ = shared.by_language[language_].learn_and_convert(named, ipa, language_, out);
}

std::optional<Text> EspeakContextReader::french_reading(TextView word) {
    return pronunciation::french_reading(library_, voice_, word);
}

}  // namespace vantro::reading
