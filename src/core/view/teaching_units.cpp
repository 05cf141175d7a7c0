// Letters read together, as a teacher names them. The alignment already
// groups most of them (a grapheme per phoneme: "ch", "eau", "qu", "gn");
// a few units span two phonemes: "oi", "oin", "oy" (/wa/, /wɛ̃/), "ail",
// "eil", "ouil", "ill" (a vowel and its /j/), a letter marked as shared ("en"
// of /ɑ̃n/). Silent letters that follow each other in one grapheme form a
// silent unit ("ent" of "lisent").

#include <numeric>

#include "view/french_letters.hpp"
#include "view/group_work.hpp"

namespace vantro::view::detail {

namespace {

class Sets {
public:
    explicit Sets(std::size_t n) : parent_(n) { std::iota(parent_.begin(), parent_.end(), 0); }
    std::size_t find(std::size_t i) {
        while (parent_[i] != i) i = parent_[i] = parent_[parent_[i]];
        return i;
    }
    void join(std::size_t a, std::size_t b) {
        a = find(a);
        b = find(b);
        if (a != b) parent_[std::max(a, b)] = std::min(a, b);
    }

private:
    std::vector<std::size_t> parent_;
};

bool sounded(const LetterWork& l) {
    return l.role == Role::Sonore || l.role == Role::Partagee || l.role == Role::Liaison;
}

// The one phoneme a letter spells, or NONE when it spells none or several.
int only_phoneme(const LetterWork& l) {
    int found = NONE;
    for (const Claim& c : l.claims) {
        if (c.silent) continue;
        if (found != NONE) return NONE;
        found = c.phoneme;
    }
    return found;
}

bool spells(const LetterWork& l, int phoneme) {
    for (const Claim& c : l.claims)
        if (!c.silent && c.phoneme == phoneme) return true;
    return false;
}

}  // namespace

void form_units(GroupWork& g, const PhonemeSets&) {
    if (!g.aligned()) return;
    auto& ls = g.letters;
    const std::size_t n = ls.size();
    Sets sets(n);
    auto together = [&](std::size_t a, std::size_t b) {
        return ls[a].word == ls[b].word && ls[a].syllable == ls[b].syllable;
    };

    // The letters that spell one phoneme.
    for (std::size_t k = 0; k < g.phonemes.size(); ++k) {
        std::size_t prev = n;
        for (std::size_t i = 0; i < n; ++i) {
            if (ls[i].role == Role::Signe || !spells(ls[i], static_cast<int>(k))) continue;
            if (prev != n) sets.join(prev, i);
            prev = i;
        }
    }
    for (std::size_t i = 1; i < n; ++i) {
        const LetterWork& a = ls[i - 1];
        const LetterWork& b = ls[i];
        if (!together(i - 1, i)) continue;
        // Silent letters in a row, left by the same grapheme.
        if (a.role == Role::Muette && b.role == Role::Muette && first_phoneme(a) == first_phoneme(b)) {
            sets.join(i - 1, i);
            continue;
        }
        if (!sounded(a) || !sounded(b)) continue;
        const int ka = only_phoneme(a), kb = only_phoneme(b);
        if (ka == NONE || kb == NONE || kb != ka + 1) continue;
        const Text& pa = g.phonemes[static_cast<std::size_t>(ka)].ipa;
        const Text& pb = g.phonemes[static_cast<std::size_t>(kb)].ipa;
        const char32_t la = base_letter(a.folded), lb = base_letter(b.folded);
        // o read /w/ with the vowel after it: oi, oin, oy, oe (moelle).
        if (pa == U"w" && la == U'o' && (lb == U'i' || lb == U'y' || lb == U'e')) sets.join(i - 1, i);
        // A vowel and the il / ill of its /j/: ail, eil, euil, ouil, ueil, œil.
        else if (pb == U"j" && lb == U'i' && i + 1 < n && ls[i + 1].folded == U'l' && is_vowel_letter(a.folded))
            sets.join(i - 1, i);
        // i and the ll of /j/ after it: "fille", "famille".
        else if (pb == U"j" && lb == U'l' && la == U'i' && pa == U"i") sets.join(i - 1, i);
    }

    std::vector<int> unit_of_root(n, NONE);
    for (std::size_t i = 0; i < n; ++i) {
        if (ls[i].role == Role::Signe || ls[i].role == Role::Inconnue) continue;
        const std::size_t r = sets.find(i);
        if (unit_of_root[r] == NONE) {
            unit_of_root[r] = static_cast<int>(g.units.size());
            g.units.push_back(UnitWork{{}, true});
        }
        UnitWork& u = g.units[static_cast<std::size_t>(unit_of_root[r])];
        u.letters.push_back(static_cast<int>(i));
        u.silent = u.silent && ls[i].role == Role::Muette;
        ls[i].unit = unit_of_root[r];
    }
}

}  // namespace vantro::view::detail
