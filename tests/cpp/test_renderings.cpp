#include <gtest/gtest.h>

#include "fixtures.hpp"
#include "results/final_schwa.hpp"
#include "results/renderings.hpp"

namespace vantro {
namespace {

using testing::french_sets;

SyllabeRec syllable(const char32_t* phone, const char32_t* ortho, Span span, std::vector<PhonemeRec> att,
                    std::vector<PhonemeRec> noy, std::vector<PhonemeRec> cod = {}) {
    return SyllabeRec{phone, ortho, span, std::move(att), std::move(noy), std::move(cod)};
}

std::vector<SyllableShown> chocolat() {
    return {syllable_shown(syllable(U"ʃɔ", U"cho", {0, 3}, {{U"ʃ", U"ch"}}, {{U"ɔ", U"o"}})),
            syllable_shown(syllable(U"kɔ", U"co", {3, 5}, {{U"k", U"c"}}, {{U"ɔ", U"o"}})),
            syllable_shown(syllable(U"la", U"lat", {5, 8}, {{U"l", U"l"}}, {{U"a", U"at"}}))};
}

TEST(Renderings, Word) {
    EXPECT_EQ(to_utf8(format_simple(U"chocolat", {U"ʃɔ", U"kɔ", U"la"}, U"3")), "chocolat -> /ʃɔ.kɔ.la/ (3 syll.)");
    EXPECT_EQ(to_utf8(format_simple(U"hm", {}, U"0")), "hm -> // (0 syll.)");
    EXPECT_EQ(to_utf8(format_detail(U"chocolat", U"ʃɔkɔla", chocolat())),
              "chocolat -> /ʃɔkɔla/\n"
              "  σ1: /ʃɔ/ <<cho>> [0:3] att=ʃ noy=ɔ cod=-\n"
              "  σ2: /kɔ/ <<co>> [3:5] att=k noy=ɔ cod=-\n"
              "  σ3: /la/ <<lat>> [5:8] att=l noy=a cod=-");
    EXPECT_EQ(to_utf8(format_detail(U"", U"", {})), " -> //");
}

// A group as line 1 asks for it, counting the questions.
struct Asked {
    bool formule;
    std::optional<Text> reading;
    Text words;
    int texts = 0, readings = 0;
    bool est_formule() { return formule; }
    std::optional<Text> reading_display() { return ++readings, reading; }
    Text text() { return ++texts, words; }
};

TEST(Renderings, Ligne1AsksOnlyWhatItShows) {
    Asked with_reading{true, Text(U"trois"), U"3"};
    EXPECT_EQ(ligne1_part(with_reading), U"[trois]");
    EXPECT_EQ(with_reading.texts, 0);
    Asked without_reading{true, std::nullopt, U"x²"};
    EXPECT_EQ(ligne1_part(without_reading), U"x²");
    Asked words{false, Text(U"ignored"), U"les enfants"};
    EXPECT_EQ(ligne1_part(words), U"les enfants");
    EXPECT_EQ(words.readings, 0);
    EXPECT_EQ(join_group_parts({U"les enfants", U"[trois]", U""}), U"les enfants | [trois] | ");
    EXPECT_EQ(ligne2_part({U"le", U"zɑ̃"}), U"le.zɑ̃");
}

TEST(Renderings, Sentence) {
    SentenceShown s{U"les enfants 3", U"2", U"4", U"les enfants | [trois]", U"le.zɑ̃.fɑ̃ | tʁwa", {}};
    s.groupes.push_back(GroupShown{U"les enfants", false, U"lezɑ̃fɑ̃", {U"liaison_z", U"enchainement"}, chocolat()});
    s.groupes.back().syllabes.resize(1);
    s.groupes.push_back(GroupShown{U"3", true, U"tʁwa", {}, {}});
    EXPECT_EQ(to_utf8(format_detail(s)),
              "Texte : les enfants 3\n"
              "Groupes : 2  Syllabes : 4\n"
              "Ligne 1 : les enfants | [trois]\n"
              "Ligne 2 : le.zɑ̃.fɑ̃ | tʁwa\n"
              "\n"
              "  G1: <<les enfants>>  /lezɑ̃fɑ̃/  jonctions=liaison_z, enchainement\n"
              "    σ1: /ʃɔ/ <<cho>> [0:3] att=ʃ noy=ɔ cod=-\n"
              "  G2: <<3>> [FORMULE]  /tʁwa/  jonctions=-");
    EXPECT_EQ(to_utf8(format_detail(SentenceShown{U"", U"0", U"0", U"", U"", {}})),
              "Texte : \nGroupes : 0  Syllabes : 0\nLigne 1 : \nLigne 2 : \n");
}

TEST(FinalSchwa, Cases) {
    const PhonemeSets sets = french_sets();
    struct Case {
        const char32_t *ortho, *pos, *phone, *expected;
    };
    const Case cases[] = {
        {U"table", U"NOM", U"tabl", U"tablə"},     {U"tables", U"NOM", U"tabl", U"tablə"},
        {U"TABLES", U"NOM", U"tabl", U"tablə"},    {U"tableſ", U"NOM", U"tabl", U"tablə"},
        {U"table\n", U"NOM", U"tabl", U"tablə"},   {U"table\n\n", U"NOM", U"tabl", U"tabl"},
        {U"parlent", U"VER", U"paʁl", U"paʁlə"},   {U"parlent", U"ADJ", U"paʁl", U"paʁl"},
        {U"parlent", U"ver:pres", U"paʁl", U"paʁlə"}, {U"PARLENT\n", U"vErB", U"paʁl", U"paʁlə"},
        {U"fée", U"NOM", U"fek", U"fek"},           {U"annÉes", U"NOM", U"anek", U"anek"},
        {U"e", U"NOM", U"ʁ", U"ʁə"},                {U"es", U"", U"ʁ", U"ʁə"},
        {U"vie", U"NOM", U"vi", U"vi"},             {U"une", U"DET", U"yn", U"ynə"},
        {U"chat", U"NOM", U"ʃa", U"ʃa"},            {U"table", U"NOM", U"", U""},
        {U"", U"NOM", U"tabl", U"tabl"},            {U"ables", U"ß", U"\u0303", U"\u0303ə"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(to_utf8(c.ortho) + " " + to_utf8(c.pos));
        EXPECT_EQ(to_utf8(ajouter_schwa_final(c.ortho, c.pos, c.phone, sets)), to_utf8(c.expected));
    }
}

TEST(FinalSchwa, SetsAreOnlyAskedForTheLastPhoneme) {
    const PhonemeSets sets = french_sets();
    int asked = 0;
    auto lazy = [&]() -> const PhonemeSets& { return ++asked, sets; };
    EXPECT_FALSE(takes_final_schwa(U"chat", U"NOM", U"ʃa", lazy));
    EXPECT_FALSE(takes_final_schwa(U"", U"NOM", U"ʃa", lazy));
    EXPECT_EQ(asked, 0);
    EXPECT_TRUE(takes_final_schwa(U"table", U"NOM", U"tabl", lazy));
    EXPECT_EQ(asked, 1);
}

}  // namespace
}  // namespace vantro
