// A sentence read in context, each spoken token given its own share.
//
// The sentence is cut into clauses at its punctuation; each clause is read
// as a whole (liaisons, h aspiré, elided forms and numbers are said as a
// reader says them) from a text made of the tokens' readings, one word of
// the clause per token or per run of tokens glued by an elision or a hyphen
// (l'anniversaire, dit-elle). espeak-ng prints one word per word of that
// text, except that it reads a few expressions as one word (parce que,
// tout le monde) or cuts a few words in two (MonFichier): when the counts
// differ, the words are matched left to right by whether the letters can
// spell the sounds. Inside a run of glued tokens, or of tokens read as one
// word, the sounds are split by the grapheme-phoneme alignment of their
// letters, each sound going to the token whose letters spell it.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "alignment/phone_table.hpp"
#include "common/text.hpp"
#include "reading/bounded_cache.hpp"
#include "reading/context_reader.hpp"

namespace vantro::reading {

struct ReadingItem {
    Text text;                  // as written (NFC): the letters its share is aligned with
    Text reading;               // what is read: the word, or a formula said in words
    bool formula = false;
    bool glued = false;         // read in one word with the item before (l'|enfant, dit|-elle)
    bool clause_start = false;  // a punctuation mark stands before it
    bool alone = false;         // read in a clause of its own (a code espeak-ng spells out)
};

struct ItemReading {
    std::vector<SpokenPhoneme> phonemes;
    bool disjonctif = false;  // espeak-ng paused before it as before an h aspiré
    std::string language;     // when another language's rules read it
    bool share_checked = true;  // false: its share could not be told apart by letters
    // Read in one word of espeak-ng with other tokens' words (parce que,
    // de temps en temps): the index of that expression's first item, or npos.
    std::size_t expression = static_cast<std::size_t>(-1);
    bool in_expression() const noexcept { return expression != static_cast<std::size_t>(-1); }
};

struct ShareAligner {
    const CompiledTable& table;
    const TextSet& silent_letters;
};

// How the shares of a text were found, for the measurement script.
struct ReadingStats {
    std::size_t clauses = 0;
    std::size_t clauses_matched = 0;  // as many words heard as read
    std::size_t units = 0;            // words of the clauses' texts
    std::size_t units_by_letters = 0; // matched by their letters (counts differed)
    std::size_t units_unchecked = 0;  // neither
    std::size_t glued_runs = 0;
    std::size_t glued_by_letters = 0;
    std::size_t rereads = 0;

    ReadingStats& operator+=(const ReadingStats& o) noexcept;
};

// What one clause gave its items, kept for the next time the same items
// make the same clause: a text repeats its clauses (titles, table cells,
// set phrases), and espeak-ng and the matching are then spared.
struct ClauseShares {
    std::vector<ItemReading> items;  // `expression` counted from the clause's first item
    ReadingStats stats;              // what reading the clause added
};
using ClauseCache = BoundedCache<ClauseShares>;

// One reading per item, in order. With a cache, a clause is read only when
// it is not kept there, and kept when the reader says its reading is final;
// the cache must come with the same `aligner` every time.
std::vector<ItemReading> read_sentence(const std::vector<ReadingItem>& items, ContextReader& reader,
                                       const ShareAligner& aligner, ReadingStats* stats = nullptr,
                                       ClauseCache* cache = nullptr);

// Splits `phonemes` among `words` by aligning the words' letters with their
// sounds (words as one group). False when they cannot be aligned.
bool split_by_letters(const std::vector<TextView>& words, const std::vector<SpokenPhoneme>& phonemes,
                      const ShareAligner& aligner, std::vector<std::vector<SpokenPhoneme>>& out);

// A phoneme as the analysis reads it: no stress marks, no "-".
Text clean_phoneme(TextView ipa);
// The phonemes of a share joined into the IPA the analysis reads.
Text joined_ipa(const std::vector<SpokenPhoneme>& phonemes);

}  // namespace vantro::reading
