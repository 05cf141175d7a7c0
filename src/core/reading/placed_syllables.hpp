// Syllables of a run of words whose letters may sit anywhere in the caller's
// text: each letter carries its own place there (a decomposed accent makes
// one letter two characters long).
#pragma once

#include <cstdint>
#include <vector>

#include "alignment/phone_table.hpp"
#include "common/text.hpp"
#include "phonology/phoneme_sets.hpp"
#include "phonology/sonority.hpp"
#include "results/syllable.hpp"

namespace vantro::reading {

struct LetterPlace {
    std::int64_t begin = 0;
    std::int64_t end = 0;
};

struct PlacedWord {
    TextView text;                   // the letters aligned (NFC)
    const LetterPlace* places;       // one per letter of `text`
};

struct SyllableContext {
    const PhonemeSets& sets;
    const SonorityClasses& sonority;
    const CompiledTable& table;
    const TextSet& silent_letters;
};

// The syllables of `phone` with the letters of `words` (aligned as one
// stretch, word boundaries given), spans in the caller's text. False when
// the letters cannot be aligned with the sounds (or are too long to try):
// `out` is then left empty.
bool placed_syllables(const std::vector<PlacedWord>& words, TextView phone, const SyllableContext& ctx,
                      std::vector<SyllabeRec>& out);

// The syllables of `phone` without letters, each with the empty span at `at`:
// for a word whose letters could not be placed.
void unplaced_syllables(TextView phone, std::int64_t at, const SyllableContext& ctx, std::vector<SyllabeRec>& out);

// The aligned words as one text, with the ends of all but the last word.
struct JoinedWords {
    Text text;
    std::vector<std::int64_t> boundaries;
};
JoinedWords join_words(const std::vector<TextView>& words);

}  // namespace vantro::reading
