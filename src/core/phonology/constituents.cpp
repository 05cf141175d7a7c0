#include "phonology/constituents.hpp"

#include "phonology/tokens.hpp"

namespace vantro {

std::optional<std::array<Text, 3>> decouper_syllabe(TextView syll_phone, const PhonemeSets& sets) {
    const std::vector<TextView> tokens = iter_phoneme_views(syll_phone);
    for (const TextView t : tokens) {
        if (!est_voyelle(sets, t)) continue;
        // Tokens are contiguous views of the input: the parts are its slices.
        const std::size_t start = static_cast<std::size_t>(t.data() - syll_phone.data());
        return std::array<Text, 3>{Text(syll_phone.substr(0, start)), Text(t),
                                   Text(syll_phone.substr(start + t.size()))};
    }
    return std::nullopt;
}

}  // namespace vantro
