#include "text/inverted_pronouns.hpp"

#include "text/word_table.hpp"

namespace vantro::text {

namespace {

// Subject and object pronouns that can follow a verb, and the ce of est-ce.
constexpr WordTable<21> kPronouns = {
    U"je", U"tu", U"il", U"elle", U"on", U"nous", U"vous", U"ils", U"elles", U"iel", U"iels",
    U"ce", U"moi", U"toi", U"lui", U"leur", U"le", U"la", U"les", U"en", U"y",
};

// Pronouns that a euphonic t precedes.
constexpr WordTable<8> kAfterEuphonicT = {
    U"il", U"elle", U"on", U"ils", U"elles", U"iel", U"iels", U"en",
};

// An elided pronoun before en or y (va-t'en, donne-m'en, mets-l'y).
constexpr WordTable<6> kElidedPronounParts = {
    U"m'en", U"t'en", U"l'en", U"m'y", U"t'y", U"l'y",
};

// After these the pronoun is a complement of a compound noun, not an
// inversion: garde-à-vous, chez-moi, entre-nous.
constexpr WordTable<12> kPrepositions = {
    U"à", U"chez", U"entre", U"sans", U"par", U"pour", U"de", U"sur", U"sous", U"contre", U"vers", U"après",
};

// Compounds ending with a pronoun that are nouns, read as one word.
constexpr WordTable<1> kNouns = {
    U"rendez-vous",
};

}  // namespace

bool is_euphonic_t(const std::vector<Text>& parts, std::size_t index) {
    return index + 1 < parts.size() && parts[index] == U"t" && in_table(kAfterEuphonicT, parts[index + 1]);
}

std::size_t first_inverted_pronoun(const std::vector<Text>& parts) {
    const std::size_t n = parts.size();
    if (n < 2) return n;
    std::size_t first = n;
    for (std::size_t i = n; i-- > 1;) {
        const Text& p = parts[i];
        if (in_table(kPronouns, p) || in_table(kElidedPronounParts, p) || is_euphonic_t(parts, i)) {
            first = i;
            continue;
        }
        break;
    }
    if (first == n || in_table(kPrepositions, parts[first - 1])) return n;
    Text whole = parts[0];
    for (std::size_t i = 1; i < n; ++i) whole.append(U"-").append(parts[i]);
    if (in_table(kNouns, whole)) return n;
    return first;
}

}  // namespace vantro::text
