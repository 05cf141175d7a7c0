#include "phonology/tokens.hpp"

#include "unicode/unicode.hpp"

namespace vantro {

namespace {

// Start of the last token: the last code point that is not a mark, or 0 when
// the text holds marks only (they then form one token).
std::size_t last_token_start(TextView s) noexcept {
    for (std::size_t i = s.size(); i > 0; --i) {
        if (!unicode::is_mark(s[i - 1])) return i - 1;
    }
    return 0;
}

std::size_t first_token_end(TextView s) noexcept {
    std::size_t i = 1;
    while (i < s.size() && unicode::is_mark(s[i])) ++i;
    return i;
}

}  // namespace

bool is_compound_phoneme(TextView s) noexcept {
    if (s.size() != 2) return false;
    for (const Text& c : COMPOUND_PHONEMES) {
        if (s == c) return true;
    }
    return false;
}

bool is_ignored_char(char32_t c) noexcept {
    switch (c) {
        case U'-':
        case U' ':
        case U'\'':
        case U'\u2019':
        case U'_':
            return true;
        default:
            return false;
    }
}

std::size_t count_phonemes(TextView ipa) noexcept {
    std::size_t n = 0;
    for (std::size_t start = 0; start < ipa.size(); start = phoneme_end(ipa, start)) ++n;
    return n;
}

std::vector<TextView> iter_phoneme_views(TextView ipa) {
    std::vector<TextView> out;
    if (ipa.empty()) return out;
    out.reserve(ipa.size());
    std::size_t start = 0;
    for (std::size_t i = 1; i < ipa.size(); ++i) {
        if (unicode::is_mark(ipa[i])) continue;
        out.push_back(ipa.substr(start, i - start));
        start = i;
    }
    out.push_back(ipa.substr(start));
    return out;
}

std::vector<Text> iter_phonemes(TextView ipa) {
    std::vector<Text> out;
    if (ipa.empty()) return out;
    out.reserve(ipa.size());
    std::size_t start = 0;
    for (std::size_t i = 1; i < ipa.size(); ++i) {
        if (unicode::is_mark(ipa[i])) continue;
        out.emplace_back(ipa.substr(start, i - start));
        start = i;
    }
    out.emplace_back(ipa.substr(start));
    return out;
}

bool est_voyelle(const PhonemeSets& sets, TextView phoneme) {
    if (phoneme.empty()) return false;
    if (contains(sets.voyelles, phoneme)) return true;
    // Nasal vowels have no entry of their own: an oral vowel plus the tilde.
    return phoneme.size() > 1 && contains(sets.voyelles, phoneme.substr(0, 1));
}

bool est_consonne(const PhonemeSets& sets, TextView phoneme) {
    return !phoneme.empty() && contains(sets.consonnes, phoneme);
}

bool est_semi_voyelle(const PhonemeSets& sets, TextView phoneme) {
    return !phoneme.empty() && contains(sets.semi_voyelles, phoneme);
}

bool phone_starts_with_vowel(const PhonemeSets& sets, TextView phone) {
    if (phone.empty()) return false;
    return est_voyelle(sets, phone.substr(0, first_token_end(phone)));
}

bool phone_ends_with_consonne(const PhonemeSets& sets, TextView phone) {
    if (phone.empty()) return false;
    return est_consonne(sets, phone.substr(last_token_start(phone)));
}

bool phone_ends_with_schwa(TextView phone) {
    // The schwa is no mark, so a text ending in it has the schwa alone as last token.
    return !phone.empty() && phone.back() == SCHWA;
}

}  // namespace vantro
