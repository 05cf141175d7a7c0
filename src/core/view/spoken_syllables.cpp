// The syllables as heard: each letter goes to the syllable of the first
// phoneme it belongs to, so a letter that spells phonemes of two syllables
// (the x of "expliquer", /k/ then /s/) is shown once, with the first. A vowel
// letter read with the vowel before it and again after it (the y of
// "crayon", "noyau", "pays") opens the later syllable instead, as readers
// are taught it (cra-yon).

#include "phonology/tokens.hpp"
#include "view/french_letters.hpp"
#include "view/group_work.hpp"

namespace vantro::view::detail {

namespace {

// The syllables' phonemes from the records alone, without letters: what an
// analysis that found no alignment still knows.
void phonemes_from_records(GroupWork& g) {
    const auto& recs = g.input->syllables;
    for (std::size_t s = 0; s < recs.size(); ++s) {
        auto add = [&](const std::vector<PhonemeRec>& part, Constituent c) {
            for (const PhonemeRec& p : part) {
                PhonemeWork w;
                w.ipa = p.ipa;
                w.syllable = static_cast<int>(s);
                w.constituent = c;
                w.order = 2 * static_cast<int>(g.phonemes.size());
                g.phonemes.push_back(std::move(w));
            }
        };
        add(recs[s].attaque, Constituent::Attaque);
        add(recs[s].noyau, Constituent::Noyau);
        add(recs[s].coda, Constituent::Coda);
    }
}

}  // namespace

void place_spoken_syllables(GroupWork& g) {
    const auto& recs = g.input->syllables;
    g.syllables.assign(recs.size(), SyllableWork{});
    for (std::size_t s = 0; s < recs.size(); ++s) g.syllables[s].phone = recs[s].phone;
    if (recs.empty()) return;
    if (!g.aligned()) {
        phonemes_from_records(g);
        // Records that still place their syllables say where the letters go.
        for (LetterWork& l : g.letters)
            for (std::size_t s = 0; s < recs.size() && l.syllable == NONE; ++s)
                if (l.position >= recs[s].span.start && l.position < recs[s].span.end) {
                    l.syllable = static_cast<int>(s);
                    l.constituent = Constituent::Aucun;
                }
    } else {
        // The syllables take the aligned phonemes by position, as their records did.
        std::size_t cursor = 0;
        for (std::size_t s = 0; s < recs.size(); ++s) {
            const std::size_t n = count_phonemes(recs[s].phone);
            const std::size_t onset = recs[s].attaque.size();
            const bool has_nucleus = !recs[s].noyau.empty();
            for (std::size_t idx = 0; idx < n && cursor < g.phonemes.size(); ++idx, ++cursor) {
                PhonemeWork& p = g.phonemes[cursor];
                p.syllable = static_cast<int>(s);
                p.constituent = idx < onset                    ? Constituent::Attaque
                                : idx == onset && has_nucleus ? Constituent::Noyau
                                                              : Constituent::Coda;
            }
        }
        // Entries beyond the last syllable's tokens stay with the last syllable.
        for (; cursor < g.phonemes.size(); ++cursor) {
            g.phonemes[cursor].syllable = static_cast<int>(recs.size()) - 1;
            g.phonemes[cursor].constituent = Constituent::Coda;
        }
        for (LetterWork& l : g.letters) {
            int k = first_phoneme(l);
            if (k == NONE) continue;
            if (is_vowel_letter(l.folded))
                for (const Claim& c : l.claims)
                    if (!c.silent && c.phoneme > k) k = c.phoneme;
            l.syllable = g.phonemes[static_cast<std::size_t>(k)].syllable;
            l.constituent = g.phonemes[static_cast<std::size_t>(k)].constituent;
        }
        // A letter no phoneme reached (a sign before the first grapheme)
        // joins the syllable of the letter after it, else of the one before.
        int next = NONE;
        for (std::size_t i = g.letters.size(); i-- > 0;) {
            if (g.letters[i].syllable == NONE) g.letters[i].syllable = next;
            else next = g.letters[i].syllable;
        }
        int prev = NONE;
        for (LetterWork& l : g.letters) {
            if (l.syllable == NONE) l.syllable = prev;
            else prev = l.syllable;
        }
    }
    for (int i = 0; i < static_cast<int>(g.letters.size()); ++i)
        if (g.letters[static_cast<std::size_t>(i)].syllable != NONE)
            g.syllables[static_cast<std::size_t>(g.letters[static_cast<std::size_t>(i)].syllable)].letters.push_back(i);
    for (int k = 0; k < static_cast<int>(g.phonemes.size()); ++k)
        if (g.phonemes[static_cast<std::size_t>(k)].syllable != NONE)
            g.syllables[static_cast<std::size_t>(g.phonemes[static_cast<std::size_t>(k)].syllable)].phonemes.push_back(k);
}

}  // namespace vantro::view::detail
