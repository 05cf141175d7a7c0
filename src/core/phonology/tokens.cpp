#include "phonology/tokens.hpp"

#include "unicode/unicode.hpp"

namespace vantro {

std::size_t count_phonemes(TextView ipa) noexcept {
    std::size_t n = 0;
    for_each_phoneme(ipa, [&](TextView) { ++n; });
    return n;
}

void iter_phoneme_views(TextView ipa, std::vector<TextView>& out) {
    out.clear();
    for_each_phoneme(ipa, [&](TextView token) { out.push_back(token); });
}

std::vector<TextView> iter_phoneme_views(TextView ipa) {
    std::vector<TextView> out;
    out.reserve(ipa.size());
    iter_phoneme_views(ipa, out);
    return out;
}

std::vector<Text> iter_phonemes(TextView ipa) {
    std::vector<Text> out;
    out.reserve(ipa.size());
    for_each_phoneme(ipa, [&](TextView token) { out.emplace_back(token); });
    return out;
}

TextView first_phoneme(TextView ipa) noexcept { return ipa.empty() ? ipa : ipa.substr(0, phoneme_end(ipa, 0)); }

TextView last_phoneme(TextView ipa) noexcept {
    // The last token starts at the last code point that is no mark, or at 0
    // when there is none after the first: read from the end, the same cut.
    std::size_t start = ipa.size();
    while (start > 1 && unicode::is_mark(ipa[start - 1])) --start;
    return ipa.substr(start > 0 ? start - 1 : 0);
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
    return est_voyelle(sets, first_phoneme(phone));
}

bool phone_ends_with_consonne(const PhonemeSets& sets, TextView phone) {
    if (phone.empty()) return false;
    return est_consonne(sets, last_phoneme(phone));
}

bool phone_ends_with_schwa(TextView phone) {
    // The schwa is no mark, so a text ending in it has the schwa alone as last token.
    return !phone.empty() && phone.back() == SCHWA;
}

}  // namespace vantro
