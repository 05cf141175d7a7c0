// Walking the text of a letter view in order, for the renderings: each
// character is either a letter of a word or lies between words, where a
// junction of a reading group may join them.
#pragma once

#include "view/letter_view.hpp"

namespace vantro::exporting::detail {

// A character a renderer may not pass on as it is: C0 and C1 controls other
// than tab and line feed, DEL, lone surrogates. (ESC among them: a text must
// not be able to drive the reader's terminal.)
inline bool unsafe_char(char32_t c) noexcept {
    return (c < 0x20 && c != U'\t' && c != U'\n') || (c >= 0x7F && c <= 0x9F) || (c >= 0xD800 && c <= 0xDFFF) ||
           c > 0x10FFFF;
}
inline char32_t safe_char(char32_t c) noexcept { return unsafe_char(c) ? U'\uFFFD' : c; }

// The junction whose gap (the characters between its two words) starts at
// each position of the text, or NONE.
std::vector<int> junction_gaps(const view::LetterView& v);

// The text of `position` letters: the letter index at each position, or NONE.
std::vector<int> letter_at_positions(const view::LetterView& v);

// For each letter, the junction whose liaison it carries, or NONE.
std::vector<int> liaison_of_letters(const view::LetterView& v);

// What a letter says on hover: its phonemes, the unit they are written with,
// the liaison it carries (`junction`, or NONE) and its syllable.
Text letter_title(const view::LetterView& v, const view::Letter& l, int junction);

}  // namespace vantro::exporting::detail
