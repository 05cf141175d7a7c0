// The two marks a grapheme may carry. They stand for no letter, and no span
// counts them.
#pragma once

#include <algorithm>

#include "common/text.hpp"

namespace vantro {

constexpr char32_t SILENT_MARK = U'\u00B0';  // "°": follows a silent letter
constexpr char32_t SHARED_MARK = U'\u00B2';  // "²": a letter shared with the neighbouring phoneme

constexpr bool is_grapheme_mark(char32_t c) noexcept { return c == SILENT_MARK || c == SHARED_MARK; }

// How many letters `grapheme` holds.
inline std::int64_t letter_count(TextView grapheme) noexcept {
    return static_cast<std::int64_t>(std::count_if(grapheme.begin(), grapheme.end(),
                                                    [](char32_t c) { return !is_grapheme_mark(c); }));
}

// The letters alone, into `out` (its storage kept), or as a new text.
inline void letters_of(TextView grapheme, Text& out) {
    out.clear();
    for (char32_t c : grapheme)
        if (!is_grapheme_mark(c)) out.push_back(c);
}
inline Text without_marks(TextView grapheme) {
    Text out;
    letters_of(grapheme, out);
    return out;
}

}  // namespace vantro
