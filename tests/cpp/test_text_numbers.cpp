#include <gtest/gtest.h>

#include "common/text.hpp"
#include "text/french_numbers.hpp"
#include "unicode/normalize.hpp"

namespace {

using namespace vantro;

TEST(FrenchNumbers, Cardinals) {
    struct Case { std::uint64_t n; const char* words; };
    const Case cases[] = {
        {0, "zéro"}, {1, "un"}, {16, "seize"}, {17, "dix-sept"}, {21, "vingt et un"}, {22, "vingt-deux"},
        {71, "soixante et onze"}, {77, "soixante-dix-sept"}, {80, "quatre-vingts"}, {81, "quatre-vingt-un"},
        {91, "quatre-vingt-onze"}, {100, "cent"}, {101, "cent un"}, {200, "deux cents"}, {280, "deux cent quatre-vingts"},
        {1000, "mille"}, {1998, "mille neuf cent quatre-vingt-dix-huit"}, {2000, "deux mille"},
        {80000, "quatre-vingt mille"}, {200000, "deux cent mille"}, {1000000, "un million"},
        {2300000, "deux millions trois cent mille"}, {2000000001, "deux milliards un"},
    };
    for (const auto& [n, words] : cases) EXPECT_EQ(to_utf8(*text::cardinal_words(n)), words) << n;
    EXPECT_FALSE(text::cardinal_words(text::kMaxSpelled + 1));
}

TEST(FrenchNumbers, Ordinals) {
    struct Case { std::uint64_t n; bool feminine; const char* words; };
    const Case cases[] = {
        {1, false, "premier"}, {1, true, "première"}, {2, false, "deuxième"}, {3, false, "troisième"},
        {4, false, "quatrième"}, {5, false, "cinquième"}, {9, false, "neuvième"}, {19, false, "dix-neuvième"},
        {21, false, "vingt et unième"}, {80, false, "quatre-vingtième"}, {200, false, "deux centième"},
        {1000, false, "millième"}, {2000000, false, "deux millionième"},
    };
    for (const auto& [n, feminine, words] : cases) EXPECT_EQ(to_utf8(*text::ordinal_words(n, feminine)), words) << n;
}

TEST(FrenchNumbers, RomanNumeralsInCanonicalFormOnly) {
    struct Case { const char32_t* s; std::uint64_t value; };
    const Case cases[] = {{U"I", 1}, {U"IV", 4}, {U"XIV", 14}, {U"XIX", 19}, {U"MCMXCVIII", 1998}, {U"MMMCMXCIX", 3999},
                          {U"IIII", 0}, {U"IC", 0}, {U"VX", 0}, {U"xiv", 0}, {U"", 0}, {U"MMMM", 0}};
    for (const auto& [s, value] : cases) EXPECT_EQ(text::roman_value(s).value_or(0), value) << to_utf8(s);
}

TEST(Nfc, MapsEachCharacterToItsSource) {
    struct Case { Text input; Text nfc; std::vector<Span> sources; };
    const Case cases[] = {
        // Decomposed accents compose; each letter keeps its accent.
        {U"e\u0301te\u0301", U"été", {{0, 2}, {2, 3}, {3, 5}}},
        // Marks in the wrong order: the acute composes past the cedilla.
        {U"a\u0301\u0327", U"á\u0327", {{0, 2}, {2, 3}}},
        // Hangul jamo compose by arithmetic; a singleton maps alone.
        {U"\u1100\u1161\u11A8\u2126", U"각Ω", {{0, 3}, {3, 4}}},
        // A mark after a space stays its own.
        {U" \u0301", U" \u0301", {{0, 1}, {1, 2}}},
    };
    for (const Case& c : cases) {
        const unicode::NfcText n(c.input);
        EXPECT_EQ(n.text(), c.nfc) << to_utf8(c.input);
        EXPECT_EQ(unicode::nfc(c.input), c.nfc);
        ASSERT_EQ(n.text().size(), c.sources.size());
        for (std::size_t i = 0; i < c.sources.size(); ++i) EXPECT_EQ(n.source_of(i), c.sources[i]) << i;
        EXPECT_EQ(n.to_source({0, static_cast<std::int64_t>(c.nfc.size())}),
                  (Span{0, static_cast<std::int64_t>(c.input.size())}));
    }
    const unicode::NfcText done(U"déjà");
    EXPECT_TRUE(done.identity());
    EXPECT_EQ(done.to_source({1, 3}), (Span{1, 3}));
    EXPECT_EQ(unicode::NfcText(U"e\u0301").to_source({1, 1}), (Span{2, 2}));
}

}  // namespace
