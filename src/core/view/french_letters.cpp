#include "view/french_letters.hpp"

#include "phonology/tokens.hpp"
#include "unicode/unicode.hpp"

namespace vantro::view {

char32_t fold(char32_t c) {
    if (c < 0x80) return (c >= U'A' && c <= U'Z') ? c + 32 : c;
    const Text lower = unicode::lower_char(c);
    return lower.size() == 1 ? lower[0] : c;
}

char32_t base_letter(char32_t c) noexcept {
    switch (c) {
        case U'à': case U'â': case U'ä': case U'á': return U'a';
        case U'é': case U'è': case U'ê': case U'ë': return U'e';
        case U'î': case U'ï': case U'í': return U'i';
        case U'ô': case U'ö': case U'ó': return U'o';
        case U'ù': case U'û': case U'ü': case U'ú': return U'u';
        case U'ÿ': return U'y';
        case U'ç': return U'c';
        case U'ñ': return U'n';
        default: return c;
    }
}

bool is_vowel_letter(char32_t c) noexcept {
    switch (base_letter(c)) {
        case U'a': case U'e': case U'i': case U'o': case U'u': case U'y': case U'œ': case U'æ':
            return true;
        default:
            return false;
    }
}

bool is_sign(char32_t c) noexcept {
    // Besides the characters the alignment steps over: the modifier-letter
    // apostrophe and the Unicode hyphens a text may hold.
    return is_ignored_char(c) || c == U'\u02BC' || c == U'\u2018' || c == U'\u2010' || c == U'\u2011';
}

}  // namespace vantro::view
