#include <gtest/gtest.h>

#include "unicode/unicode.hpp"

namespace {

using vantro::Text;
namespace uc = vantro::unicode;

TEST(UnicodeMark, CategoryM) {
    struct Case { char32_t c; bool mark; };
    const Case cases[] = {
        {U'a', false},     {0x02C8, false},  // stress mark is a modifier letter
        {0x02D0, false},   {0x0300, true},   {0x0303, true},   {0x0361, true},
        {0x0903, true},    // Mc
        {0x20DD, true},    // Me
        {0xD800, false},   {0xDFFF, false},  // lone surrogates
        {0xE0100, true},   {0x10FFFF, false}, {0x110000, false},
    };
    for (const auto& [c, mark] : cases) EXPECT_EQ(uc::is_mark(c), mark) << std::hex << unsigned(c);
}

TEST(UnicodeSpace, MatchesIsspace) {
    struct Case { char32_t c; bool space; };
    const Case cases[] = {
        {U' ', true},    {U'\t', true},   {U'\n', true},   {0x0B, true},    {0x1C, true},
        {0x1F, true},    {0x85, true},    {0xA0, true},    {0x1680, true},  {0x2028, true},
        {0x202F, true},  {0x3000, true},  {0x180E, false}, {0x200B, false}, {0xFEFF, false},
        {U'a', false},   {0x08, false},
    };
    for (const auto& [c, space] : cases) EXPECT_EQ(uc::is_space(c), space) << std::hex << unsigned(c);
}

TEST(UnicodeSpace, Strip) {
    EXPECT_EQ(uc::strip(U" \t\u00A0ab c\u3000\n"), U"ab c");
    EXPECT_EQ(uc::strip(U"\u200Bx\u200B"), U"\u200Bx\u200B");
    EXPECT_EQ(uc::strip(U" \n "), U"");
    EXPECT_EQ(uc::strip(U""), U"");
}

TEST(UnicodeCase, Lower) {
    struct Case { const char32_t* in; const char32_t* out; };
    const Case cases[] = {
        {U"ABCxyz", U"abcxyz"},
        {U"ÀÉÎÕÜ×Þß", U"àéîõü×þß"},
        {U"İSTANBUL", U"i\u0307stanbul"},  // one code point becomes two
        {U"ǅ", U"ǆ"},
        // final sigma: a cased letter before, none after, case-ignorables skipped
        {U"ΟΔΟΣ", U"οδος"},
        {U"Σ", U"σ"},
        {U"ΣΣ", U"σς"},
        {U"ΑΣΑ", U"ασα"},
        {U"ΑΣ'", U"ας'"},
        {U"Α'Σ", U"α'ς"},
        {U"ΑΣ1", U"ας1"},
        {U"1Σ", U"1σ"},
        {U"ΑΣ\u0301Β", U"ασ\u0301β"},
        {U"ΑΣ ΒΣ", U"ας βς"},
        {U"\u0345Σ", U"\u0345σ"},
        {U"A\u0345Σ", U"a\u0345ς"},
    };
    for (const auto& [in, out] : cases) EXPECT_EQ(uc::to_lower(in), Text(out)) << vantro::to_utf8(in);
}

TEST(UnicodeCase, LowerChar) {
    EXPECT_EQ(uc::lower_char(U'Σ'), U"σ");
    EXPECT_EQ(uc::lower_char(U'İ'), U"i\u0307");
    EXPECT_EQ(uc::lower_char(U'É'), U"é");
    EXPECT_EQ(uc::lower_char(0x110000), Text(1, 0x110000));
    EXPECT_EQ(uc::to_lower(Text{0xD800, U'A'}), (Text{0xD800, U'a'}));
}

TEST(UnicodeCase, Upper) {
    struct Case { const char32_t* in; const char32_t* out; };
    const Case cases[] = {
        {U"straße", U"STRASSE"}, {U"ŉ", U"ʼN"},  {U"ﬃ", U"FFI"},        {U"µ", U"Μ"},
        {U"ÿé", U"ŸÉ"},          {U"ǅ", U"Ǆ"},   {U"ΐ", U"\u0399\u0308\u0301"}, {U"\u0345", U"Ι"},
    };
    for (const auto& [in, out] : cases) EXPECT_EQ(uc::to_upper(in), Text(out)) << vantro::to_utf8(in);
}

}  // namespace
