// Stage E2 for a group of words: one stretch of speech across word boundaries.
#pragma once

#include "alignment/assembly.hpp"
#include "common/text.hpp"
#include "groups/group_alignment_text.hpp"
#include "phonology/phoneme_sets.hpp"
#include "phonology/sonority.hpp"
#include "results/syllable.hpp"

namespace vantro {

struct LinguisticContext {
    const PhonemeSets& sets;
    const SonorityClasses& sonority;
    const CompiledTable& table;
    const TextSet& silent_letters;
};

// Syllables of a group whose IPA is `phone_groupe` (not empty), spans in the
// caller's text. One word: aligned alone, offset by its start. Several words:
// their texts are aligned as one with the word boundaries, and every span is
// mapped back through the characters' positions in the caller's text.
std::vector<SyllabeRec> syllabifier_groupe(TextView phone_groupe, const std::vector<GroupWord>& words,
                                           const LinguisticContext& ctx);

// The same syllables with the alignment they were built from, its spans in
// the caller's text (for a one-word group too).
struct GroupAnalysis {
    Alignment alignment;
    std::vector<SyllabeRec> syllables;
};
GroupAnalysis analyse_groupe(TextView phone_groupe, const std::vector<GroupWord>& words,
                             const LinguisticContext& ctx);

}  // namespace vantro
