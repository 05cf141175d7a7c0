// IPA phoneme tokens and the class predicates built on the data's sets.
#pragma once

#include <array>

#include "common/text.hpp"
#include "phonology/phoneme_sets.hpp"
#include "unicode/unicode.hpp"

namespace vantro {

// Phonemes written with two tokens that the syllabifier treats as one obstruent.
inline const std::array<Text, 4> COMPOUND_PHONEMES = {U"tʃ", U"dʒ", U"ts", U"ɡz"};
// One of COMPOUND_PHONEMES; inline, as the syllabifier asks it of every token pair.
constexpr bool is_compound_phoneme(TextView s) noexcept {
    if (s.size() != 2) return false;
    switch (s[0]) {
        case U't': return s[1] == U'ʃ' || s[1] == U's';
        case U'd': return s[1] == U'ʒ';
        case U'ɡ': return s[1] == U'z';
        default: return false;
    }
}

// Characters of a written word that stand for no sound.
constexpr TextView IGNORED_CHARS = U"- '\u2019_";
constexpr bool is_ignored_char(char32_t c) noexcept { return IGNORED_CHARS.find(c) != TextView::npos; }

constexpr char32_t SCHWA = U'ə';

// The phoneme tokens of an IPA text: one base code point followed by its
// combining marks; marks at the very start form a token of their own.
// Every cut of the core is this one: phoneme_end() gives a token's end,
// for_each_phoneme() walks the tokens, the others collect them.

// End of the token that starts at `start` (< ipa.size()). Inline: it runs
// once per token; nothing below U+0300 is a mark.
inline std::size_t phoneme_end(TextView ipa, std::size_t start) noexcept {
    std::size_t i = start + 1;
    while (i < ipa.size() && ipa[i] >= 0x300 && unicode::is_mark(ipa[i])) ++i;
    return i;
}

// f(token) for each token, as a view into `ipa`, with nothing allocated.
template <class F>
void for_each_phoneme(TextView ipa, F&& f) {
    for (std::size_t start = 0; start < ipa.size();) {
        const std::size_t end = phoneme_end(ipa, start);
        f(ipa.substr(start, end - start));
        start = end;
    }
}

std::vector<Text> iter_phonemes(TextView ipa);
// The tokens as views into `ipa` (valid while `ipa` lives); the second form
// fills `out`, whose storage is kept.
std::vector<TextView> iter_phoneme_views(TextView ipa);
void iter_phoneme_views(TextView ipa, std::vector<TextView>& out);
std::size_t count_phonemes(TextView ipa) noexcept;
// The first and the last token ("" for an empty text).
TextView first_phoneme(TextView ipa) noexcept;
TextView last_phoneme(TextView ipa) noexcept;

bool est_voyelle(const PhonemeSets& sets, TextView phoneme);
bool est_consonne(const PhonemeSets& sets, TextView phoneme);
bool est_semi_voyelle(const PhonemeSets& sets, TextView phoneme);

bool phone_starts_with_vowel(const PhonemeSets& sets, TextView phone);
bool phone_ends_with_consonne(const PhonemeSets& sets, TextView phone);
bool phone_ends_with_schwa(TextView phone);

}  // namespace vantro
