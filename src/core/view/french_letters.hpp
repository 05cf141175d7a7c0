// Letters of written French as the syllable rules see them.
#pragma once

#include "common/text.hpp"

namespace vantro::view {

// Lower case of one code point (itself when its lower case is longer).
char32_t fold(char32_t c);

// The letter without its accent, for the Latin letters French writes (é -> e,
// ç -> c, œ stays œ); anything else unchanged. Expects a folded letter.
char32_t base_letter(char32_t folded) noexcept;

// a e i o u y and their accented forms, œ and æ. Expects a folded letter.
bool is_vowel_letter(char32_t folded) noexcept;

// Apostrophes and hyphens inside a word: they stand for no sound.
bool is_sign(char32_t c) noexcept;

}  // namespace vantro::view
