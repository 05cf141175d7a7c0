// The characters that French typography gives a role between or inside words.
#pragma once

#include "common/text.hpp"

namespace vantro::text {

// Elision marks: the typewriter apostrophe, the typographic one (U+2019) and
// the modifier letter apostrophe (U+02BC) that some keyboards produce.
constexpr bool is_apostrophe(char32_t c) noexcept { return c == U'\'' || c == U'\u2019' || c == U'\u02BC'; }

// Hyphens that join the parts of a compound: hyphen-minus, hyphen, non-breaking hyphen.
constexpr bool is_hyphen(char32_t c) noexcept { return c == U'-' || c == U'\u2010' || c == U'\u2011'; }

// Invisible inside a word: soft hyphen, zero-width non-joiner and joiner, word joiner.
constexpr bool is_invisible_joiner(char32_t c) noexcept {
    return c == U'\u00AD' || c == U'\u200C' || c == U'\u200D' || c == U'\u2060';
}

// Middle dot of inclusive spellings (étudiant·e·s): kept inside the word.
constexpr bool is_middle_dot(char32_t c) noexcept { return c == U'\u00B7'; }

// Marks that can end a sentence.
constexpr bool is_sentence_final(char32_t c) noexcept {
    return c == U'.' || c == U'!' || c == U'?' || c == U'\u2026' || c == U'\u203C' || c == U'\u2047' ||
           c == U'\u2048' || c == U'\u2049';
}

// Closing quotes and brackets: they stay with the sentence they close.
constexpr bool is_closing(char32_t c) noexcept {
    return c == U'\u00BB' || c == U'\u201D' || c == U'"' || c == U'\'' || c == U'\u2019' || c == U')' ||
           c == U']' || c == U'}' || c == U'\u203A';
}

// What may open a sentence besides a capital or a digit: opening quotes and
// brackets, and the dashes of dialogue.
constexpr bool is_opening(char32_t c) noexcept {
    return c == U'\u00AB' || c == U'\u201C' || c == U'"' || c == U'(' || c == U'[' || c == U'\u2039' ||
           c == U'\u2014' || c == U'\u2013' || c == U'-' || c == U'\u2015' || c == U'\u2018' || c == U'\u201E';
}

// Spaces that may separate the digit groups of a number (1 000, 1 000 000).
constexpr bool is_group_space(char32_t c) noexcept {
    return c == U' ' || c == U'\u00A0' || c == U'\u202F' || c == U'\u2009' || c == U'\u2007';
}

// Line ends, for blank lines between paragraphs.
constexpr bool is_line_break(char32_t c) noexcept {
    return c == U'\n' || c == U'\r' || c == U'\u2028' || c == U'\u0085' || c == U'\v' || c == U'\f';
}
constexpr bool is_paragraph_break(char32_t c) noexcept { return c == U'\u2029'; }

}  // namespace vantro::text
