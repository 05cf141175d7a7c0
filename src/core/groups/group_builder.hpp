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
};

struct GroupingOptions {
    bool gerer_elisions = true;
    bool gerer_liaisons = true;
    bool gerer_enchainement = true;
};

// A group: the words [first, first + count) and the junction between each pair.
struct GroupPlan {
    std::size_t first = 0;
    std::size_t count = 0;
    std::vector<Text> jonctions;  // "elision", "liaison_" + consonant, "enchainement"
    Text phone_groupe;            // the words' IPA joined without separator
    bool est_formule = false;
};

// `liaison_consonnes` maps a liaison label to the consonant heard ("" or
// absent: no liaison). Every word lands in exactly one group, in order; a
// punctuation mark before a word or a formula on either side always breaks.
std::vector<GroupPlan> construire_groupes(const std::vector<WordForGrouping>& mots, const GroupingOptions& options,
                                          const TextMap<Text>& liaison_consonnes, const PhonemeSets& sets);

}  // namespace vantro
