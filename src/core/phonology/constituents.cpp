#include "phonology/constituents.hpp"

#include "phonology/classifier.hpp"
#include "phonology/tokens.hpp"

namespace vantro {

namespace {

template <class IsVowel>
std::optional<std::array<TextView, 3>> split_views(TextView syll_phone, const IsVowel& is_vowel) {
    // Tokens are contiguous slices of the input: the parts are its slices too.
    for (std::size_t start = 0; start < syll_phone.size();) {
        const std::size_t end = phoneme_end(syll_phone, start);
        if (is_vowel(syll_phone.substr(start, end - start)))
            return std::array<TextView, 3>{syll_phone.substr(0, start), syll_phone.substr(start, end - start),
                                           syll_phone.substr(end)};
        start = end;
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::array<TextView, 3>> decouper_syllabe_views(TextView syll_phone, const PhonemeSets& sets) {
    return split_views(syll_phone, [&](TextView t) { return est_voyelle(sets, t); });
}

std::optional<std::array<TextView, 3>> decouper_syllabe_views(TextView syll_phone,
                                                              const PhonemeClassifier& classifier) {
    return split_views(syll_phone, [&](TextView t) { return classifier.est_voyelle(t); });
}

std::optional<std::array<Text, 3>> decouper_syllabe(TextView syll_phone, const PhonemeSets& sets) {
    const auto parts = decouper_syllabe_views(syll_phone, sets);
    if (!parts) return std::nullopt;
    return std::array<Text, 3>{Text((*parts)[0]), Text((*parts)[1]), Text((*parts)[2])};
}

}  // namespace vantro
