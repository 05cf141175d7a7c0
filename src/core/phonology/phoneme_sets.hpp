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

// The three sets the data loader derives from the alphabet, and the test an
// entry passes to have its symbol in one: "type" "voyelle" with "sous_type"
// "orale" (a vowel of another sub-type is left out), "type" "consonne",
// "type" "semi-voyelle". `Entry` answers type() and sous_type() with an
// optional text (nothing when the member is absent or no string); sous_type()
// is asked only of vowels.
enum class DerivedSet { Voyelles, Consonnes, SemiVoyelles };
template <class Entry>
bool belongs_to(DerivedSet set, Entry& entry) {
    const std::optional<Text> type = entry.type();
    switch (set) {
        case DerivedSet::Voyelles: return type == U"voyelle" && entry.sous_type() == U"orale";
        case DerivedSet::Consonnes: return type == U"consonne";
        default: return type == U"semi-voyelle";
    }
}
PhonemeSets derive_phoneme_sets(const Alphabet& alphabet);

}  // namespace vantro
