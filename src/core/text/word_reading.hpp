// What kind of token a written word is, and what a phonemizer is given for it.
#pragma once

#include <cstddef>
#include <optional>

#include "common/text.hpp"
#include "text/piece.hpp"

namespace vantro::text {

// The spoken token just before, as far as a word's reading depends on it.
struct Context {
    bool after_number = false;        // a number comes right before (10 km)
    bool after_plural_number = false; // ... of 2 or more (10 kilomètres)
    bool after_name = false;          // a capitalised word (Louis XIV) or a noun
                                      // that numbers with roman numerals (chapitre IV)
};

// Fills in the kind and reading of the word piece `p` of `t` (its elision and
// hyphen flags already set), possibly taking the full stop after a title or an
// initial into it (Mme., J.). Pronouns and elided words stay words.
void read_word(TextView t, Piece& p, const Context& before);

// The reading of a word as written: apostrophes as U+0027, hyphens as
// hyphen-minus, without the marks that are not said (soft hyphen, middle dot).
Text word_reading(TextView written);

// Whether the word `lower` numbers with a roman numeral after it (chapitre IV).
bool numbers_with_roman(TextView lower);

}  // namespace vantro::text
