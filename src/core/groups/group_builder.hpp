// Stage E1: joins consecutive words into reading groups.
#pragma once

#include <optional>

#include "common/text.hpp"
#include "phonology/phoneme_sets.hpp"

namespace vantro {

struct WordForGrouping {
    Text text;                    // written text of the word ("" without token)
    Text phone;                   // its IPA
    std::optional<Text> liaison;  // its liaison label; nullopt when not a string
    bool ponctuation_avant = false;
    bool elision_avant = false;
    bool est_formule = false;
    // Read from text (defaults keep the behaviour for annotated words):
    bool disjonctif = false;         // h aspiré, onze, oui: no liaison or enchaînement before it
    bool trait_union_avant = false;  // inverted pronoun joined by a hyphen (dit|-elle, est|-ce)
};

struct GroupingOptions {
    bool gerer_elisions = true;
    bool gerer_liaisons = true;
    bool gerer_enchainement = true;
    // Read from text: a word that starts with a glide (oiseau, yeux) joins
    // like one that starts with a vowel; a word joined by a hyphen always
    // stays with the word before it ("trait_union" when neither a liaison
    // nor an enchaînement links them: dis-moi, est-ce).
    bool glide_joins = false;
    bool hyphen_joins = false;
};

// A group: the words [first, first + count) and the junction between each pair.
struct GroupPlan {
    std::size_t first = 0;
    std::size_t count = 0;
    std::vector<Text> jonctions;  // "elision", "liaison_" + consonant, "enchainement"
    Text phone_groupe;            // the words' IPA joined without separator
    bool est_formule = false;
};

inline const Text JONCTION_TRAIT_UNION = U"trait_union";

// An elided word ends with an apostrophe: U+0027, U+2019 or U+02BC.
bool ends_with_apostrophe(TextView text) noexcept;

// `liaison_consonnes` maps a liaison label to the consonant heard ("" or
// absent: no liaison). Every word lands in exactly one group, in order; a
// punctuation mark before a word or a formula on either side always breaks.
std::vector<GroupPlan> construire_groupes(const std::vector<WordForGrouping>& mots, const GroupingOptions& options,
                                          const TextMap<Text>& liaison_consonnes, const PhonemeSets& sets);

}  // namespace vantro
