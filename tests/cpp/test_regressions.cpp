// Inputs that the fuzzers and the sanitizer build found faults with, kept so
// that the faults stay fixed. Each test is named after what went wrong.

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <stdexcept>

#include "alignment/assembly.hpp"
#include "groups/group_alignment_text.hpp"
#include "results/syllable_builder.hpp"

namespace vantro {
namespace {

constexpr std::int64_t MAX = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t MIN = std::numeric_limits<std::int64_t>::min();

PhonemeSets sets() {
    PhonemeSets s;
    for (const char32_t* v : {U"a", U"i", U"ɛ"}) s.voyelles.insert(v);
    for (const char32_t* c : {U"b", U"p", U"t", U"k", U"s"}) s.consonnes.insert(c);
    s.semi_voyelles.insert(U"j");
    return s;
}

// fuzz_syllabify: "bjɛ̃" with the word offset 2^63 - 1 made the syllable
// span wrap around (signed overflow) instead of being refused.
TEST(Regressions, SyllableSpanMovedBeyond64BitsIsRefused) {
    const std::vector<Text> syll = {U"bjɛ̃"};
    const std::vector<Text> ph = {U"b", U"j", U"ɛ̃"};
    const std::vector<Text> gr = {U"b", U"i", U"en"};
    const std::vector<Span> spans = {{0, 1}, {1, 2}, {2, 4}};
    EXPECT_THROW(build_syllabes(syll, ph, gr, spans, MAX, true, sets()), std::overflow_error);
    EXPECT_THROW(build_syllabes(syll, ph, gr, {{MIN, 1}, {1, 2}, {2, 4}}, -1, true, sets()), std::overflow_error);
    // The largest offset that still fits is taken as it is.
    const auto fits = build_syllabes(syll, ph, gr, spans, MAX - 4, true, sets());
    ASSERT_EQ(fits.size(), 1u);
    EXPECT_EQ(fits[0].span, (Span{MAX - 4, MAX}));
    // Without an alignment the span is (0, 0) and no offset is added.
    EXPECT_EQ(build_syllabes(syll, {}, {}, {}, MAX, false, sets())[0].span, (Span{0, 0}));
}

// Splitting a compound entry whose span starts at the top of the range.
TEST(Regressions, CompoundSplitBeyond64BitsIsRefused) {
    EXPECT_THROW(phonemise_alignment({U"ks"}, {U"x"}, {{MAX, MAX}}), std::overflow_error);
    EXPECT_THROW(phonemise_alignment({U"wa"}, {U"oi"}, {{MAX - 1, MAX}}), std::overflow_error);
    const Alignment fits = phonemise_alignment({U"wa"}, {U"oi"}, {{MAX - 2, MAX}});
    EXPECT_EQ(fits.dec_spans, (std::vector<Span>{{MAX - 2, MAX - 1}, {MAX - 1, MAX}}));
}

// A group's word placed at the top of the range: its letters' positions,
// and the position after its last letter, do not fit.
TEST(Regressions, GroupPositionsBeyond64BitsAreRefused) {
    EXPECT_THROW(build_group_alignment_text({{U"les", 0}, {U"amis", MAX - 1}}), std::overflow_error);
    const GroupAlignmentText top = build_group_alignment_text({{U"a", 0}, {U"b", MAX}});
    EXPECT_THROW(map_group_span({0, 2}, top.char_map), std::overflow_error);
    EXPECT_THROW(map_group_span({2, 2}, top.char_map), std::overflow_error);
    EXPECT_EQ(map_group_span({0, 1}, top.char_map), (Span{0, 1}));
}

// fuzz_search: the word boundary -2^63 made "boundary - 1" wrap around.
TEST(Regressions, WordBoundaryAtTheBottomOfTheRangeMarksNothing) {
    const CompiledTable table(PhoneTable{{{U"p", {U"p"}}, {U"a", {U"a"}}}});
    const TextSet silent = {U"s", U"e"};
    for (const std::vector<std::int64_t>& bounds :
         {std::vector<std::int64_t>{MIN}, {MIN + 1, -1, 0}, {MAX}, {MIN, MAX, 3}}) {
        const Alignment a = aligner(U"pas", U"pa", table, silent, &bounds);
        EXPECT_TRUE(a.ok);
        EXPECT_EQ(a.dec_gr, (std::vector<Text>{U"p", U"as°"}));
    }
}

}  // namespace
}  // namespace vantro
