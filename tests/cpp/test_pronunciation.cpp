#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "pronunciation/cleanup.hpp"
#include "pronunciation/language_switch.hpp"

namespace {

using vantro::Text;
using vantro::TextView;
namespace pr = vantro::pronunciation;

std::vector<Text> fields(std::u32string_view s) {
    std::vector<Text> out(1);
    for (char32_t c : s) {
        if (c == U'=') out.emplace_back();
        else out.back().push_back(c);
    }
    return out;
}

// Every rule fixes the words that justify it, alone and with the others,
// and leaves its counter-examples as they are.
TEST(Cleanup, EachRuleFixesItsWordsAndKeepsTheOthers) {
    const auto rules = pr::cleanup_rules();
    for (std::size_t i = 0; i < rules.size(); ++i) {
        for (auto fix : rules[i].fixes) {
            const auto f = fields(fix);
            ASSERT_EQ(f.size(), 3u);
            const auto r = pr::clean_pronunciation_traced(f[0], f[1]);
            EXPECT_EQ(r.ipa, f[2]) << rules[i].name << " " << vantro::to_utf8(fix);
            EXPECT_TRUE(r.applied & (1u << i)) << rules[i].name << " " << vantro::to_utf8(fix);
        }
        for (auto keep : rules[i].keeps) {
            const auto f = fields(keep);
            ASSERT_EQ(f.size(), 2u);
            EXPECT_EQ(pr::clean_pronunciation(f[0], f[1]), f[1]) << rules[i].name << " " << vantro::to_utf8(keep);
        }
    }
}

TEST(Cleanup, SpellingDecides) {
    struct Case { TextView word, ipa, cleaned; };
    const Case cases[] = {
        {U"", U"", U""},
        {U"Nuit", U"nyi", U"nɥi"},              // any case
        {U"nuit", U"", U""},
        {U"", U"nyi", U"nyi"},                  // no letters, nothing to go on
        {U"tuyau", U"tyijo", U"tɥijo"},
        {U"cygne", U"siɲ", U"siɲ"},
        {U"magnanier", U"maɲanje", U"maɲanje"}, // gn and ni both there, in order
        {U"agnanier", U"anjanje", U"aɲanje"},
        {U"castagnettes", U"kastanjɛtə", U"kastaɲɛtə"},
        {U"signé", U"siɡne", U"siɡne"},         // no palatal place to pair: kept
        {U"oui-oui", U"wiwi", U"wiwi"},
        {U"hello", U"hɛloʊ", U"hɛloʊ"},         // not a French reading
        {U"bruit", U"bʁyi\nbʁyi", U"bʁɥi\nbʁɥi"},
    };
    for (const auto& c : cases) EXPECT_EQ(pr::clean_pronunciation(c.word, c.ipa), c.cleaned) << vantro::to_utf8(c.word);
}

TEST(LanguageSwitch, Found) {
    struct Case { TextView raw; std::vector<std::tuple<std::string, std::size_t, std::size_t>> switches; };
    const Case cases[] = {
        {U"", {}},
        {U"pyl", {}},
        {U"(en)pˈʊl(fr)", {{"en", 4, 8}}},
        {U"lə (en)pˈʌzəl(fr) ɛ (en)dˈɒs(fr)", {{"en", 7, 13}, {"en", 24, 28}}},
        {U"(en-us)wɛb", {{"en-us", 7, 10}}},  // never switched back
        {U"(EN)a(fr)", {{"en", 4, 5}}},
        {U"(fr)a", {}},
        {U"(en)a(de)b(fr)", {{"en", 4, 5}, {"de", 9, 10}}},
        {U"a()b (1) (e n)", {}},
    };
    for (const auto& c : cases) {
        const auto found = pr::find_language_switches(c.raw);
        ASSERT_EQ(found.size(), c.switches.size()) << vantro::to_utf8(c.raw);
        for (std::size_t i = 0; i < found.size(); ++i) {
            EXPECT_EQ(found[i].language, std::get<0>(c.switches[i]));
            EXPECT_EQ(found[i].start, std::get<1>(c.switches[i]));
            EXPECT_EQ(found[i].end, std::get<2>(c.switches[i]));
        }
    }
    EXPECT_TRUE(pr::has_language_switch("(en)p\xcb\x88\xca\x8al(fr)"));
    EXPECT_FALSE(pr::has_language_switch("(en)hello", "en"));
}

// The language a phonemizer names in its warning: the first foreign one,
// whatever the voice's variant.
TEST(LanguageSwitch, ForeignLanguageOfAVoice) {
    struct Case { std::string_view raw, voice, language; };
    const Case cases[] = {
        {"", "fr", ""},
        {"pyl", "fr", ""},
        {"(en)p\xcb\x88\xca\x8al(fr)", "fr", "en"},
        {"(en)p\xcb\x88\xca\x8al(fr)", "fr-be", "en"},
        {"(en)p\xcb\x88\xca\x8al(fr)", "fr+f3", "en"},
        {"(en)p\xcb\x88\xca\x8al(fr)", "en-us", ""},  // its own language
        {"(de)a(en)b(fr)", "fr", "de"},
        {"(fr)a", "fr-ch", ""},
        {"a(b", "fr", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(pr::foreign_language(c.raw, c.voice), c.language) << c.raw << " " << c.voice;
    EXPECT_EQ(pr::voice_language("fr-be"), "fr");
    EXPECT_EQ(pr::voice_language("fr"), "fr");
}

}  // namespace

#include "frontend/espeak_library.hpp"
#include "pronunciation/french_reading.hpp"

namespace {

TEST(FrenchReading, SwitchedWordsReadAgainInFrench) {
    vantro::EspeakLibrary* lib = nullptr;
    try {
        lib = &vantro::EspeakLibrary::shared();
        lib->check_voice("fr");
    } catch (const vantro::EspeakLibraryError&) {
        GTEST_SKIP() << "libespeak-ng with a French voice not available";
    }
    struct Case { TextView word; std::optional<Text> reading; };
    const Case cases[] = {
        {U"chat", U"ʃa"},             // read in French already: that reading
        {U"dos", U"do"},              // an English entry of the French dictionary
        {U"Arthur", U"aʁtyʁ"},        // "th" before a vowel
        {U"pull", U"pyl"},            // final "ll"; the doubled l said once
        {U"football", std::nullopt},  // English wherever the joiner goes
    };
    for (const auto& c : cases) EXPECT_EQ(pr::french_reading(*lib, "fr", c.word), c.reading) << vantro::to_utf8(c.word);
}

}  // namespace
