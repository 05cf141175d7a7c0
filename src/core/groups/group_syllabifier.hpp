// Stage E2: each reading group gets its syllables. A group of words is one
// stretch of speech across word boundaries; a formula group takes its
// syllables from its reading, one per step.
#pragma once

#include <map>
#include <optional>

#include "alignment/assembly.hpp"
#include "common/text.hpp"
#include "groups/formula_readings.hpp"
#include "groups/group_alignment_text.hpp"
#include "phonology/phoneme_sets.hpp"
#include "phonology/sonority.hpp"
#include "results/analysis.hpp"
#include "results/syllable.hpp"
#include "results/syllable_builder.hpp"

namespace vantro {

struct LinguisticContext {
    const PhonemeSets& sets;
    const SonorityClasses& sonority;
    const CompiledTable& table;
    const TextSet& silent_letters;
    // The same classes in tables (built on `sets` and `sonority`), when the
    // caller keeps one: the syllables come faster, and are the same.
    const PhonemeClassifier* classifier = nullptr;
};

// Syllables of a group whose IPA is `phone_groupe` (not empty), spans in the
// caller's text. One word: aligned alone, offset by its start. Several words:
// their texts are aligned as one with the word boundaries, and every span is
// mapped back through the characters' positions in the caller's text.
std::vector<SyllabeRec> syllabifier_groupe(TextView phone_groupe, const std::vector<GroupWord>& words,
                                           const LinguisticContext& ctx);
// The same, with the alignment behind the syllables (spans in the caller's
// text too): what a view of the letters needs.
Analysis analyse_groupe(TextView phone_groupe, const std::vector<GroupWord>& words, const LinguisticContext& ctx);
// The same syllables handed to `sink` as they are built (see SyllableSink),
// and the alignment into `alignment` when given.
void syllabifier_groupe(TextView phone_groupe, const std::vector<GroupWord>& words, const LinguisticContext& ctx,
                        SyllableSink& sink, Alignment* alignment = nullptr);

// What E2 does with each group, in order:
//  1. a formula group that holds a reading: the reading is checked
//     (valider_spans_formule) and gives the syllables;
//  2. a formula group without one, whose position has a reading given by
//     position: that reading is checked, stored into the group, and gives
//     the syllables (a formula group with no reading at all goes on as words);
//  3. a group with an empty IPA: no syllables;
//  4. any other group: syllabifier_groupe of its words.
// `Groups` holds the caller's groups and answers, for group `gi`, only what
// the step at hand needs: size(); est_formule(gi); own_reading(gi) and
// reading_by_position(gi), each true when it found a reading (which becomes
// the current one); check_reading(); store_reading(gi);
// syllables_of_reading(gi); phone_empty(gi); no_syllables(gi);
// syllables_of_words(gi). An exception stops the walk where it is.
template <class Groups>
void syllabifier_groupes(Groups& groups);

// The core's own groups.
struct ReadingGroup {
    std::vector<GroupWord> words;
    Text phone_groupe;
    bool est_formule = false;
    std::optional<FormulaReading> lecture;
};
// E2 over them: one analysis per group (formula groups and groups without
// IPA have no alignment: `ok` false). A reading found in
// `lectures_formules` by position is stored into its group.
std::vector<Analysis> syllabifier_groupes(std::vector<ReadingGroup>& groupes,
                                          const std::map<std::size_t, FormulaReading>& lectures_formules,
                                          const LinguisticContext& ctx);

// ---------------------------------------------------------------- inline part

template <class Groups>
void syllabifier_groupes(Groups& groups) {
    const std::size_t n = groups.size();
    for (std::size_t gi = 0; gi < n; ++gi) {
        if (groups.est_formule(gi)) {
            if (groups.own_reading(gi)) {
                groups.check_reading();
                groups.syllables_of_reading(gi);
                continue;
            }
            if (groups.reading_by_position(gi)) {
                groups.check_reading();
                groups.store_reading(gi);
                groups.syllables_of_reading(gi);
                continue;
            }
        }
        if (groups.phone_empty(gi))
            groups.no_syllables(gi);
        else
            groups.syllables_of_words(gi);
    }
}

}  // namespace vantro
