#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fixtures.hpp"
#include "groups/group_builder.hpp"
#include "groups/group_syllabifier.hpp"
#include "phonology/sonority.hpp"

namespace vantro {
namespace {

using testing::describe_syllables;
using testing::french_sets;

TextMap<Text> liaison_table() {
    TextMap<Text> t;
    t.emplace(U"Lz", U"z");
    t.emplace(U"Lt", U"t");
    t.emplace(U"Lvide", U"");
    t.emplace(U"none", U"n");  // must never be consulted: "none" means no liaison
    t.emplace(U"NONE", U"n");
    return t;
}

WordForGrouping word(const char* text, const char* phone, std::optional<const char*> liaison = "none") {
    WordForGrouping w;
    w.text = from_utf8(text);
    w.phone = from_utf8(phone);
    w.liaison = liaison ? std::optional<Text>(from_utf8(*liaison)) : std::nullopt;
    return w;
}
WordForGrouping with_punctuation(WordForGrouping w) {
    w.ponctuation_avant = true;
    return w;
}
WordForGrouping with_elision(WordForGrouping w) {
    w.elision_avant = true;
    return w;
}
WordForGrouping formula(WordForGrouping w) {
    w.est_formule = true;
    return w;
}

// first+count [junctions] phone, with " F" for a formula group.
std::string describe(const GroupPlan& g) {
    std::string out = std::to_string(g.first) + "+" + std::to_string(g.count) + " [";
    for (std::size_t i = 0; i < g.jonctions.size(); ++i) out += (i ? " " : "") + to_utf8(g.jonctions[i]);
    out += "] " + to_utf8(g.phone_groupe);
    if (g.est_formule) out += " F";
    return out;
}

struct GroupingCase {
    const char* name;
    std::vector<WordForGrouping> mots;
    GroupingOptions options;
    std::vector<std::string> expected;
};

GroupingOptions without_liaisons() {
    GroupingOptions o;
    o.gerer_liaisons = false;
    return o;
}
GroupingOptions without_elisions() {
    GroupingOptions o;
    o.gerer_elisions = false;
    return o;
}
GroupingOptions nothing_joins() { return GroupingOptions{false, false, false}; }
GroupingOptions from_text() {
    GroupingOptions o;
    o.glide_joins = true;
    o.hyphen_joins = true;
    return o;
}
WordForGrouping disjonctif(WordForGrouping w) {
    w.disjonctif = true;
    return w;
}
WordForGrouping inverted(WordForGrouping w) {
    w.trait_union_avant = true;
    return w;
}

std::vector<GroupingCase> grouping_cases() {
    const auto les = word("les", "le", "Lz");
    const auto enfants = word("enfants", "ɑ̃fɑ̃", "Lz");
    return {
        {"empty sentence", {}, {}, {}},
        {"single word", {word("chat", "ʃa")}, {}, {"0+1 [] ʃa"}},
        {"elision by apostrophe", {word("l'", "l"), word("enfant", "ɑ̃fɑ̃")}, {}, {"0+2 [elision] lɑ̃fɑ̃"}},
        {"elision flagged on the second word", {word("j", "ʒ"), with_elision(word("ai", "e"))}, {}, {"0+2 [elision] ʒe"}},
        {"elision flag wins over liaison and consonants", {word("qu", "k", "Lz"), with_elision(word("il", "il"))}, {},
         {"0+2 [elision] kil"}},
        {"typographic apostrophe is an elision", {word("l’", "l"), word("enfant", "ɑ̃fɑ̃")}, {},
         {"0+2 [elision] lɑ̃fɑ̃"}},
        {"modifier-letter apostrophe is an elision", {word("lʼ", "l"), word("enfant", "ɑ̃fɑ̃")}, {},
         {"0+2 [elision] lɑ̃fɑ̃"}},
        {"elisions off fall through to enchainement", {word("l'", "l"), word("enfant", "ɑ̃fɑ̃")}, without_elisions(),
         {"0+2 [enchainement] lɑ̃fɑ̃"}},
        {"liaison: consonant not inserted in the IPA", {les, enfants}, {}, {"0+2 [liaison_z] leɑ̃fɑ̃"}},
        {"liaisons off, no consonant to chain", {les, enfants}, without_liaisons(), {"0+1 [] le", "1+1 [] ɑ̃fɑ̃"}},
        {"liaison needs a vowel after", {les, word("chats", "ʃa")}, {}, {"0+1 [] le", "1+1 [] ʃa"}},
        {"chain of liaisons", {les, enfants, word("ont", "ɔ̃", "Lt"), word("eu", "y")}, {},
         {"0+4 [liaison_z liaison_z liaison_t] leɑ̃fɑ̃ɔ̃y"}},
        {"enchainement", {word("avec", "avɛk"), word("elle", "ɛl")}, {}, {"0+2 [enchainement] avɛkɛl"}},
        {"enchainement off", {word("avec", "avɛk"), word("elle", "ɛl")}, GroupingOptions{true, true, false},
         {"0+1 [] avɛk", "1+1 [] ɛl"}},
        {"nothing joins with every option off", {word("l'", "l"), word("enfant", "ɑ̃fɑ̃")}, nothing_joins(),
         {"0+1 [] l", "1+1 [] ɑ̃fɑ̃"}},
        {"punctuation breaks even an elision", {word("l'", "l"), with_punctuation(word("enfant", "ɑ̃fɑ̃"))}, {},
         {"0+1 [] l", "1+1 [] ɑ̃fɑ̃"}},
        {"a formula is a group of its own",
         {word("avec", "avɛk"), formula(word("12", "duz")), word("ans", "ɑ̃")}, {},
         {"0+1 [] avɛk", "1+1 [] duz F", "2+1 [] ɑ̃"}},
        {"a formula after an elided word still breaks", {word("l'", "l"), formula(word("A4", "a"))}, {},
         {"0+1 [] l", "1+1 [] a F"}},
        {"unknown liaison label falls through to enchainement", {word("cher", "ʃɛʁ", "Lq"), word("ami", "ami")}, {},
         {"0+2 [enchainement] ʃɛʁami"}},
        {"label mapped to nothing falls through", {word("cher", "ʃɛʁ", "Lvide"), word("ami", "ami")}, {},
         {"0+2 [enchainement] ʃɛʁami"}},
        {"empty label is looked up, gives nothing", {word("cher", "ʃɛʁ", ""), word("ami", "ami")}, {},
         {"0+2 [enchainement] ʃɛʁami"}},
        {"label that is not a string gives nothing", {word("cher", "ʃɛʁ", std::nullopt), word("ami", "ami")}, {},
         {"0+2 [enchainement] ʃɛʁami"}},
        {"label none is never looked up", {word("un", "œ̃", "none"), word("ami", "ami")}, {}, {"0+1 [] œ̃", "1+1 [] ami"}},
        {"label compared exactly with none", {word("un", "œ̃", "NONE"), word("ami", "ami")}, {},
         {"0+2 [liaison_n] œ̃ami"}},
        // Read from text.
        {"a glide does not join annotated words", {les, word("oiseaux", "wazo")}, {}, {"0+1 [] le", "1+1 [] wazo"}},
        {"a glide joins like a vowel in text", {les, word("oiseaux", "wazo")}, from_text(),
         {"0+2 [liaison_z] lewazo"}},
        {"a glide after a consonant chains", {word("quel", "kɛl"), word("oiseau", "wazo")}, from_text(),
         {"0+2 [enchainement] kɛlwazo"}},
        {"h aspiré blocks liaison and enchainement",
         {les, disjonctif(word("haricots", "aʁiko")), word("quel", "kɛl"), disjonctif(word("héros", "eʁo"))},
         from_text(), {"0+1 [] le", "1+1 [] aʁiko", "2+1 [] kɛl", "3+1 [] eʁo"}},
        {"h aspiré leaves a written elision", {word("l'", "l"), disjonctif(word("hibou", "ibu"))}, from_text(),
         {"0+2 [elision] libu"}},
        {"hyphen joins without liaison or enchainement",
         {word("est", "ɛ"), inverted(word("-ce", "s")), word("dis", "di"), inverted(word("-moi", "mwa"))}, from_text(),
         {"0+2 [trait_union] ɛs", "2+2 [trait_union] dimwa"}},
        {"hyphen keeps the liaison label", {word("dit", "dit", "Lt"), inverted(word("-elle", "ɛl"))}, from_text(),
         {"0+2 [liaison_t] ditɛl"}},
        {"hyphen join is for text only", {word("est", "ɛ"), inverted(word("-ce", "s"))}, {},
         {"0+1 [] ɛ", "1+1 [] s"}},
    };
}

TEST(ConstruireGroupes, Cases) {
    const PhonemeSets sets = french_sets();
    const TextMap<Text> liaisons = liaison_table();
    for (const GroupingCase& c : grouping_cases()) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> got;
        for (const GroupPlan& g : construire_groupes(c.mots, c.options, liaisons, sets)) got.push_back(describe(g));
        EXPECT_EQ(got, c.expected);
    }
}

TEST(GroupAlignmentText, WordsJoinedWithoutSpaces) {
    const auto joined = build_group_alignment_text({{U"les", 0}, {U"enfants", 4}});
    EXPECT_EQ(joined.text, U"lesenfants");
    EXPECT_EQ(joined.word_boundaries, (std::vector<std::int64_t>{3}));
    EXPECT_EQ(joined.char_map, (std::vector<std::int64_t>{0, 1, 2, 4, 5, 6, 7, 8, 9, 10}));

    const auto three = build_group_alignment_text({{U"l'", 5}, {U"", 8}, {U"ami", 9}});
    EXPECT_EQ(three.text, U"l'ami");
    EXPECT_EQ(three.word_boundaries, (std::vector<std::int64_t>{2, 2}));
    EXPECT_EQ(three.char_map, (std::vector<std::int64_t>{5, 6, 9, 10, 11}));

    const auto none = build_group_alignment_text({});
    EXPECT_TRUE(none.text.empty());
    EXPECT_TRUE(none.word_boundaries.empty());
    EXPECT_TRUE(none.char_map.empty());
}

TEST(MapGroupSpan, Cases) {
    const std::vector<std::int64_t> les_enfants = {0, 1, 2, 4, 5, 6, 7, 8, 9, 10};
    struct Case {
        const char* name;
        std::vector<std::int64_t> char_map;
        Span in;
        Span out;
    };
    const std::vector<Case> cases = {
        {"span across the words covers the space", les_enfants, {2, 5}, {2, 6}},
        {"span inside the second word", les_enfants, {3, 10}, {4, 11}},
        {"empty span at the start ends at the group end", les_enfants, {0, 0}, {0, 11}},
        {"empty span at the end", les_enfants, {10, 10}, {11, 11}},
        {"empty span at a word boundary", les_enfants, {3, 3}, {4, 3}},
        {"past the letters", les_enfants, {12, 14}, {11, 11}},
        {"no letters leaves the span alone", {}, {0, 0}, {0, 0}},
        {"no letters, non-zero span", {}, {2, 3}, {2, 3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(map_group_span(c.in, c.char_map), c.out);
    }
}

// A small phoneme table and alphabet, enough for the groups below.
LinguisticContext context() {
    const testing::SmallData& d = testing::small_data();
    return LinguisticContext{d.sets, d.sonority, d.table, d.silent_letters};
}

TEST(SyllabifierGroupe, Cases) {
    const LinguisticContext ctx = context();
    struct Case {
        const char* name;
        const char* phone;
        std::vector<GroupWord> words;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"one word keeps spans relative to its start", "ʃɔkɔla", {{U"chocolat", 10}},
         R"~(ʃɔ "cho" (10,13) | kɔ "co" (13,15) | la "lat°" (15,18))~"},
        {"words aligned as one, spans mapped over the space", "leɑ̃fɑ̃", {{U"les", 0}, {U"enfants", 4}},
         R"~(le "les" (0,3) | ɑ̃ "en" (4,6) | fɑ̃ "fant°s°" (6,11))~"},
        {"a syllable across two words covers the space", "lezɑ̃fɑ̃", {{U"les", 0}, {U"enfants", 4}},
         R"~(le "le" (0,2) | zɑ̃ "sen" (2,6) | fɑ̃ "fant°s°" (6,11))~"},
        {"enchainement", "avɛkɛl", {{U"avec", 20}, {U"elle", 25}},
         R"~(a "a" (20,21) | vɛ "ve" (21,23) | kɛl "celle°" (23,29))~"},
        {"failed alignment: syllables without letters", "ʃɔ", {{U"xyz", 3}, {U"w", 7}},
         R"~(ʃɔ "" (0,0))~"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(describe_syllables(syllabifier_groupe(from_utf8(c.phone), c.words, ctx)), c.expected);
    }
}


// An entry of three phonemes leaves "ɡz" on one letter after the alignment;
// the group pass splits it again so that every phoneme has its own grapheme.
TEST(SyllabifierGroupe, ThreePhonemeEntryIsSplitTwice) {
    const LinguisticContext ctx = context();
    const auto syllables = syllabifier_groupe(U"ɛɡzil", {{U"exil", 2}}, ctx);
    EXPECT_EQ(describe_syllables(syllables), R"~(ɛ "e" (2,3) | ɡzil "xil" (3,6))~");
    ASSERT_EQ(syllables.size(), 2u);
    const SyllabeRec& second = syllables[1];
    ASSERT_EQ(second.attaque.size(), 2u);
    EXPECT_EQ(second.attaque[0].grapheme, U"x");
    EXPECT_EQ(second.attaque[1].grapheme, U"");
    ASSERT_EQ(second.noyau.size(), 1u);
    EXPECT_EQ(second.noyau[0].grapheme, U"i");
    ASSERT_EQ(second.coda.size(), 1u);
    EXPECT_EQ(second.coda[0].grapheme, U"l");
}

}  // namespace
}  // namespace vantro
