#include "reading/liaison_rules.hpp"

#include "unicode/unicode.hpp"

namespace vantro::reading {

namespace {

// Already lower case, for what French words are made of: no capital among
// the ASCII and Latin-1 letters, nothing beyond them.
bool plainly_lower(TextView w) noexcept {
    for (char32_t c : w) {
        if (c < 0x80) {
            if (c >= U'A' && c <= U'Z') return false;
        } else if (c < 0xDF || c > 0xFF || c == 0xF7) {
            if (c != U'\u2019' && c != U'\u02BC' && c != U'œ' && c != U'æ') return false;
        }
    }
    return true;
}

// The word without a leading hyphen or apostrophe, in lower case.
Text lowered(TextView word) {
    while (!word.empty() && (word.front() == U'-' || word.front() == U'\'' || word.front() == U'\u2019'))
        word.remove_prefix(1);
    return plainly_lower(word) ? Text(word) : unicode::to_lower(word);
}

bool is_nasal_vowel(TextView ipa) {
    return ipa.size() >= 2 && ipa.back() == U'\u0303';
}

// The phoneme without stress marks, the unstressed-word hyphen or a length mark.
Text bare(TextView ipa) {
    Text out;
    for (char32_t c : ipa)
        if (c != U'\u02C8' && c != U'\u02CC' && c != U'-' && c != U'\u02D0') out.push_back(c);
    return out;
}

}  // namespace

bool is_disjonctif(const LiaisonLexicon& lexicon, TextView word) {
    const Text w = lowered(word);
    if (w.empty()) return false;
    if (contains(lexicon.disjonctifs, w)) return true;
    if (w.size() > 2 && (w.back() == U's' || w.back() == U'x'))
        return contains(lexicon.disjonctifs, TextView(w).substr(0, w.size() - 1));
    return false;
}

bool is_donneur(const LiaisonLexicon& lexicon, TextView word) {
    const Text w = lowered(word);
    if (contains(lexicon.donneurs, w)) return true;
    // A compound number gives the liaison of its last part: vingt-deux‿ans.
    const std::size_t cut = w.rfind(U'-');
    return cut != Text::npos && contains(lexicon.donneurs, TextView(w).substr(cut + 1));
}

std::optional<Text> heard_liaison(const LiaisonLexicon& lexicon, TextView word,
                                  const std::vector<SpokenPhoneme>& phonemes, bool in_expression) {
    if (phonemes.empty()) return std::nullopt;
    const SpokenPhoneme& last = phonemes.back();
    const Text consonant = bare(last.ipa);
    if (last.liaison && !consonant.empty()) return consonant;
    const Text w = lowered(word);
    if (w.empty() || phonemes.size() < 2) return std::nullopt;
    const Text before = bare(phonemes[phonemes.size() - 2].ipa);
    if (consonant == U"n" && w.back() == U'n' && is_nasal_vowel(before)) return consonant;
    if (consonant == U"ʁ" && w.size() >= 2 && w.substr(w.size() - 2) == U"er" && before == U"e") return consonant;
    const char32_t letter = w.back();
    const bool spelled = (consonant == U"z" && (letter == U's' || letter == U'x')) ||
                         (consonant == U"t" && (letter == U't' || letter == U'd')) ||
                         (consonant == U"p" && letter == U'p');
    if (spelled && (in_expression || is_donneur(lexicon, w))) return consonant;
    return std::nullopt;
}

bool liaison_allowed(const LiaisonLexicon& lexicon, const LiaisonPair& pair) {
    if (pair.next_disjonctif) return false;
    const Text previous = lowered(pair.previous);
    if (contains(lexicon.jamais_apres, previous)) return false;
    if (pair.next_inverted || pair.in_expression) return true;
    if (pair.previous_inverted) return false;
    return is_donneur(lexicon, previous);
}

}  // namespace vantro::reading
