// Written syllables, as a French school book hyphenates a word: cut between
// vowel groups by the letters, not by the sounds.
//
// The rules, word by word:
// 1. Letters read together stay together: ch, ph, th, gn, rh, sh, kh, ck;
//    the u of qu, and of gu before e, i, y; the e of ge, ce before a, o, u
//    (and any silent e between a consonant and a vowel: "Jeanne").
// 2. Vowel letters in a row form one vowel group (ou, eau, oi, ai, ui, ie of
//    "pied"), except where they are heard as two vowels ("cha-os", "po-è-te",
//    "ré-el"); a y between two vowels is a consonant (cra-yon, no-yau), and
//    after a vowel before a consonant it stays with the vowel (pay-san-ne).
// 3. Every vowel group is the nucleus of a written syllable, the mute e
//    included (ta-ble, sa-me-di, é-co-le, li-sent).
// 4. Between two nuclei: one consonant opens the next syllable (a-mi,
//    ta-xi); of two, the first closes the syllable before (pas-sant, ter-re,
//    des-sin, col-lec-tion, ab-so-lu-ment) unless they are a consonant and an
//    l or r French lets open a syllable (ta-ble, li-vre, se-cret); of three or
//    more, the last two open the next when they are such a pair, else the
//    last one (ins-truit, obs-ta-cle, ap-pren-dre).
// 5. A hyphen ends a syllable (grand-mè-re); an apostrophe takes the
//    consonant before it into the next syllable (au-jour-d'hui, pres-qu'î-le);
//    a piece without vowel leans on the next one (l'en-fant, a-t-il).
// When the word could not be aligned, rule 2 decides from the letters alone:
// an accent or a diaeresis on the second vowel (or é, è before a vowel other
// than a final mute e) separates them.

#include <algorithm>

#include "phonology/tokens.hpp"
#include "view/french_letters.hpp"
#include "view/group_work.hpp"

namespace vantro::view::detail {

namespace {

enum class Kind : std::uint8_t { V, C, S };

struct Run {  // letters read together: [begin, end), local to the group
    int begin, end;
    Kind kind;
};

struct Cut {  // a written syllable: letters [begin, end), nucleus [nb, ne)
    int begin, end, nb, ne;
};

bool is_one_of(char32_t c, std::u32string_view set) { return set.find(c) != std::u32string_view::npos; }

class WordCutter {
public:
    WordCutter(const GroupWork& g, const PhonemeSets& sets, int begin, int end)
        : g_(g), sets_(sets), b_(begin), e_(end), aligned_(g.aligned()) {}

    std::vector<Cut> cut() {
        classify();
        runs_from_letters();
        return syllables();
    }

private:
    const LetterWork& at(int i) const { return g_.letters[static_cast<std::size_t>(i)]; }
    char32_t f(int i) const { return at(i).folded; }
    char32_t base(int i) const { return i >= b_ && i < e_ ? base_letter(f(i)) : 0; }
    // Outside the word reads as a sign: nothing to join with.
    Kind kind(int i) const { return i >= b_ && i < e_ ? kind_[static_cast<std::size_t>(i - b_)] : Kind::S; }
    void set_kind(int i, Kind k) { kind_[static_cast<std::size_t>(i - b_)] = k; }
    void set_glue(int i, bool v) { glue_[static_cast<std::size_t>(i - b_)] = v; }

    // The first phoneme the letter is heard in, or NONE.
    int heard(int i) const {
        for (const Claim& c : at(i).claims)
            if (!c.silent) return c.phoneme;
        return NONE;
    }
    bool heard_as_vowel(int k) const {
        return k != NONE && est_voyelle(sets_, g_.phonemes[static_cast<std::size_t>(k)].ipa);
    }

    void classify() {
        kind_.assign(static_cast<std::size_t>(e_ - b_), Kind::C);
        glue_.assign(static_cast<std::size_t>(e_ - b_), false);
        for (int i = b_; i < e_; ++i)
            set_kind(i, is_sign(at(i).character) ? Kind::S : is_vowel_letter(f(i)) ? Kind::V : Kind::C);
        for (int i = b_; i + 1 < e_; ++i) {
            if (kind(i) != Kind::C) continue;
            const char32_t x = base(i), y = base(i + 1);
            if (kind(i + 1) == Kind::C && ((y == U'h' && is_one_of(x, U"cptrsk")) || (x == U'g' && y == U'n') ||
                                           (x == U'c' && y == U'k')))
                set_glue(i + 1, true);
            const bool soft_u = x == U'g' && kind(i + 2) == Kind::V && is_one_of(base(i + 2), U"eiy") &&
                                !(aligned_ && heard(i + 1) != NONE && !est_consonne(sets_, ipa(heard(i + 1))));
            if (y == U'u' && (x == U'q' || soft_u)) {
                set_kind(i + 1, Kind::C);
                set_glue(i + 1, true);
            }
        }
        for (int i = b_ + 1; i + 1 < e_; ++i) {
            if (f(i) != U'e' || kind(i - 1) != Kind::C || kind(i + 1) != Kind::V) continue;
            const bool soft = (f(i - 1) == U'g' || f(i - 1) == U'c') && is_one_of(base(i + 1), U"aou");
            const bool unheard = aligned_ && (at(i).role == Role::Muette || at(i).role == Role::Partagee);
            if (soft || unheard) {
                set_kind(i, Kind::C);
                set_glue(i, true);
            }
        }
        for (int i = b_ + 1; i + 1 < e_; ++i)
            if (base(i) == U'y' && kind(i - 1) == Kind::V && kind(i + 1) == Kind::V) set_kind(i, Kind::C);
        for (int i = b_ + 1; i < e_; ++i)
            if (kind(i) == Kind::V && kind(i - 1) == Kind::V) set_glue(i, !hiatus(i - 1, i));
    }

    const Text& ipa(int k) const { return g_.phonemes[static_cast<std::size_t>(k)].ipa; }

    // Whether the vowel letters a and a + 1 belong to two syllables.
    bool hiatus(int a, int b) const {
        if (base(a) == U'y' || base(b) == U'y') return false;
        // "ui" is written as one group however it is heard (nuit, huile, ruine).
        if (base(a) == U'u' && base(b) == U'i' && f(b) != U'ï') return false;
        if (aligned_) {
            if (at(a).role == Role::Muette || at(b).role == Role::Muette) return false;
            const int ka = heard(a), kb = heard(b);
            return ka != NONE && kb != NONE && ka != kb && heard_as_vowel(ka) && heard_as_vowel(kb);
        }
        if (is_one_of(f(b), U"éèëïü")) return true;
        return is_one_of(f(a), U"éè") && !(base(b) == U'e' && mute_ending_from(b));
    }

    // "e", "es" or "ent" ends the word at `i`.
    bool mute_ending_from(int i) const {
        const int rest = e_ - i;
        return rest == 1 || (rest == 2 && base(i + 1) == U's') ||
               (rest == 3 && base(i + 1) == U'n' && base(i + 2) == U't');
    }

    void runs_from_letters() {
        runs_.clear();
        for (int i = b_; i < e_; ++i) {
            if (i > b_ && kind(i) != Kind::S && glue_[static_cast<std::size_t>(i - b_)] &&
                runs_.back().kind != Kind::S)
                runs_.back().end = i + 1;
            else
                runs_.push_back({i, i + 1, kind(i)});
        }
    }

    // A consonant and an l or r that may open a syllable together.
    bool opens_together(const Run& c, const Run& liquid) const {
        if (liquid.end - liquid.begin != 1 || !is_one_of(base(liquid.begin), U"lr")) return false;
        const char32_t x = base(c.begin);
        if (c.end - c.begin == 2) return base(c.begin + 1) == U'h' && is_one_of(x, U"cptk");
        if (c.end - c.begin != 1) return false;
        if (base(liquid.begin) == U'l' && (x == U'd' || x == U't')) return false;
        return is_one_of(x, U"bcdfgkptv");
    }

    std::vector<Cut> syllables() const {
        // Pieces of the word between its signs.
        struct Piece {
            int first, last;  // runs [first, last)
            int sign;         // the sign run after it, or -1
            int last_nucleus = -1;
        };
        std::vector<Piece> pieces;
        const int nr = static_cast<int>(runs_.size());
        int start = 0;
        for (int r = 0; r < nr; ++r) {
            if (runs_[static_cast<std::size_t>(r)].kind != Kind::S) continue;
            pieces.push_back({start, r, r});
            start = r + 1;
        }
        pieces.push_back({start, nr, -1});
        std::vector<int> starts{0};
        for (Piece& p : pieces) {
            int prev = -1;
            for (int r = p.first; r < p.last; ++r) {
                if (runs_[static_cast<std::size_t>(r)].kind != Kind::V) continue;
                if (prev >= 0) starts.push_back(split_between(prev, r));
                prev = r;
            }
            p.last_nucleus = prev;
        }
        for (std::size_t p = 1; p < pieces.size(); ++p) {
            const Piece& left = pieces[p - 1];
            bool right_has_vowel = false;
            for (std::size_t q = p; q < pieces.size(); ++q) right_has_vowel = right_has_vowel || pieces[q].last_nucleus >= 0;
            if (left.last_nucleus < 0 || !right_has_vowel) continue;
            const char32_t sign = at(runs_[static_cast<std::size_t>(left.sign)].begin).character;
            if (is_one_of(sign, U"-\u2010\u2011_")) starts.push_back(pieces[p].first);
            else if (left.sign - 1 > left.last_nucleus) starts.push_back(left.sign - 1);
            else starts.push_back(left.sign);
        }
        std::sort(starts.begin(), starts.end());
        starts.erase(std::unique(starts.begin(), starts.end()), starts.end());

        std::vector<Cut> out;
        for (std::size_t s = 0; s < starts.size(); ++s) {
            const int first = starts[s];
            const int last = s + 1 < starts.size() ? starts[s + 1] : nr;
            if (first >= last) continue;
            Cut c{runs_[static_cast<std::size_t>(first)].begin, runs_[static_cast<std::size_t>(last) - 1].end, -1, -1};
            for (int r = first; r < last; ++r) {
                const Run& run = runs_[static_cast<std::size_t>(r)];
                if (run.kind != Kind::V) continue;
                if (c.nb < 0) c.nb = run.begin;
                c.ne = run.end;
            }
            out.push_back(c);
        }
        return out;
    }

    // The run that opens the syllable of nucleus `v2`, after nucleus `v1`.
    int split_between(int v1, int v2) const {
        const int consonants = v2 - v1 - 1;
        if (consonants <= 1) return v1 + 1;
        const Run& c = runs_[static_cast<std::size_t>(v2) - 2];
        const Run& l = runs_[static_cast<std::size_t>(v2) - 1];
        return opens_together(c, l) ? v2 - 2 : v2 - 1;
    }

    const GroupWork& g_;
    const PhonemeSets& sets_;
    int b_, e_;
    bool aligned_;
    std::vector<Kind> kind_;
    std::vector<bool> glue_;
    std::vector<Run> runs_;
};

// The pedagogical schwa: the mute e ending a word is heard as /ə/.
void sound_final_e(GroupWork& g, const Cut& last) {
    if (last.nb < 0 || last.ne != last.nb + 1) return;
    LetterWork& e = g.letters[static_cast<std::size_t>(last.nb)];
    if (e.folded != U'e' || e.role != Role::Muette) return;
    const int carrier = first_phoneme(e);
    PhonemeWork schwa;
    schwa.ipa = Text(1, SCHWA);
    schwa.grapheme = Text(1, e.character);
    schwa.order = carrier == NONE ? 0 : 2 * carrier + 1;
    const int k = static_cast<int>(g.phonemes.size());
    g.phonemes.push_back(std::move(schwa));
    e.claims = {{k, ClaimKind::Spelled, false}};
    e.role = Role::Sonore;
    if (e.unit != NONE) {
        auto& members = g.units[static_cast<std::size_t>(e.unit)].letters;
        members.erase(std::remove(members.begin(), members.end(), last.nb), members.end());
    }
    e.unit = static_cast<int>(g.units.size());
    g.units.push_back(UnitWork{{last.nb}, false});
}

// The n of "en", "an", "un" is no coda: it belongs to the unit the vowel
// letters start, and spells the nucleus with them.
bool in_nucleus_unit(const GroupWork& g, const Cut& c, int i) {
    const int unit = g.letters[static_cast<std::size_t>(i)].unit;
    if (unit == NONE) return false;
    for (int k = c.nb; k < c.ne; ++k)
        if (g.letters[static_cast<std::size_t>(k)].unit == unit) return true;
    return false;
}

}  // namespace

void place_written_syllables(GroupWork& g, const PhonemeSets& sets) {
    if (g.input->formula) return;
    std::vector<std::vector<Cut>> by_word(g.words.size());
    for (std::size_t w = 0; w < g.words.size(); ++w) {
        int b = 0;
        while (b < static_cast<int>(g.letters.size()) && g.letters[static_cast<std::size_t>(b)].word != static_cast<int>(w)) ++b;
        int e = b;
        while (e < static_cast<int>(g.letters.size()) && g.letters[static_cast<std::size_t>(e)].word == static_cast<int>(w)) ++e;
        if (b == e) continue;
        by_word[w] = WordCutter(g, sets, b, e).cut();
        if (g.input->words[w].final_schwa && g.aligned()) sound_final_e(g, by_word[w].back());
    }
    // An elided word without vowel ("l'", "qu'") leans on the word after it.
    for (std::size_t w = 0; w + 1 < by_word.size(); ++w) {
        if (by_word[w].empty() || by_word[w + 1].empty()) continue;
        const Cut& last = by_word[w].back();
        if (last.nb >= 0 || !is_sign(g.letters[static_cast<std::size_t>(last.end) - 1].character)) continue;
        by_word[w + 1].front().begin = last.begin;
        by_word[w].pop_back();
    }

    g.syllables.clear();
    for (LetterWork& l : g.letters) {
        l.syllable = NONE;
        l.constituent = Constituent::Aucun;
    }
    for (const auto& cuts : by_word) {
        for (const Cut& c : cuts) {
            const int s = static_cast<int>(g.syllables.size());
            g.syllables.emplace_back();
            for (int i = c.begin; i < c.end; ++i) {
                LetterWork& l = g.letters[static_cast<std::size_t>(i)];
                l.syllable = s;
                l.constituent = c.nb < 0 || i < c.nb ? Constituent::Attaque
                                : i < c.ne           ? Constituent::Noyau
                                : in_nucleus_unit(g, c, i) ? Constituent::Noyau
                                                     : Constituent::Coda;
                g.syllables.back().letters.push_back(i);
            }
        }
    }

    // A phoneme goes where its letters are: a vowel with its first letter, a
    // consonant whose letters were cut apart (pas-sant) with its last one,
    // opening the syllable as it is heard. Phonemes without letters of their
    // own follow the phoneme before.
    const bool aligned = g.aligned();
    std::vector<int> order(g.phonemes.size());
    for (std::size_t k = 0; k < order.size(); ++k) order[k] = static_cast<int>(k);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return g.phonemes[static_cast<std::size_t>(a)].order < g.phonemes[static_cast<std::size_t>(b)].order;
    });
    int prev_syllable = NONE;
    Constituent prev_constituent = Constituent::Coda;
    for (int k : order) {
        PhonemeWork& p = g.phonemes[static_cast<std::size_t>(k)];
        p.syllable = NONE;
        p.constituent = Constituent::Aucun;
        if (!aligned) continue;
        int first = NONE, last = NONE;
        for (int i = 0; i < static_cast<int>(g.letters.size()); ++i)
            for (const Claim& c : g.letters[static_cast<std::size_t>(i)].claims)
                if (c.phoneme == k && !c.silent) {
                    if (first == NONE) first = i;
                    last = i;
                }
        const int chosen = first == NONE ? NONE : est_voyelle(sets, p.ipa) ? first : last;
        if (chosen != NONE && g.letters[static_cast<std::size_t>(chosen)].syllable != NONE) {
            p.syllable = g.letters[static_cast<std::size_t>(chosen)].syllable;
            p.constituent = g.letters[static_cast<std::size_t>(chosen)].constituent;
        } else {
            p.syllable = prev_syllable;
            p.constituent = prev_constituent;
        }
        prev_syllable = p.syllable;
        prev_constituent = p.constituent;
    }
    if (aligned && !order.empty()) {
        // Phonemes before any lettered one take the first syllable.
        int first_known = NONE;
        for (int k : order)
            if (g.phonemes[static_cast<std::size_t>(k)].syllable != NONE) {
                first_known = g.phonemes[static_cast<std::size_t>(k)].syllable;
                break;
            }
        for (int k : order) {
            PhonemeWork& p = g.phonemes[static_cast<std::size_t>(k)];
            if (p.syllable != NONE) break;
            p.syllable = first_known;
            p.constituent = Constituent::Attaque;
        }
    }
    for (int k : order)
        if (g.phonemes[static_cast<std::size_t>(k)].syllable != NONE)
            g.syllables[static_cast<std::size_t>(g.phonemes[static_cast<std::size_t>(k)].syllable)].phonemes.push_back(k);
}

}  // namespace vantro::view::detail
