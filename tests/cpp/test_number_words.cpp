#include <gtest/gtest.h>

#include "reading/number_words.hpp"

namespace vantro::reading {
namespace {

std::string spelled(const char* s) { return to_utf8(spell_numbers(from_utf8(s))); }

TEST(NumberWords, Cardinals) {
    const std::pair<const char*, const char*> cases[] = {
        {"0", "zéro"},
        {"7", "sept"},
        {"17", "dix-sept"},
        {"21", "vingt et un"},
        {"22", "vingt-deux"},
        {"70", "soixante-dix"},
        {"71", "soixante et onze"},
        {"79", "soixante-dix-neuf"},
        {"80", "quatre-vingts"},
        {"81", "quatre-vingt-un"},
        {"91", "quatre-vingt-onze"},
        {"100", "cent"},
        {"101", "cent un"},
        {"200", "deux cents"},
        {"280", "deux cent quatre-vingts"},
        {"1000", "mille"},
        {"1998", "mille neuf cent quatre-vingt-dix-huit"},
        {"80000", "quatre-vingt mille"},
        {"200000", "deux cent mille"},
        {"2000000", "deux millions"},
        {"200000000", "deux cents millions"},
        {"1000001", "un million un"},
        {"007", "zéro zéro sept"},
    };
    for (const auto& [digits, words] : cases) {
        const auto got = cardinal_words(from_utf8(digits));
        ASSERT_TRUE(got.has_value()) << digits;
        EXPECT_EQ(to_utf8(*got), words) << digits;
    }
    EXPECT_FALSE(cardinal_words(U"").has_value());
    EXPECT_FALSE(cardinal_words(U"1a").has_value());
    // Past the named scales, digit by digit rather than a wrong number.
    EXPECT_EQ(to_utf8(*cardinal_words(U"1234567890123456789")).substr(0, 14), "un deux trois ");
}

TEST(NumberWords, FormulaReadings) {
    const std::pair<const char*, const char*> cases[] = {
        {"8 heures 30", "huit heures trente"},
        {"1 heure", "une heure"},
        {"21 heures", "vingt et une heures"},
        {"3,5", "trois virgule cinq"},
        {"0,25", "zéro virgule vingt-cinq"},
        {"moins 5", "moins cinq"},
        {"1 000", "mille"},
        {"10000 euros", "dix mille euros"},
        {"50 pour cent", "cinquante pour cent"},
        {"1/2", "un demi"},
        {"3/4", "trois quarts"},
        {"3/7", "trois sur sept"},
        {"12/05/2023", "douze mai deux mille vingt-trois"},
        {"1/1/2000", "premier janvier deux mille"},
        {"8:30", "huit trente"},
        {"1939-1945", "mille neuf cent trente-neuf mille neuf cent quarante-cinq"},
        {"06 12", "zéro six douze"},
    };
    for (const auto& [in, out] : cases) EXPECT_EQ(spelled(in), out) << in;
}

TEST(NumberWords, WordReadings) {
    EXPECT_TRUE(is_word_reading(U"huit heures trente"));
    EXPECT_TRUE(is_word_reading(U"quatre-vingt-dix"));
    EXPECT_FALSE(is_word_reading(U"MP3"));
    EXPECT_FALSE(is_word_reading(U"www.exemple.fr"));
    EXPECT_FALSE(is_word_reading(U" - "));
}

}  // namespace
}  // namespace vantro::reading
