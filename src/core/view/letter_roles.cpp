// The role of every letter: sounded, silent, sharing the letter before's
// phoneme, carrying a liaison, or a sign without sound.

#include "phonology/tokens.hpp"
#include "view/french_letters.hpp"
#include "view/group_work.hpp"

namespace vantro::view::detail {

namespace {

using Letters = std::vector<LetterWork>;

bool same_word(const Letters& ls, int a, int b) {
    return a >= 0 && b >= 0 && a < static_cast<int>(ls.size()) && b < static_cast<int>(ls.size()) &&
           ls[static_cast<std::size_t>(a)].word == ls[static_cast<std::size_t>(b)].word;
}

// "oignon", "encoignure": the i of "ign" after a vowel is read with that vowel
// ("oi" /ɔ/), the "gn" spells /ɲ/ alone.
void give_ign_i_to_vowel(GroupWork& g, const PhonemeSets& sets) {
    Letters& ls = g.letters;
    for (int i = 1; i + 2 < static_cast<int>(ls.size()); ++i) {
        LetterWork& l = ls[static_cast<std::size_t>(i)];
        if (l.folded != U'i' || l.claims.size() != 1 || l.claims[0].silent) continue;
        const int k = l.claims[0].phoneme;
        if (k == 0 || g.phonemes[static_cast<std::size_t>(k)].ipa != U"ɲ") continue;
        if (ls[static_cast<std::size_t>(i) + 1].folded != U'g' || ls[static_cast<std::size_t>(i) + 2].folded != U'n')
            continue;
        const LetterWork& before = ls[static_cast<std::size_t>(i) - 1];
        if (!same_word(ls, i - 1, i) || !is_vowel_letter(before.folded) || before.claims.empty()) continue;
        const int v = before.claims.back().phoneme;
        if (v != k - 1 || !est_voyelle(sets, g.phonemes[static_cast<std::size_t>(v)].ipa)) continue;
        l.claims[0] = {v, ClaimKind::Spelled, false};
    }
}

// The e of "ge", "ce" before a, o, u only softens the consonant: it belongs
// to the consonant's spelling rather than being a silent letter.
void give_soft_e_to_consonant(GroupWork& g) {
    Letters& ls = g.letters;
    for (int i = 1; i + 1 < static_cast<int>(ls.size()); ++i) {
        LetterWork& e = ls[static_cast<std::size_t>(i)];
        if (e.folded != U'e' || !same_word(ls, i - 1, i) || !same_word(ls, i, i + 1)) continue;
        const LetterWork& c = ls[static_cast<std::size_t>(i) - 1];
        const char32_t next = base_letter(ls[static_cast<std::size_t>(i) + 1].folded);
        if ((c.folded != U'g' && c.folded != U'c') || (next != U'a' && next != U'o' && next != U'u')) continue;
        if (c.claims.empty() || e.claims.size() != 1 || !e.claims[0].silent) continue;
        if (e.claims[0].phoneme != c.claims.back().phoneme) continue;
        e.claims[0].silent = false;
    }
}

// Letters a liaison consonant may be written with.
bool spells_liaison(TextView consonant, char32_t letter) {
    const char32_t b = base_letter(letter);
    if (consonant == U"z") return b == U's' || b == U'x' || b == U'z';
    if (consonant == U"t") return b == U't' || b == U'd';
    if (consonant == U"n") return b == U'n';
    if (consonant == U"ʁ" || consonant == U"r") return b == U'r';
    if (consonant == U"p") return b == U'p';
    if (consonant == U"v") return b == U'f';
    if (consonant == U"k" || consonant == U"ɡ" || consonant == U"g") return b == U'g' || b == U'c';
    return false;
}

}  // namespace

// The last letter of word `w` when it can carry the liaison `label`
// ("liaison_z"), else NONE.
int liaison_letter(const GroupWork& g, int w, TextView label) {
    static constexpr TextView prefix = U"liaison_";
    if (!label.starts_with(prefix)) return NONE;
    int last = NONE;
    for (int i = 0; i < static_cast<int>(g.letters.size()); ++i)
        if (g.letters[static_cast<std::size_t>(i)].word == w) last = i;
    if (last == NONE || !spells_liaison(label.substr(prefix.size()), g.letters[static_cast<std::size_t>(last)].folded))
        return NONE;
    return last;
}

void assign_roles(GroupWork& g, const PhonemeSets& sets) {
    if (g.input->formula) return;
    if (!g.aligned()) {
        for (LetterWork& l : g.letters) l.role = is_sign(l.character) ? Role::Signe : Role::Inconnue;
        return;
    }
    give_ign_i_to_vowel(g, sets);
    give_soft_e_to_consonant(g);

    // The head of a phoneme: its first letter that is not silent.
    std::vector<int> head(g.phonemes.size(), NONE);
    for (int i = 0; i < static_cast<int>(g.letters.size()); ++i)
        for (const Claim& c : g.letters[static_cast<std::size_t>(i)].claims)
            if (!c.silent && head[static_cast<std::size_t>(c.phoneme)] == NONE) head[static_cast<std::size_t>(c.phoneme)] = i;

    for (int i = 0; i < static_cast<int>(g.letters.size()); ++i) {
        LetterWork& l = g.letters[static_cast<std::size_t>(i)];
        bool is_head = false, sounded = false;
        for (const Claim& c : l.claims) {
            if (c.silent) continue;
            sounded = true;
            is_head = is_head || head[static_cast<std::size_t>(c.phoneme)] == i;
        }
        if (is_sign(l.character)) l.role = Role::Signe;
        else if (is_head) l.role = Role::Sonore;
        else if (sounded) l.role = Role::Partagee;
        else l.role = Role::Muette;
    }

    const auto& jonctions = g.input->jonctions;
    for (std::size_t w = 0; w < jonctions.size() && w + 1 < g.words.size(); ++w) {
        const int carrier = liaison_letter(g, static_cast<int>(w), jonctions[w]);
        if (carrier != NONE) g.letters[static_cast<std::size_t>(carrier)].role = Role::Liaison;
    }
}

}  // namespace vantro::view::detail
