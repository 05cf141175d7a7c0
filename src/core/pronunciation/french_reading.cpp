#include "pronunciation/french_reading.hpp"

#include "frontend/espeak_output.hpp"
#include "phonology/tokens.hpp"
#include "pronunciation/language_switch.hpp"

namespace vantro::pronunciation {

namespace {

constexpr char32_t JOINER = U'\u034F';  // COMBINING GRAPHEME JOINER

// A joiner between two equal letters ("pu͏ll") makes both sound; French
// says a double consonant once.
Text single_consonants(TextView ipa) {
    Text out;
    TextView last;
    for_each_phoneme(ipa, [&](TextView t) {
        const bool vowel = !t.empty() && TextView(U"ieɛaɑɔouyøœə").find(t[0]) != TextView::npos;
        if (!(t == last && !vowel)) out.append(t);
        last = t;
    });
    return out;
}

}  // namespace

std::optional<Text> french_reading(EspeakLibrary& espeak, const std::string& voice, TextView word) {
    const std::string base(voice_language(voice));
    auto read = [&](TextView text) -> std::optional<Text> {
        const std::string raw = espeak.ipa(voice, to_utf8(text));
        if (has_language_switch(raw, base)) return std::nullopt;
        Text ipa = clean_espeak_output(raw);
        std::erase(ipa, JOINER);
        return ipa;
    };
    const std::string raw = espeak.ipa(voice, to_utf8(word));
    if (!has_language_switch(raw, base)) return clean_espeak_output(raw);
    std::optional<Text> best;
    for (std::size_t k = 1; k < word.size(); ++k) {
        Text probe(word.substr(0, k));
        probe.push_back(JOINER);
        probe.append(word.substr(k));
        auto ipa = read(probe);
        if (ipa && (!best || ipa->size() < best->size())) best = std::move(ipa);
    }
    if (best) best = single_consonants(*best);
    return best;
}

}  // namespace vantro::pronunciation
