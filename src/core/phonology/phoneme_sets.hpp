// Phoneme classes of the linguistic data, as the core reads them.
#pragma once

#include <optional>

#include "common/text.hpp"

namespace vantro {

// The three derived sets of the data loader: oral vowels, consonants, semi-vowels.
struct PhonemeSets {
    TextSet voyelles;
    TextSet consonnes;
    TextSet semi_voyelles;
};

// One entry of the IPA alphabet: its "type" and "sous_type" when they are strings.
struct AlphabetEntry {
    std::optional<Text> type;
    std::optional<Text> sous_type;
};

using Alphabet = std::vector<std::pair<Text, AlphabetEntry>>;

}  // namespace vantro
