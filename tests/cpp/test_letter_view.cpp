#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "results/syllable_builder.hpp"
#include "view/build_view.hpp"

namespace vantro::view {
namespace {

PhonemeSets french_sets() {
    PhonemeSets s;
    for (const char* v : {"a", "e", "i", "o", "u", "y", "ɔ", "ɛ", "ø", "œ", "ə", "ɑ"}) s.voyelles.insert(from_utf8(v));
    for (const char* c : {"p", "t", "k", "b", "d", "ɡ", "f", "v", "s", "z", "ʃ", "ʒ", "m", "n", "ɲ", "l", "ʁ"})
        s.consonnes.insert(from_utf8(c));
    for (const char* j : {"j", "w", "ɥ"}) s.semi_voyelles.insert(from_utf8(j));
    return s;
}

const PhonemeSets& sets() {
    static const PhonemeSets s = french_sets();
    return s;
}

struct Ph {
    const char* ipa;
    const char* grapheme;
    Span span;
};

// A group as the analysis leaves it: the syllables are built by the core's
// own builder from the IPA syllables and the alignment.
GroupInput group(std::vector<Span> words, std::vector<const char*> syllables, std::vector<Ph> phonemes,
                 std::vector<const char*> jonctions = {}, bool ok = true) {
    GroupInput g;
    for (Span w : words) g.words.push_back(WordInput{w, Text(), false});
    std::vector<Text> syll, ph, gr;
    std::vector<Span> spans;
    for (const char* s : syllables) syll.push_back(from_utf8(s));
    for (const Ph& p : phonemes) {
        ph.push_back(from_utf8(p.ipa));
        gr.push_back(from_utf8(p.grapheme));
        spans.push_back(p.span);
        g.phonemes.push_back(AlignedPhoneme{ph.back(), gr.back(), p.span});
    }
    g.alignment_ok = ok;
    g.syllables = build_syllabes(syll, ph, gr, spans, 0, ok, sets());
    for (const char* j : jonctions) g.jonctions.push_back(from_utf8(j));
    return g;
}

char role_code(Role r) {
    switch (r) {
        case Role::Sonore: return 'S';
        case Role::Muette: return 'm';
        case Role::Partagee: return 'p';
        case Role::Liaison: return 'L';
        case Role::Signe: return '-';
        case Role::Inconnue: return '?';
    }
    return '!';
}

// "syllables: ta|xi  letters: tS0 aS0 ...  units: t,a,x,i"
std::string describe(const LetterView& v) {
    std::string out = "syllables:";
    for (std::size_t s = 0; s < v.syllables.size(); ++s) out += (s ? "|" : " ") + to_utf8(v.syllables[s].letters);
    out += "  letters:";
    for (const Letter& l : v.letters) {
        out += " " + to_utf8(Text(1, l.character)) + role_code(l.role);
        out += l.syllable == NONE ? std::string("_") : std::to_string(l.syllable);
    }
    out += "  units:";
    for (std::size_t u = 0; u < v.units.size(); ++u)
        out += (u ? "," : " ") + to_utf8(v.units[u].letters) + (v.units[u].silent ? "°" : "");
    return out;
}

struct Case {
    const char* name;
    const char* text;
    std::vector<GroupInput> groups;
    SyllableMode mode;
    const char* expected;
};

std::vector<Case> cases() {
    using M = SyllableMode;
    return {
        {"x spells two phonemes of one syllable", "taxi",
         {group({{0, 4}}, {"ta", "ksi"},
                {{"t", "t", {0, 1}}, {"a", "a", {1, 2}}, {"k", "x", {2, 3}}, {"s", "x²", {2, 3}}, {"i", "i", {3, 4}}})},
         M::Orales, "syllables: ta|xi  letters: tS0 aS0 xS1 iS1  units: t,a,x,i"},
        {"x split between syllables goes with its first phoneme", "expli",
         {group({{0, 5}}, {"ɛk", "spli"},
                {{"ɛ", "e", {0, 1}}, {"k", "x", {1, 2}}, {"s", "x²", {1, 2}}, {"p", "p", {2, 3}}, {"l", "l", {3, 4}},
                 {"i", "i", {4, 5}}})},
         M::Orales, "syllables: ex|pli  letters: eS0 xS0 pS1 lS1 iS1  units: e,x,p,l,i"},
        {"a y read with the vowel before and after opens the later syllable", "crayon",
         {group({{0, 6}}, {"kʁɛ", "jɔ̃"},
                {{"k", "c", {0, 1}}, {"ʁ", "r", {1, 2}}, {"ɛ", "ay", {2, 4}}, {"j", "y²", {3, 4}},
                 {"ɔ̃", "on", {4, 6}}})},
         M::Orales, "syllables: cra|yon  letters: cS0 rS0 aS0 yS1 oS1 np1  units: c,r,ay,on"},
        {"silent letters stay with the phoneme that carries them", "lisent",
         {group({{0, 6}}, {"liz"}, {{"l", "l", {0, 1}}, {"i", "i", {1, 2}}, {"z", "se°n°t°", {2, 6}}})}, M::Orales,
         "syllables: lisent  letters: lS0 iS0 sS0 em0 nm0 tm0  units: l,i,s,ent°"},
        {"a silent h in front", "hommes",
         {group({{0, 6}}, {"ɔm"}, {{"ɔ", "h°o", {0, 2}}, {"m", "mme°s°", {2, 6}}})}, M::Orales,
         "syllables: hommes  letters: hm0 oS0 mS0 mp0 em0 sm0  units: h°,o,mm,es°"},
        {"liaison not heard: the s carries it", "Les enfants",
         {group({{0, 3}, {4, 11}}, {"le", "ɑ̃", "fɑ̃"},
                {{"l", "L", {0, 1}}, {"e", "es", {1, 3}}, {"ɑ̃", "en", {4, 6}}, {"f", "f", {6, 7}},
                 {"ɑ̃", "ant°s°", {7, 11}}},
                {"liaison_z"})},
         M::Orales,
         "syllables: Les|en|fants  letters: LS0 eS0 sL0 eS1 np1 fS2 aS2 np2 tm2 sm2  units: L,es,en,f,an,ts°"},
        {"liaison heard: the s spells /z/ in the next syllable", "les enfants",
         {group({{0, 3}, {4, 11}}, {"le", "zɑ̃", "fɑ̃"},
                {{"l", "l", {0, 1}}, {"e", "e", {1, 2}}, {"z", "s", {2, 3}}, {"ɑ̃", "en", {4, 6}}, {"f", "f", {6, 7}},
                 {"ɑ̃", "ant°s°", {7, 11}}},
                {"liaison_z"})},
         M::Orales,
         "syllables: le|sen|fants  letters: lS0 eS0 sL1 eS1 np1 fS2 aS2 np2 tm2 sm2  units: l,e,s,en,f,an,ts°"},
        {"a letter marked shared joins the phoneme before", "en",
         {group({{0, 2}}, {"ɑ̃n"}, {{"ɑ̃", "e", {0, 1}}, {"n", "n²", {1, 2}}})}, M::Orales,
         "syllables: en  letters: eS0 nS0  units: en"},
        {"a phoneme spelled by the letters before", "ay",
         {group({{0, 2}}, {"ej"}, {{"e", "ay", {0, 2}}, {"j", "²", {2, 2}}})}, M::Orales,
         "syllables: ay  letters: aS0 yS0  units: ay"},
        {"oi read /wa/ is one unit", "roi",
         {group({{0, 3}}, {"ʁwa"}, {{"ʁ", "r", {0, 1}}, {"w", "o", {1, 2}}, {"a", "i", {2, 3}}})}, M::Orales,
         "syllables: roi  letters: rS0 oS0 iS0  units: r,oi"},
        {"the i of ign is read with the vowel before", "oignon",
         {group({{0, 6}}, {"ɔ", "ɲɔ̃"}, {{"ɔ", "o", {0, 1}}, {"ɲ", "ign", {1, 4}}, {"ɔ̃", "on", {4, 6}}})},
         M::Orales, "syllables: oi|gnon  letters: oS0 ip0 gS1 np1 oS1 np1  units: oi,gn,on"},
        {"the e of ge before o belongs to the consonant", "geo",
         {group({{0, 3}}, {"ʒo"}, {{"ʒ", "ge°", {0, 2}}, {"o", "o", {2, 3}}})}, M::Orales,
         "syllables: geo  letters: gS0 ep0 oS0  units: ge,o"},
        {"ill after i", "fille",
         {group({{0, 5}}, {"fij"}, {{"f", "f", {0, 1}}, {"i", "i", {1, 2}}, {"j", "lle°", {2, 5}}})}, M::Orales,
         "syllables: fille  letters: fS0 iS0 lS0 lp0 em0  units: f,ill,e°"},
        {"a failed alignment leaves the letters unknown, outside the syllables", "pays",
         {group({{0, 4}}, {"pe", "i"}, {}, {}, false)}, M::Orales,
         "syllables: |  letters: p?_ a?_ y?_ s?_  units:"},
        {"written syllables without alignment come from the letters", "paysanne",
         {group({{0, 8}}, {"pe", "i", "zan"}, {}, {}, false)}, M::Ecrites,
         "syllables: pay|san|ne  letters: p?0 a?0 y?0 s?1 a?1 n?1 n?2 e?2  units:"},
        {"written: doubled consonant split, mute e its own syllable", "terre",
         {group({{0, 5}}, {"tɛʁ"}, {{"t", "t", {0, 1}}, {"ɛ", "e", {1, 2}}, {"ʁ", "rre°", {2, 5}}})}, M::Ecrites,
         "syllables: ter|re  letters: tS0 eS0 rS0 rp1 em1  units: t,e,rr,e°"},
        {"written: an elided word leans on the next", "l'ami",
         {group({{0, 2}, {2, 5}}, {"la", "mi"},
                {{"l", "l'", {0, 2}}, {"a", "a", {2, 3}}, {"m", "m", {3, 4}}, {"i", "i", {4, 5}}}, {"elision"})},
         M::Ecrites, "syllables: l'a|mi  letters: lS0 '-0 aS0 mS1 iS1  units: l,a,m,i"},
        {"words outside the text or overlapping are cut to fit", "abcdef",
         {group({{-3, 4}, {2, 99}}, {}, {}, {}, false)}, M::Orales,
         "syllables:  letters: a?_ b?_ c?_ d?_ e?_ f?_  units:"},
    };
}

TEST(LetterView, Cases) {
    for (Case& c : cases()) {
        const ViewInput in{from_utf8(c.text), std::move(c.groups)};
        EXPECT_EQ(describe(build_letter_view(in, c.mode, sets())), c.expected) << c.name;
    }
}

TEST(LetterView, LetterPhonemesAndJunction) {
    // taxi: the x spells /k/ and /s/; les enfants: the junction points at its s.
    const ViewInput taxi{U"taxi", {group({{0, 4}}, {"ta", "ksi"},
                                         {{"t", "t", {0, 1}}, {"a", "a", {1, 2}}, {"k", "x", {2, 3}},
                                          {"s", "x²", {2, 3}}, {"i", "i", {3, 4}}})}};
    const LetterView v = build_letter_view(taxi, SyllableMode::Orales, sets());
    ASSERT_EQ(v.letters[2].phonemes, (std::vector<int>{2, 3}));
    EXPECT_EQ(v.phonemes[3].span, (Span{2, 3}));
    EXPECT_EQ(v.syllables[1].attaque.phone, U"ks");
    EXPECT_EQ(v.syllables[1].attaque.span, (Span{2, 3}));
    EXPECT_EQ(v.syllables[1].noyau.span, (Span{3, 4}));

    const ViewInput les{U"les enfants", {group({{0, 3}, {4, 11}}, {"le", "zɑ̃", "fɑ̃"},
                                               {{"l", "l", {0, 1}}, {"e", "e", {1, 2}}, {"z", "s", {2, 3}},
                                                {"ɑ̃", "en", {4, 6}}, {"f", "f", {6, 7}}, {"ɑ̃", "ant°s°", {7, 11}}},
                                               {"liaison_z"})}};
    const LetterView w = build_letter_view(les, SyllableMode::Orales, sets());
    ASSERT_EQ(w.junctions.size(), 1u);
    EXPECT_EQ(w.junctions[0].kind, U"liaison");
    EXPECT_EQ(w.junctions[0].consonant, U"z");
    EXPECT_EQ(w.junctions[0].letter, 2);
    EXPECT_EQ(w.syllables[1].span, (Span{2, 6}));  // over the space, as the letters lie
}

TEST(LetterView, FormulaSyllablesFromTheReading) {
    // A formula at (3, 5) whose steps count from the formula's own start.
    GroupInput g;
    g.words.push_back(WordInput{{3, 5}, Text(), false});
    g.formula = true;
    g.display = U"douze";
    g.reading = {ReadingStep{U"dou", U"du", {0, 1}}, ReadingStep{U"ze", U"z", {0, 2}}};
    const LetterView v = build_letter_view(ViewInput{U"il 12 ans", {g}}, SyllableMode::Orales, sets());
    ASSERT_EQ(v.letters.size(), 2u);
    EXPECT_EQ(v.letters[0].syllable, 0);
    EXPECT_EQ(v.letters[1].syllable, 1);
    EXPECT_EQ(v.letters[0].phonemes, (std::vector<int>{0, 1}));
    EXPECT_EQ(v.syllables[1].phone, U"z");
    EXPECT_TRUE(v.groups[0].formula);
}

TEST(LetterView, FinalSchwaInWrittenSyllables) {
    GroupInput g = group({{0, 5}}, {"tabl"},
                         {{"t", "t", {0, 1}}, {"a", "a", {1, 2}}, {"b", "b", {2, 3}}, {"l", "le°", {3, 5}}});
    g.words[0].final_schwa = true;
    const LetterView v = build_letter_view(ViewInput{U"table", {g}}, SyllableMode::Ecrites, sets());
    ASSERT_EQ(v.syllables.size(), 2u);
    EXPECT_EQ(v.syllables[1].phone, U"blə");
    EXPECT_EQ(v.letters[4].role, Role::Sonore);
    EXPECT_EQ(v.phonemes.back().ipa, U"ə");  // spoken order: the schwa comes last
}

}  // namespace
}  // namespace vantro::view
