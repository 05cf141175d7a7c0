#include <gtest/gtest.h>

#include "fixtures.hpp"

#include <string>

#include "phonology/constituents.hpp"
#include "phonology/sonority.hpp"
#include "phonology/tokens.hpp"

namespace {

using namespace vantro;

// A small alphabet with the classification the syllabification rules are
// written against: ʁ and l liquids, m and n nasals, j a glide, the other
// consonants obstruents. "ø" is a vowel without sub-type and "ɑ̃" a nasal
// vowel entry, so both are vowels for the sonority classes only.
Alphabet test_alphabet() {
    auto e = [](const char32_t* type, const char32_t* sous_type) {
        AlphabetEntry entry;
        if (type) entry.type = Text(type);
        if (sous_type) entry.sous_type = Text(sous_type);
        return entry;
    };
    Alphabet a;
    for (const char32_t* v : {U"a", U"i", U"ɛ", U"ɔ", U"u", U"ə"}) a.emplace_back(v, e(U"voyelle", U"orale"));
    a.emplace_back(U"ø", e(U"voyelle", nullptr));
    a.emplace_back(U"ɑ\u0303", e(U"voyelle", U"nasale"));
    a.emplace_back(U"j", e(U"semi-voyelle", nullptr));
    a.emplace_back(U"ʁ", e(U"consonne", U"liquide"));
    a.emplace_back(U"l", e(U"consonne", U"liquide"));
    a.emplace_back(U"m", e(U"consonne", U"nasale"));
    a.emplace_back(U"n", e(U"consonne", U"nasale"));
    for (const char32_t* c : {U"p", U"t", U"k", U"b", U"d"}) a.emplace_back(c, e(U"consonne", U"occlusive"));
    for (const char32_t* c : {U"s", U"z", U"ʃ", U"ʒ"}) a.emplace_back(c, e(U"consonne", U"fricative"));
    a.emplace_back(U"ɡ", e(U"consonne", nullptr));
    a.emplace_back(U"h", e(nullptr, nullptr));
    a.emplace_back(U"x", e(U"autre", U"liquide"));
    return a;
}

const Alphabet kAlphabet = test_alphabet();

TEST(DerivedSets, OralVowelsConsonantsAndSemiVowels) {
    const PhonemeSets s = derive_phoneme_sets(test_alphabet());
    EXPECT_EQ(s.voyelles, (TextSet{U"a", U"i", U"ɛ", U"ɔ", U"u", U"ə"}));  // "ø" has no sub-type, "ɑ̃" is nasal
    EXPECT_EQ(s.semi_voyelles, (TextSet{U"j"}));
    EXPECT_TRUE(contains(s.consonnes, U"ʁ") && contains(s.consonnes, U"ɡ") && !contains(s.consonnes, U"x"));
    EXPECT_FALSE(contains(s.consonnes, U"h") || contains(s.voyelles, U"h"));  // no type: in no set
}
const PhonemeSets kSets = derive_phoneme_sets(kAlphabet);
const SonorityClasses kClasses = build_sonority_classes(kAlphabet);

using vantro::testing::texts;

std::string show(TextView s) { return to_utf8(s); }

// ---------------------------------------------------------------- tokens

TEST(Tokens, IterPhonemes) {
    struct Case { const char32_t* ipa; std::vector<Text> tokens; };
    const Case cases[] = {
        {U"", {}},
        {U"ʃa", texts({U"ʃ", U"a"})},
        {U"ɑ\u0303", texts({U"ɑ\u0303"})},
        {U"\u0303\u0301ab", texts({U"\u0303\u0301", U"a", U"b"})},
        {U"\u0303", texts({U"\u0303"})},
        {U"ˈaː. b", texts({U"ˈ", U"a", U"ː", U".", U" ", U"b"})},
        {U"t\u0361ʃ", texts({U"t\u0361", U"ʃ"})},
        {U"tʃ", texts({U"t", U"ʃ"})},
        {U"bjɛ\u0303\u0301", texts({U"b", U"j", U"ɛ\u0303\u0301"})},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(iter_phonemes(c.ipa), c.tokens) << show(c.ipa);
        const std::vector<TextView> views = iter_phoneme_views(c.ipa);
        EXPECT_EQ(std::vector<Text>(views.begin(), views.end()), c.tokens) << show(c.ipa);
    }
}

TEST(Tokens, CharSets) {
    for (const char32_t* c : {U"tʃ", U"dʒ", U"ts", U"ɡz"}) EXPECT_TRUE(is_compound_phoneme(c)) << show(c);
    for (const char32_t* c : {U"gz", U"t", U"tʃa", U"t\u0361ʃ", U"ʃt", U""}) EXPECT_FALSE(is_compound_phoneme(c)) << show(c);
    for (char32_t c : {U'-', U' ', U'\'', U'\u2019', U'_'}) EXPECT_TRUE(is_ignored_char(c));
    for (char32_t c : {U'a', U'.', U'\u2018', U'\u00A0', U'\t'}) EXPECT_FALSE(is_ignored_char(c));
}

TEST(Tokens, Predicates) {
    struct Case { const char32_t* s; bool voyelle, consonne, semi_voyelle; };
    const Case cases[] = {
        {U"a", true, false, false},
        {U"ɛ\u0303", true, false, false},  // nasal vowel through its first code point
        {U"ax", true, false, false},
        {U"ø", false, false, false},       // a vowel, but not an oral one
        {U"ɑ\u0303", false, false, false},
        {U"p", false, true, false},
        {U"tʃ", false, false, false},      // no entry of its own
        {U"j", false, false, true},
        {U"j\u0303", false, false, false},
        {U"", false, false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(est_voyelle(kSets, c.s), c.voyelle) << show(c.s);
        EXPECT_EQ(est_consonne(kSets, c.s), c.consonne) << show(c.s);
        EXPECT_EQ(est_semi_voyelle(kSets, c.s), c.semi_voyelle) << show(c.s);
    }
    PhonemeSets with_compound = kSets;
    with_compound.consonnes.insert(U"tʃ");
    EXPECT_TRUE(est_consonne(with_compound, U"tʃ"));
}

TEST(Tokens, FirstAndLastToken) {
    struct Case { const char32_t* s; bool starts_vowel, ends_consonne, ends_schwa; };
    const Case cases[] = {
        {U"", false, false, false},
        {U"ami", true, false, false},
        {U"ɛ\u0303pa", true, false, false},
        {U"\u0303a", false, false, false},   // leading marks form the first token
        {U"patʃ", false, true, false},       // decided on ʃ alone
        {U"ap\u0303", true, false, false},
        {U"pətə", false, false, true},
        {U"ə", true, false, true},
        {U"ə\u0303", true, false, false},
        {U"\u0303", false, false, false},
        {U"ʁ", false, true, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(phone_starts_with_vowel(kSets, c.s), c.starts_vowel) << show(c.s);
        EXPECT_EQ(phone_ends_with_consonne(kSets, c.s), c.ends_consonne) << show(c.s);
        EXPECT_EQ(phone_ends_with_schwa(c.s), c.ends_schwa) << show(c.s);
    }
}

// ---------------------------------------------------------------- sonority

TEST(Sonority, BuildClasses) {
    struct Case { const char32_t* symbol; const char* in; };  // classes holding the symbol
    const Case cases[] = {
        {U"a", "V"}, {U"ø", "V"}, {U"ɑ\u0303", "V"}, {U"j", "Y"}, {U"ʁ", "L"}, {U"m", "N"},
        {U"p", "O"}, {U"ɡ", "O"}, {U"s", "OL"},      {U"tʃ", "O"}, {U"dʒ", "O"}, {U"ts", "O"},
        {U"ɡz", "O"}, {U"h", ""},  {U"x", ""},
    };
    for (const auto& c : cases) {
        std::string in;
        if (contains(kClasses.O, c.symbol)) in += 'O';
        if (contains(kClasses.N, c.symbol)) in += 'N';
        if (contains(kClasses.L, c.symbol)) in += 'L';
        if (contains(kClasses.Y, c.symbol)) in += 'Y';
        if (contains(kClasses.V, c.symbol)) in += 'V';
        EXPECT_EQ(in, c.in) << show(c.symbol);
    }
}

TEST(Sonority, ClassOf) {
    struct Case { const char32_t* token; char cls; };
    const Case cases[] = {
        {U"a", 'V'}, {U"ɛ\u0303", 'V'}, {U"ø", 'V'}, {U"j", 'Y'}, {U"s", 'L'}, {U"l", 'L'},
        {U"n", 'N'}, {U"k", 'O'},       {U"tʃ", 'O'}, {U"ˈ", 'O'}, {U"ː", 'O'}, {U"h", 'O'},
    };
    for (const auto& c : cases) EXPECT_EQ(class_of(c.token, kClasses, kSets), c.cls) << show(c.token);
}

TEST(Sonority, MergeCompounds) {
    struct Case { std::vector<Text> in, out; };
    const Case cases[] = {
        {{}, {}},
        {texts({U"t", U"ʃ", U"t", U"s"}), texts({U"tʃ", U"ts"})},
        {texts({U"t", U"t", U"ʃ"}), texts({U"t", U"tʃ"})},
        {texts({U"d", U"ʒ", U"a"}), texts({U"dʒ", U"a"})},
        {texts({U"ɡ", U"z"}), texts({U"ɡz"})},
        {texts({U"g", U"z"}), texts({U"g", U"z"})},            // ASCII g
        {texts({U"t\u0303", U"ʃ"}), texts({U"t\u0303", U"ʃ"})},
        {texts({U"tʃ"}), texts({U"tʃ"})},
    };
    for (const auto& c : cases) EXPECT_EQ(merge_compounds_ipa(c.in), c.out);
}

TEST(Sonority, SplitCentralCluster) {
    struct Case { std::vector<Text> cluster; std::size_t with_s_liquid, without; };
    const Case cases[] = {
        {{}, 0, 0},
        {texts({U"k"}), 0, 0},
        {texts({U"p", U"l"}), 0, 0},
        {texts({U"p", U"t"}), 1, 1},
        {texts({U"s", U"p", U"ʁ"}), 1, 1},
        {texts({U"k", U"s", U"t", U"ʁ"}), 1, 1},
        {texts({U"k", U"s"}), 0, 1},   // s opens the syllable only as a liquid
        {texts({U"ʁ", U"l", U"t"}), 2, 2},
        {texts({U"b", U"j"}), 0, 0},
        {texts({U"ˈ", U"k"}), 0, 0},
        {texts({U"ʁ", U"j", U"l", U"m", U"p"}), 3, 3},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(split_central_cluster(c.cluster, kClasses, kSets), c.with_s_liquid);
        EXPECT_EQ(split_central_cluster(c.cluster, kClasses, kSets, false), c.without);
    }
}

TEST(Sonority, SyllabifyIpa) {
    struct Case { const char32_t* phone; std::vector<Text> syllables; };
    const Case cases[] = {
        {U"", {}},
        {U"pst", texts({U"pst"})},
        {U"pa", texts({U"pa"})},
        {U"ʃɔkɔla", texts({U"ʃɔ", U"kɔ", U"la"})},
        {U"pata", texts({U"pa", U"ta"})},
        {U"ai", texts({U"a", U"i"})},
        {U"kuplɛ", texts({U"ku", U"plɛ"})},
        {U"aptə", texts({U"ap", U"tə"})},
        {U"ɛspʁi", texts({U"ɛs", U"pʁi"})},
        {U"ɛkstʁa", texts({U"ɛk", U"stʁa"})},
        {U"taksi", texts({U"ta", U"ksi"})},
        {U"aʁlta", texts({U"aʁl", U"ta"})},
        {U"abjɛ\u0303", texts({U"a", U"bjɛ\u0303"})},
        {U"atʃa", texts({U"a", U"tʃa"})},        // one joined obstruent
        {U"apʃa", texts({U"ap", U"ʃa"})},
        {U"at\u0361ʃa", texts({U"a", U"t\u0361ʃa"})},
        {U"ʃɔˈkɔla", texts({U"ʃɔ", U"ˈkɔ", U"la"})},
        {U"pɑ\u0303ø", texts({U"pɑ\u0303", U"ø"})},  // vowels of the classes only
        {U"stʁikt", texts({U"stʁikt"})},
    };
    for (const auto& c : cases) EXPECT_EQ(syllabify_ipa(c.phone, kClasses, kSets), c.syllables) << show(c.phone);
}

// ---------------------------------------------------------------- constituents

TEST(Constituents, DecouperSyllabe) {
    using Parts = std::array<Text, 3>;
    struct Case { const char32_t* syll; std::optional<Parts> parts; };
    const Case cases[] = {
        {U"pʁi", Parts{U"pʁ", U"i", U""}},
        {U"ɛs", Parts{U"", U"ɛ", U"s"}},
        {U"stʁa", Parts{U"stʁ", U"a", U""}},
        {U"bjɛ\u0303", Parts{U"bj", U"ɛ\u0303", U""}},
        {U"ai", Parts{U"", U"a", U"i"}},
        {U"tʃa", Parts{U"tʃ", U"a", U""}},
        {U"\u0303pa", Parts{U"\u0303p", U"a", U""}},
        {U"pɑ\u0303", std::nullopt},  // ɑ is no oral vowel here
        {U"", std::nullopt},
        {U"pst", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(decouper_syllabe(c.syll, kSets), c.parts) << show(c.syll);
}

}  // namespace
