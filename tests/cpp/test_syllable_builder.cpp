#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fixtures.hpp"
#include "results/syllable_builder.hpp"

namespace vantro {
namespace {

using testing::french_sets;
using testing::texts;

std::string describe_group(const std::vector<PhonemeRec>& group) {
    std::string out = "[";
    for (std::size_t i = 0; i < group.size(); ++i) {
        if (i) out += ' ';
        out += to_utf8(group[i].ipa) + "=" + to_utf8(group[i].grapheme);
    }
    return out + "]";
}

// "ortho" (start,end) [onset] [nucleus] [coda], each phoneme as ipa=grapheme.
std::string describe(const SyllabeRec& s) {
    return "\"" + to_utf8(s.ortho) + "\" (" + std::to_string(s.span.start) + "," + std::to_string(s.span.end) + ") " +
           describe_group(s.attaque) + " " + describe_group(s.noyau) + " " + describe_group(s.coda);
}

struct BuildCase {
    const char* name;
    std::vector<Text> syll_phones;
    std::vector<Text> dec_ph;
    std::vector<Text> dec_gr;
    std::vector<Span> dec_spans;
    std::int64_t word_offset;
    bool alignment_ok;
    std::vector<std::string> expected;
};

const std::vector<Text> CHOCOLAT_SYLL = texts({"ʃɔ", "kɔ", "la"});
const std::vector<Text> CHOCOLAT_PH = texts({"ʃ", "ɔ", "k", "ɔ", "l", "a"});
const std::vector<Text> CHOCOLAT_GR = texts({"ch", "o", "c", "o", "l", "at"});
const std::vector<Span> CHOCOLAT_SPANS = {{0, 2}, {2, 3}, {3, 4}, {4, 5}, {5, 6}, {6, 8}};

std::vector<BuildCase> build_cases() {
    return {
        {"chocolat", CHOCOLAT_SYLL, CHOCOLAT_PH, CHOCOLAT_GR, CHOCOLAT_SPANS, 0, true,
         {R"~("cho" (0,3) [ʃ=ch] [ɔ=o] [])~", R"~("co" (3,5) [k=c] [ɔ=o] [])~", R"~("lat" (5,8) [l=l] [a=at] [])~"}},
        {"chocolat shifted by the word offset", CHOCOLAT_SYLL, CHOCOLAT_PH, CHOCOLAT_GR, CHOCOLAT_SPANS, 10, true,
         {R"~("cho" (10,13) [ʃ=ch] [ɔ=o] [])~", R"~("co" (13,15) [k=c] [ɔ=o] [])~",
          R"~("lat" (15,18) [l=l] [a=at] [])~"}},
        {"failed alignment keeps the constituents, no letters, no offset", CHOCOLAT_SYLL, {}, {}, {}, 10, false,
         {R"~("" (0,0) [ʃ=] [ɔ=] [])~", R"~("" (0,0) [k=] [ɔ=] [])~", R"~("" (0,0) [l=] [a=] [])~"}},
        {"entries given with a failed flag are not used", CHOCOLAT_SYLL, CHOCOLAT_PH, CHOCOLAT_GR, CHOCOLAT_SPANS, 0,
         false, {R"~("" (0,0) [ʃ=] [ɔ=] [])~", R"~("" (0,0) [k=] [ɔ=] [])~", R"~("" (0,0) [l=] [a=] [])~"}},
        {"an empty alignment counts as no alignment", texts({"pst", "ɑ̃"}), {}, {}, {}, 3, true,
         {R"~("" (0,0) [p= s= t=] [] [])~", R"~("" (0,0) [] [ɑ̃=] [])~"}},
        {"shared x: previous ends in (x), bridge inside its span", texts({"tak", "si"}),
         texts({"t", "a", "k", "s", "i"}), texts({"t", "a", "x", "x²", "i"}), {{0, 1}, {1, 2}, {2, 3}, {2, 3}, {3, 4}},
         0, true, {R"~("ta(x)" (0,3) [t=t] [a=a] [k=x])~", R"~("xi" (2,4) [s=x] [i=i] [])~"}},
        {"bridge letter appended and previous span stretched", texts({"ba", "la"}), texts({"b", "a", "l", "a"}),
         texts({"b", "a", "l²", "a"}), {{0, 1}, {1, 2}, {2, 3}, {3, 4}}, 0, true,
         {R"~("ba(l)" (0,3) [b=b] [a=a] [])~", R"~("la" (2,4) [l=l] [a=a] [])~"}},
        {"bridge span is shifted by the offset", texts({"ba", "la"}), texts({"b", "a", "l", "a"}),
         texts({"b", "a", "l²", "a"}), {{0, 1}, {1, 2}, {2, 3}, {3, 4}}, 7, true,
         {R"~("ba(l)" (7,10) [b=b] [a=a] [])~", R"~("la" (9,11) [l=l] [a=a] [])~"}},
        {"silent mark stays in ortho, not in the bridge letter", texts({"ba", "la"}), texts({"b", "a", "l", "a"}),
         texts({"b", "a", "l°²", "a"}), {{0, 1}, {1, 2}, {2, 3}, {3, 4}}, 0, true,
         {R"~("ba(l)" (0,3) [b=b] [a=a] [])~", R"~("l°a" (2,4) [l=l] [a=a] [])~"}},
        {"lone ² at a syllable start doubles the previous syllable", texts({"tak", "si"}),
         texts({"t", "a", "k", "s", "i"}), texts({"t", "a", "x", "²", "i"}), {{0, 1}, {1, 2}, {2, 3}, {3, 3}, {3, 4}},
         0, true, {R"~("tax²" (0,3) [t=t] [a=a] [k=x])~", R"~("i" (3,4) [s=] [i=i] [])~"}},
        {"shared letter in the first syllable edits nothing", texts({"ksa"}), texts({"k", "s", "a"}),
         texts({"x²", "²", "a"}), {{0, 1}, {1, 1}, {1, 2}}, 0, true, {R"~("x²a" (0,2) [k=x s=] [a=a] [])~"}},
        {"lone ² mid-syllable marks the part before", texts({"tas"}), texts({"t", "a", "s"}), texts({"t", "a", "²"}),
         {{0, 1}, {1, 2}, {2, 2}}, 0, true, {R"~("ta²" (0,2) [t=t] [a=a] [s=])~"}},
        {"lone ² skips parts without a letter", texts({"tas"}), texts({"t", "a", "s"}), texts({"t", "°", "²"}),
         {{0, 1}, {1, 1}, {1, 1}}, 0, true, {R"~("t²°" (0,1) [t=t] [a=] [s=])~"}},
        {"lone ² with no lettered part before marks nothing", texts({"as"}), texts({"a", "s"}), texts({"", "²"}),
         {{0, 0}, {0, 0}}, 4, true, {R"~("" (4,4) [] [a=] [s=])~"}},
        {"shared letters mid-syllable keep their marker in ortho", texts({"aks"}), texts({"a", "k", "s"}),
         texts({"a", "x", "x²"}), {{0, 1}, {1, 2}, {1, 2}}, 0, true, {R"~("axx²" (0,2) [] [a=a] [k=x s=x])~"}},
        {"markers are kept in ortho and dropped from graphemes", texts({"ɔm"}), texts({"ɔ", "m"}),
         texts({"h°o", "mme°"}), {{0, 2}, {2, 5}}, 0, true, {R"~("h°omme°" (0,5) [] [ɔ=ho] [m=mme])~"}},
        {"entries run out: later syllables get no letters, span at the offset", texts({"pa", "ta"}),
         texts({"p", "a"}), texts({"p", "a"}), {{0, 1}, {1, 2}}, 5, true,
         {R"~("pa" (5,7) [p=p] [a=a] [])~", R"~("" (5,5) [t=] [a=] [])~"}},
        {"cursor runs across syllables; leftover entries are ignored", texts({"pa", "ta"}),
         texts({"p", "a", "t", "a", "s"}), texts({"p", "a", "t", "as", "x"}), {{0, 1}, {1, 2}, {2, 3}, {3, 5}, {5, 6}},
         0, true, {R"~("pa" (0,2) [p=p] [a=a] [])~", R"~("tas" (2,5) [t=t] [a=as] [])~"}},
        {"only empty spans give the offset as span", texts({"pa"}), texts({"p", "a"}), texts({"", ""}),
         {{2, 2}, {2, 2}}, 5, true, {R"~("" (5,5) [p=] [a=] [])~"}},
        {"no nucleus: every phoneme with its grapheme goes to the onset", texts({"pst"}), texts({"p", "s", "t"}),
         texts({"p", "s°", "t²"}), {{0, 1}, {1, 3}, {3, 4}}, 0, true, {R"~("ps°t²" (0,4) [p=p s=s t=t] [] [])~"}},
        {"nasal nucleus is one phoneme", texts({"bjɛ̃"}), texts({"b", "j", "ɛ̃"}), texts({"b", "i", "en"}),
         {{0, 1}, {1, 2}, {2, 4}}, 0, true, {R"~("bien" (0,4) [b=b j=i] [ɛ̃=en] [])~"}},
    };
}

TEST(BuildSyllabes, Cases) {
    const PhonemeSets sets = french_sets();
    for (const BuildCase& c : build_cases()) {
        SCOPED_TRACE(c.name);
        const auto result =
            build_syllabes(c.syll_phones, c.dec_ph, c.dec_gr, c.dec_spans, c.word_offset, c.alignment_ok, sets);
        std::vector<std::string> got;
        for (const SyllabeRec& s : result) got.push_back(describe(s));
        EXPECT_EQ(got, c.expected);
        ASSERT_EQ(result.size(), c.syll_phones.size());
        for (std::size_t i = 0; i < result.size(); ++i) EXPECT_EQ(result[i].phone, c.syll_phones[i]);
    }
}

// One vector filled case after case (forwards, then backwards, so that each
// case follows both longer and shorter ones) must read as a fresh result:
// phonemes, letters and spans left by an earlier word never show through.
TEST(BuildSyllabes, ReusedVectorReadsAsAFreshOne) {
    const PhonemeSets sets = french_sets();
    std::vector<BuildCase> cases = build_cases();
    std::vector<BuildCase> order = cases;
    order.insert(order.end(), cases.rbegin(), cases.rend());
    std::vector<SyllabeRec> out;
    for (const BuildCase& c : order) {
        SCOPED_TRACE(c.name);
        build_syllabes(out, c.syll_phones, c.dec_ph, c.dec_gr, c.dec_spans, c.word_offset, c.alignment_ok, sets);
        std::vector<std::string> got;
        for (const SyllabeRec& syl : out) got.push_back(describe(syl));
        EXPECT_EQ(got, c.expected);
        ASSERT_EQ(out.size(), c.syll_phones.size());
        for (std::size_t i = 0; i < out.size(); ++i) EXPECT_EQ(out[i].phone, c.syll_phones[i]);
    }
}

TEST(BuildSyllabes, NoSyllablesGivesNothing) {
    EXPECT_TRUE(build_syllabes({}, CHOCOLAT_PH, CHOCOLAT_GR, CHOCOLAT_SPANS, 0, true, french_sets()).empty());
}

TEST(BuildSyllabes, ShortGraphemeListIsRejected) {
    EXPECT_THROW(build_syllabes(CHOCOLAT_SYLL, CHOCOLAT_PH, texts({"ch", "o"}), CHOCOLAT_SPANS, 0, true, french_sets()),
                 std::out_of_range);
}

}  // namespace
}  // namespace vantro
