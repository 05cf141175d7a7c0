// Character tests and runs shared by the scanners of the tokenizer.
#pragma once

#include <cstddef>

#include "common/text.hpp"
#include "text/characters.hpp"
#include "unicode/properties.hpp"

namespace vantro::text {

inline bool is_digit(char32_t c) noexcept {
    if (c < 0x80) return c >= U'0' && c <= U'9';
    return unicode::category(c) == unicode::Category::Nd;
}
// U+02BC is a letter to Unicode but an elision mark in French text.
inline bool is_letter(char32_t c) noexcept {
    if (c < 0x80) return (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z');
    return c != U'\u02BC' && unicode::is_letter(unicode::category(c));
}
inline bool is_alnum(char32_t c) noexcept { return is_letter(c) || is_digit(c); }
inline bool is_mark(char32_t c) noexcept { return c >= 0x300 && unicode::is_mark(unicode::category(c)); }

// First position at or after `i` that is no combining mark.
inline std::size_t skip_marks(TextView t, std::size_t i) noexcept {
    while (i < t.size() && is_mark(t[i])) ++i;
    return i;
}

// End of the letters (with their marks) that start at `i`.
inline std::size_t letters_end(TextView t, std::size_t i) noexcept {
    while (i < t.size() && (is_letter(t[i]) || is_mark(t[i]))) ++i;
    return i;
}

// End of the digits that start at `i`.
inline std::size_t digits_end(TextView t, std::size_t i) noexcept {
    while (i < t.size() && is_digit(t[i])) ++i;
    return i;
}

// What a word may hold between two letters or digits and still be one word.
inline bool is_inner_joiner(char32_t c) noexcept {
    return is_apostrophe(c) || is_hyphen(c) || is_middle_dot(c) || is_invisible_joiner(c);
}

struct WordRun {
    std::size_t end = 0;
    bool has_digit = false;
    bool has_letter = false;
    bool dotted = false;  // a full stop or @ inside (exemple.fr, nom@exemple.fr)
};

// The word that starts at `i` with a letter or a digit: letters, digits and
// their marks, joined by apostrophes, hyphens, middle dots and invisible
// joiners, or by a full stop or @ when a lower-case letter or a digit follows.
// A joiner always has a letter or digit on both sides.
inline WordRun word_run(TextView t, std::size_t i) noexcept {
    WordRun r;
    const std::size_t n = t.size();
    while (true) {
        while (i < n) {
            const char32_t c = t[i];
            if (is_letter(c)) r.has_letter = true;
            else if (is_digit(c)) r.has_digit = true;
            else if (!is_mark(c)) break;
            ++i;
        }
        if (i + 1 >= n || !is_alnum(t[i + 1])) break;
        const char32_t j = t[i];
        if (is_inner_joiner(j)) {
            ++i;
            continue;
        }
        if (j == U'.' || j == U'@') {
            const char32_t next = t[i + 1];
            if (is_digit(next) || unicode::category(next) == unicode::Category::Ll) {
                r.dotted = true;
                ++i;
                continue;
            }
        }
        break;
    }
    r.end = i;
    return r;
}

}  // namespace vantro::text
