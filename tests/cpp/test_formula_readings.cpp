#include <gtest/gtest.h>

#include "groups/formula_readings.hpp"

namespace vantro {
namespace {

FormulaReading reading(std::vector<std::pair<const char32_t*, Span>> steps) {
    FormulaReading r{U"lecture", {}};
    for (const auto& [ortho, span] : steps) r.events.push_back(FormulaStep{ortho, Text(ortho) + U"_ipa", span, {}});
    return r;
}

TEST(FormulaReadings, ValidationStopsAtTheFirstStepThatStartsAfterItsEnd) {
    struct Case {
        FormulaReading lecture;
        const char* error;  // nullptr: valid
    };
    const Case cases[] = {
        {reading({}), nullptr},
        {reading({{U"3", {3, 3}}}), nullptr},
        {reading({{U"a", {0, 4}}, {U"b", {2, 6}}, {U"c", {1, 2}}}), nullptr},  // overlapping, any order
        {reading({{U"a", {0, 1}}, {U"x", {5, 3}}, {U"y", {9, 1}}}),
         "EventFormule #1 ('x') : span_source incohérent (5, 3) — start > end"},
        {reading({{U"l'x", {-1, -2}}}), "EventFormule #0 (\"l'x\") : span_source incohérent (-1, -2) — start > end"},
    };
    for (const Case& c : cases) {
        if (!c.error) {
            EXPECT_NO_THROW(valider_spans_formule(c.lecture));
            continue;
        }
        try {
            valider_spans_formule(c.lecture);
            ADD_FAILURE() << "accepted: " << c.error;
        } catch (const IncoherentFormulaSpan& e) {
            EXPECT_STREQ(e.what(), c.error);
            EXPECT_EQ(to_utf8(e.message()), c.error);
        }
    }
}

TEST(FormulaReadings, QuotedAsTheHostQuotesPrintableText) {
    const std::pair<const char32_t*, const char*> cases[] = {
        {U"x", "'x'"},          {U"l'x", "\"l'x\""},       {U"a'b\"c", "'a\\'b\"c'"},
        {U"\\", "'\\\\'"},      {U"t\tn\nr\r", "'t\\tn\\nr\\r'"}, {U"\x01\x7f", "'\\x01\\x7f'"},
        {U"élan", "'élan'"},
    };
    for (const auto& [text, quoted_text] : cases) EXPECT_EQ(to_utf8(quoted(text)), quoted_text);
}

TEST(FormulaReadings, OneSyllablePerStepWithTheWholePhoneAsNucleus) {
    const FormulaReading r = reading({{U"12", {3, 5}}, {U"+", {5, 6}}});
    const std::vector<SyllabeRec> syllabes = syllabes_depuis_lecture(r);
    ASSERT_EQ(syllabes.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        const SyllabeRec& s = syllabes[i];
        const FormulaStep& step = r.events[i];
        EXPECT_EQ(s.phone, step.phone);
        EXPECT_EQ(s.ortho, step.ortho);
        EXPECT_EQ(s.span, step.span_source);
        EXPECT_TRUE(s.attaque.empty() && s.coda.empty());
        ASSERT_EQ(s.noyau.size(), 1u);
        EXPECT_EQ(s.noyau[0].ipa, step.phone);
        EXPECT_EQ(s.noyau[0].grapheme, U"");
    }
    EXPECT_TRUE(syllabes_depuis_lecture(reading({})).empty());
}

}  // namespace
}  // namespace vantro
