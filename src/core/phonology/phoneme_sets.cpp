#include "phonology/phoneme_sets.hpp"

namespace vantro {

namespace {

struct EntryOf {
    const AlphabetEntry& entry;
    const std::optional<Text>& type() const { return entry.type; }
    const std::optional<Text>& sous_type() const { return entry.sous_type; }
};

}  // namespace

PhonemeSets derive_phoneme_sets(const Alphabet& alphabet) {
    PhonemeSets sets;
    for (const auto& [symbol, entry] : alphabet) {
        EntryOf e{entry};
        if (belongs_to(DerivedSet::Voyelles, e)) sets.voyelles.insert(symbol);
        if (belongs_to(DerivedSet::Consonnes, e)) sets.consonnes.insert(symbol);
        if (belongs_to(DerivedSet::SemiVoyelles, e)) sets.semi_voyelles.insert(symbol);
    }
    return sets;
}

}  // namespace vantro
