#include "phonology/constituents.hpp"

#include "phonology/tokens.hpp"

namespace vantro {

std::optional<std::array<TextView, 3>> decouper_syllabe_views(TextView syll_phone, const PhonemeSets& sets) {
    // Tokens are contiguous slices of the input: the parts are its slices too.
    for (std::size_t start = 0; start < syll_phone.size();) {
        const std::size_t end = phoneme_end(syll_phone, start);
        if (est_voyelle(sets, syll_phone.substr(start, end - start)))
            return std::array<TextView, 3>{syll_phone.substr(0, start), syll_phone.substr(start, end - start),
                                           syll_phone.substr(end)};
        start = end;
    }
    return std::nullopt;
}

std::optional<std::array<Text, 3>> decouper_syllabe(TextView syll_phone, const PhonemeSets& sets) {
    const auto parts = decouper_syllabe_views(syll_phone, sets);
    if (!parts) return std::nullopt;
    return std::array<Text, 3>{Text((*parts)[0]), Text((*parts)[1]), Text((*parts)[2])};
}

}  // namespace vantro
