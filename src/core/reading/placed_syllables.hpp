// Syllables of a run of words whose letters may sit anywhere in the caller's
// text: each letter carries its own place there (a decomposed accent makes
// one letter two characters long).
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "alignment/phone_table.hpp"
#include "common/text.hpp"
#include "phonology/phoneme_sets.hpp"
#include "phonology/sonority.hpp"
#include "reading/bounded_cache.hpp"
#include "results/syllable.hpp"

namespace vantro::reading {

struct LetterPlace {
    std::int64_t begin = 0;
    std::int64_t end = 0;
};

struct PlacedWord {
    TextView text;              // the letters aligned (NFC)
    const LetterPlace* places;  // one per letter of `text`
};

struct SyllableContext {
    const PhonemeSets& sets;
    const SonorityClasses& sonority;
    const CompiledTable& table;
    const TextSet& silent_letters;
};

// The syllables of some words and their sounds, spans counted in the
// letters of the words written one after the other; ok false when the
// letters cannot be aligned with the sounds (or are too long to try).
// Shared by every occurrence of the same words with the same sounds.
struct LetterSyllables {
    bool ok = false;
    std::vector<SyllabeRec> syllables;
};
using SharedSyllables = std::shared_ptr<const LetterSyllables>;
using SyllableCache = BoundedCache<SharedSyllables>;

// `cuts`: offsets in `phone` where the syllabification starts afresh, so
// that no syllable runs across them (words said with a break between them,
// though in one group); empty for one stretch of speech.
SharedSyllables letter_syllables(const std::vector<TextView>& words, TextView phone,
                                 const std::vector<std::size_t>& cuts, const SyllableContext& ctx,
                                 SyllableCache& cache);

// A syllable in the caller's text: its letters and sounds (`rec`, whose own
// span counts letters of its group) and where it lies (`span`).
struct PlacedSyllable {
    const SyllabeRec* rec = nullptr;
    Span span;
};

// Syllables one after the other, with what keeps their records alive.
class PlacedSyllables {
public:
    std::size_t size() const noexcept { return syllables_.size(); }
    bool empty() const noexcept { return syllables_.empty(); }
    const PlacedSyllable& operator[](std::size_t i) const { return syllables_[i]; }
    auto begin() const noexcept { return syllables_.begin(); }
    auto end() const noexcept { return syllables_.end(); }
    void clear() noexcept {
        syllables_.clear();
        owners_.clear();
    }
    // Appends every syllable of `owner`, each at the span `place(rec)` gives.
    template <class Place>
    void append(SharedSyllables owner, Place&& place) {
        for (const SyllabeRec& s : owner->syllables) syllables_.push_back(PlacedSyllable{&s, place(s)});
        owners_.push_back(std::move(owner));
    }

private:
    std::vector<PlacedSyllable> syllables_;
    std::vector<SharedSyllables> owners_;
};

// Appends the syllables of `phone` with the letters of `words` (aligned as
// one stretch, word boundaries given), spans in the caller's text. False,
// and nothing appended, when the letters cannot be aligned with the sounds.
bool place_syllables(const std::vector<PlacedWord>& words, TextView phone, const std::vector<std::size_t>& cuts,
                     const SyllableContext& ctx, SyllableCache& cache, PlacedSyllables& out);

// Appends the syllables of `phone` without letters, each with the empty span
// at `at`: for a word whose letters could not be placed.
void place_unaligned(TextView phone, std::int64_t at, const SyllableContext& ctx, PlacedSyllables& out);

// The aligned words as one text, a space between two words: the search
// takes a space for a character without sound, so no grapheme reaches
// across two words (moins cinq: the s of "moins" and the c of "cinq" are not
// one "sc"). `boundaries` are the ends of all but the last word.
struct JoinedWords {
    Text text;
    std::vector<std::int64_t> boundaries;
};
JoinedWords join_words(const std::vector<TextView>& words);
// A span of the joined text as a span of the words' letters alone.
Span letters_span(const JoinedWords& joined, Span span);

}  // namespace vantro::reading
