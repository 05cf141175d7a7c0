#include "pronunciation/french_reading.hpp"

#include "frontend/espeak_output.hpp"
#include "pronunciation/language_switch.hpp"

namespace vantro::pronunciation {

namespace {

constexpr char32_t JOINER = U'\u034F';  // COMBINING GRAPHEME JOINER

}  // namespace

std::optional<Text> french_reading(EspeakLibrary& espeak, const std::string& voice, TextView word) {
    const std::string base = voice.substr(0, voice.find('-'));
    auto read = [&](TextView text) -> std::optional<Text> {
        const std::string raw = espeak.ipa(voice, to_utf8(text));
        if (has_language_switch(raw, base)) return std::nullopt;
        Text ipa = clean_espeak_output(raw);
        std::erase(ipa, JOINER);
        return ipa;
    };
    if (auto plain = read(word)) return plain;
    std::optional<Text> best;
    for (std::size_t k = 1; k < word.size(); ++k) {
        Text probe(word.substr(0, k));
        probe.push_back(JOINER);
        probe.append(word.substr(k));
        auto ipa = read(probe);
        if (ipa && (!best || ipa->size() < best->size())) best = std::move(ipa);
    }
    return best;
}

}  // namespace vantro::pronunciation
