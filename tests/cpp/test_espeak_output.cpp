#include <gtest/gtest.h>

#include <string>

#include "frontend/espeak_output.hpp"

namespace {

using vantro::Text;

TEST(Utf8, DecodesLikeReplaceErrors) {
    // Each maximal ill-formed subpart becomes one U+FFFD.
    struct Case { std::string bytes; Text text; };
    const Case cases[] = {
        {"a\xff" "b", U"a\uFFFDb"},
        {"\xe2\x82" "A", U"\uFFFDA"},
        {"\xe2\x82", U"\uFFFD"},
        {"\xc3", U"\uFFFD"},
        {"\xf0\x9f\x98", U"\uFFFD"},
        {"\xed\xa0\x80", U"\uFFFD\uFFFD\uFFFD"},          // encoded surrogate
        {"\xc0\xaf", U"\uFFFD\uFFFD"},                    // overlong
        {"\xe0\x80\x80", U"\uFFFD\uFFFD\uFFFD"},
        {"\xf0\x80\x80\x80", U"\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"\xf4\x90\x80\x80", U"\uFFFD\uFFFD\uFFFD\uFFFD"},  // above U+10FFFF
        {"\xf8\x88\x80\x80\x80", U"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"\x80\xbf", U"\uFFFD\uFFFD"},
        {"\xf0\x9f\x98\x80", U"\U0001F600"},
        {"\xef\xbf\xbf", U"\uFFFF"},
        {"\xed\x9f\xbf", U"\uD7FF"},
        {std::string("a\0b", 3), Text(U"a\0b", 3)},
    };
    for (const auto& c : cases) EXPECT_EQ(vantro::from_utf8(c.bytes), c.text) << c.bytes;
}

TEST(EspeakOutput, Clean) {
    struct Case { std::string raw; Text cleaned; };
    const Case cases[] = {
        {"", U""},
        {" \n", U""},
        {" b\xc9\x94\xcc\x83\xca\x92\xcb\x88u\xca\x81\n", U"bɔ̃ʒuʁ"},
        {"\xcb\x8c" "a\xcb\x88t\xc9\x91\xcc\x83sj\xc9\x94\xcc\x83", U"atɑ̃sjɔ̃"},
        {"\xca\x92\xc9\x99 s\xc9\xa5i", U"ʒəsɥi"},
        {"\xc9\x9bkskyy\xcb\x90z", U"ɛkskyyːz"},          // length mark stays
        {"a-b", U"ab"},
        {"a\nb\r\n", U"a\nb"},                            // inner line break stays
        {"\xc2\xa0\xca\x92\xc9\x99\xe3\x80\x80", U"ʒə"},  // Unicode white space stripped
        {"\x1c" "a\x1f", U"a"},
        {"(en)h\xc9\x9blo\xca\x8a(fr)", U"hɛloʊ"},
        {"(en-us)w\xc9\x9b" "b", U"wɛb"},
        {"a(fr)b", U"ab"},
        {"(EN1)", U"(EN1)"},                              // a digit only after "-"
        {"(en-gb2)x", U"x"},
        {"(1)", U"(1)"},
        {"a()b", U"a()b"},
        {"(en-)a", U"(en)a"},                             // markers go before "-" is dropped
        {"(e n)", U"(en)"},
        {"((fr)", U"("},
        {"a\xff", U"a\uFFFD"},
    };
    for (const auto& c : cases) EXPECT_EQ(vantro::clean_espeak_output(c.raw), c.cleaned) << c.raw;
}

}  // namespace
