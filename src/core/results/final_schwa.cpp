#include "results/final_schwa.hpp"

#include "phonology/tokens.hpp"
#include "unicode/unicode.hpp"

namespace vantro {

namespace {

// The letters of the endings as a case-insensitive expression reads them:
// a character matches when its simple lower case is the letter; "s" also
// takes the long s "ſ", the one other character the host's expressions
// treat as the same letter.
bool is_e(char32_t c) noexcept { return c == U'e' || c == U'E'; }
bool is_s(char32_t c) noexcept { return c == U's' || c == U'S' || c == U'ſ'; }
bool is_n(char32_t c) noexcept { return c == U'n' || c == U'N'; }
bool is_t(char32_t c) noexcept { return c == U't' || c == U'T'; }
bool is_accented_e(char32_t c) noexcept {
    switch (c) {
        case U'é': case U'è': case U'ê': case U'ë':
        case U'É': case U'È': case U'Ê': case U'Ë':
            return true;
        default:
            return false;
    }
}

// Where an expression's "$" matches: at the end, or before a final line feed.
bool at_end(TextView s, std::size_t p) noexcept { return p == s.size() || (p + 1 == s.size() && s[p] == U'\n'); }

// "(?<![éèêë])es?$": an "e" not after an accented e, then maybe an "s", then the end.
bool ends_with_mute_e(TextView s) noexcept {
    const std::size_t from = s.size() > 3 ? s.size() - 3 : 0;
    for (std::size_t i = from; i < s.size(); ++i) {
        if (!is_e(s[i]) || (i > 0 && is_accented_e(s[i - 1]))) continue;
        if (at_end(s, i + 1) || (i + 1 < s.size() && is_s(s[i + 1]) && at_end(s, i + 2))) return true;
    }
    return false;
}

// "ent$".
bool ends_with_ent(TextView s) noexcept {
    const std::size_t from = s.size() > 4 ? s.size() - 4 : 0;
    for (std::size_t i = from; i + 3 <= s.size(); ++i) {
        if (is_e(s[i]) && is_n(s[i + 1]) && is_t(s[i + 2]) && at_end(s, i + 3)) return true;
    }
    return false;
}

// pos.upper().startswith("VER"): every character upper-cases to one or
// more, so the first three characters decide.
bool verb_tag(TextView pos) { return unicode::to_upper(pos.substr(0, 3)).starts_with(U"VER"); }

}  // namespace

bool has_mute_ending(TextView ortho, TextView pos) {
    return ends_with_mute_e(ortho) || (ends_with_ent(ortho) && verb_tag(pos));
}

bool ends_with_vowel(TextView phone, const PhonemeSets& sets) { return est_voyelle(sets, last_phoneme(phone)); }

Text ajouter_schwa_final(TextView ortho, TextView pos, TextView phone, const PhonemeSets& sets) {
    Text out(phone);
    if (takes_final_schwa(ortho, pos, phone, [&]() -> const PhonemeSets& { return sets; })) out.push_back(SCHWA);
    return out;
}

}  // namespace vantro
