// The table-driven classifier must answer exactly what the sets answer.
#include <gtest/gtest.h>

#include "phonology/classifier.hpp"
#include "phonology/constituents.hpp"
#include "phonology/sonority.hpp"
#include "phonology/tokens.hpp"
#include "results/syllable_builder.hpp"

namespace {

using namespace vantro;

// Sets with entries the table holds (one code point below U+0300) and
// entries it cannot (a vowel with its tilde, a compound, a code point above
// the table, the empty text), some in several sets at once.
struct Fixture {
    SonorityClasses classes;
    PhonemeSets sets;
    Fixture() {
        sets.voyelles = {U"a", U"i", U"ɔ", U"ə", U"\u0303", U"ɑ\u0303x"};
        sets.consonnes = {U"p", U"t", U"s", U"ʁ", U"l", U"m"};
        sets.semi_voyelles = {U"j", U"w", U"ɥ", U"\u1D2C"};
        classes.V = {U"a", U"i", U"ɔ", U"ə", U"ø", U"ɑ\u0303"};
        classes.Y = {U"j", U"w"};
        classes.L = {U"ʁ", U"l", U"s", U""};
        classes.N = {U"m", U"n", U"\u1D2C"};
        classes.O = {U"p", U"t", U"s", U"tʃ", U"ɡz"};
    }
};

const Fixture kFix;

// Single code points of every kind, the tokens of the sets, and tokens made
// of a base and marks.
std::vector<Text> probe_tokens() {
    std::vector<Text> out = {U"", U"ɑ\u0303", U"ɔ\u0303", U"a\u0303", U"ɑ\u0303x", U"tʃ", U"ɡz", U"aa", U"\u1D2C"};
    for (char32_t c = 0; c < 0x320; ++c) out.emplace_back(1, c);
    for (char32_t c : {U'\u1D2C', U'\u20AC', U'\U0001F600'}) out.emplace_back(1, c);
    return out;
}

TEST(PhonemeClassifier, AnswersAsTheSets) {
    const PhonemeClassifier c(kFix.classes, kFix.sets);
    const std::pair<char, const TextSet*> sets[] = {{'O', &kFix.classes.O}, {'N', &kFix.classes.N},
                                                    {'L', &kFix.classes.L}, {'Y', &kFix.classes.Y},
                                                    {'V', &kFix.classes.V}};
    for (const Text& t : probe_tokens()) {
        EXPECT_EQ(c.est_voyelle(t), est_voyelle(kFix.sets, t)) << to_utf8(t);
        EXPECT_EQ(c.class_of(t), class_of(t, kFix.classes, kFix.sets)) << to_utf8(t);
        for (const auto& [cls, set] : sets) EXPECT_EQ(c.in_class(cls, t), contains(*set, t)) << cls << to_utf8(t);
    }
}

TEST(PhonemeClassifier, SyllabifiesAndBuildsAsTheSets) {
    const PhonemeClassifier c(kFix.classes, kFix.sets);
    const Text phones[] = {U"paʁti", U"apʁa", U"istʁa", U"ɑ\u0303ftɑ\u0303", U"ajø",
                           U"ptk",   U"",     U"atʃa",  U"\u0303a\u0303",   U"lsmatɡzi"};
    for (const Text& phone : phones) {
        std::vector<Text> by_sets, by_table;
        syllabify_ipa(by_sets, phone, kFix.classes, kFix.sets);
        syllabify_ipa(by_table, phone, c);
        EXPECT_EQ(by_table, by_sets) << to_utf8(phone);
        EXPECT_EQ(decouper_syllabe_views(phone, c), decouper_syllabe_views(phone, kFix.sets)) << to_utf8(phone);

        // Without an alignment the builder reads the classes alone.
        std::vector<SyllabeRec> a, b;
        build_syllabes(a, by_sets, {}, {}, {}, 0, false, kFix.sets);
        build_syllabes(b, by_sets, {}, {}, {}, 0, false, c);
        ASSERT_EQ(a.size(), b.size());
        for (std::size_t i = 0; i < a.size(); ++i) {
            EXPECT_EQ(a[i].phone, b[i].phone);
            EXPECT_EQ(a[i].attaque.size(), b[i].attaque.size());
            EXPECT_EQ(a[i].noyau.size(), b[i].noyau.size());
            EXPECT_EQ(a[i].coda.size(), b[i].coda.size());
        }
    }
}

// The builder that fills a vector reuses its syllables: a long word after a
// short one and back must leave no trace of the other.
TEST(BuildSyllabesInto, ReusedOutputEqualsAFreshOne) {
    const std::vector<Text> long_phone = {U"ʃɔ", U"kɔ", U"la"};
    const std::vector<Text> ph = {U"ʃ", U"ɔ", U"k", U"ɔ", U"l", U"a"};
    const std::vector<Text> gr = {U"ch", U"o", U"c", U"o", U"l", U"at°"};
    const std::vector<Span> spans = {{0, 2}, {2, 3}, {3, 4}, {4, 5}, {5, 6}, {6, 8}};
    std::vector<SyllabeRec> out;
    for (int round = 0; round < 2; ++round) {
        build_syllabes(out, long_phone, ph, gr, spans, 0, true, kFix.sets);
        const auto fresh = build_syllabes(long_phone, ph, gr, spans, 0, true, kFix.sets);
        ASSERT_EQ(out.size(), fresh.size());
        for (std::size_t i = 0; i < out.size(); ++i) {
            EXPECT_EQ(out[i].ortho, fresh[i].ortho);
            EXPECT_EQ(out[i].span, fresh[i].span);
            EXPECT_EQ(out[i].attaque.size(), fresh[i].attaque.size());
            EXPECT_EQ(out[i].coda.size(), fresh[i].coda.size());
        }
        build_syllabes(out, {U"a"}, {U"a"}, {U"a"}, {{0, 1}}, 0, true, kFix.sets);
        ASSERT_EQ(out.size(), 1u);
        EXPECT_EQ(out[0].ortho, U"a");
        EXPECT_TRUE(out[0].attaque.empty() && out[0].coda.empty());
    }
}

}  // namespace

namespace vantro {
namespace {

// The tokens noted while `f` runs with a log open.
template <class F>
TextSet noted_while(F f) {
    ClassifierQueries log;
    {
        const ClassifierQueryScope scope(log);
        f();
    }
    TextSet out;
    log.for_each([&](TextView t, std::uint8_t) { out.emplace(t); });
    return out;
}

// `set` as it could be after a change that touches no noted token: every
// entry not noted is dropped, and tokens not noted are added.
TextSet changed_elsewhere(const TextSet& set, const TextSet& noted, std::size_t salt) {
    TextSet out;
    for (const Text& e : set)
        if (noted.contains(e)) out.insert(e);
    for (char32_t c = 0; c < 0x320; ++c) {
        const Text t(1, c);
        if (!noted.contains(t) && (c + salt) % 3 == 0) out.insert(t);
    }
    for (const Text& t : {Text(U"ɑ\u0303x"), Text(U"tʃ"), Text(U"e\u0303")})
        if (!noted.contains(t)) out.insert(t);
    return out;
}

std::vector<Text> constituents(TextView syllable, const PhonemeClassifier& c) {
    const auto parts = decouper_syllabe_views(syllable, c);
    if (!parts) return {U"-"};
    return {Text((*parts)[0]), Text((*parts)[1]), Text((*parts)[2])};
}

// What the log is for: an analysis whose noted tokens all get the same
// answers from other sets is the same analysis with those sets.
TEST(ClassifierQueries, AnAnalysisDependsOnlyOnTheTokensNoted) {
    const PhonemeClassifier c(kFix.classes, kFix.sets);
    const Text phones[] = {U"paʁti", U"apʁa", U"istʁa", U"ɑ\u0303ftɑ\u0303", U"ajø", U"ptk",
                           U"",      U"atʃa", U"\u0303a\u0303", U"lsmatɡzi", U"e\u0303ʁje"};
    for (const Text& phone : phones) {
        std::vector<Text> first;
        std::vector<std::vector<Text>> parts;
        const TextSet noted = noted_while([&] {
            syllabify_ipa(first, phone, c);
            for (const Text& s : first) parts.push_back(constituents(s, c));
        });
        SonorityClasses classes;
        PhonemeSets sets;
        TextSet* out[] = {&classes.O, &classes.N, &classes.L, &classes.Y, &classes.V, &sets.voyelles, &sets.semi_voyelles};
        const TextSet* in[] = {&kFix.classes.O, &kFix.classes.N, &kFix.classes.L, &kFix.classes.Y,
                               &kFix.classes.V, &kFix.sets.voyelles, &kFix.sets.semi_voyelles};
        for (std::size_t k = 0; k < 7; ++k) *out[k] = changed_elsewhere(*in[k], noted, k);
        const PhonemeClassifier other(classes, sets);
        std::vector<Text> again;
        syllabify_ipa(again, phone, other);
        EXPECT_EQ(again, first) << to_utf8(phone);
        for (std::size_t i = 0; i < first.size(); ++i) EXPECT_EQ(constituents(first[i], other), parts[i]) << to_utf8(phone);
    }
}

// The same with sets that differ on the noted tokens themselves, as long as
// every question asked gets the same answer: random changes of membership,
// kept when they leave every noted answer as it was.
TEST(ClassifierQueries, AnAnalysisDependsOnlyOnTheAnswersNoted) {
    const PhonemeClassifier c(kFix.classes, kFix.sets);
    const Text phones[] = {U"paʁti", U"apʁa", U"istʁa", U"ɑ\u0303ftɑ\u0303", U"ajø", U"atʃa", U"lsmatɡzi"};
    const Text pool[] = {U"a", U"i", U"ɔ", U"ɑ", U"p", U"t", U"s", U"ʁ", U"l", U"m", U"j", U"ø", U"ɑ\u0303", U"tʃ"};
    std::uint32_t seed = 12345;
    auto next = [&] { return seed = seed * 1664525u + 1013904223u; };
    int kept_with_a_noted_token_changed = 0;
    for (const Text& phone : phones) {
        ClassifierQueries log;
        std::vector<Text> first;
        std::vector<std::vector<Text>> parts;
        {
            const ClassifierQueryScope scope(log);
            syllabify_ipa(first, phone, c);
            for (const Text& s : first) parts.push_back(constituents(s, c));
        }
        // Every noted question, answered by a classifier.
        auto answers = [&](const PhonemeClassifier& k) {
            std::vector<int> out;
            log.for_each([&](TextView t, std::uint8_t asked) {
                if (asked & ClassifierQueries::kEstVoyelle) out.push_back(k.est_voyelle(t));
                if (asked & ClassifierQueries::kClassOf) out.push_back(k.class_of(t));
                for (int b = 0; b < 5; ++b)
                    if (asked & (ClassifierQueries::kInO << b)) out.push_back(k.in_class("ONLYV"[b], t));
            });
            return out;
        };
        const std::vector<int> noted = answers(c);
        for (int trial = 0; trial < 300; ++trial) {
            SonorityClasses classes = kFix.classes;
            PhonemeSets sets = kFix.sets;
            TextSet* all[] = {&classes.O, &classes.N, &classes.L, &classes.Y, &classes.V, &sets.voyelles,
                              &sets.semi_voyelles};
            bool noted_token_changed = false;
            for (int flips = 1 + next() % 3; flips > 0; --flips) {
                TextSet& set = *all[next() % 7];
                const Text& t = pool[next() % std::size(pool)];
                if (!set.erase(t)) set.insert(t);
                log.for_each([&](TextView n, std::uint8_t) { noted_token_changed |= n == t; });
            }
            const PhonemeClassifier other(classes, sets);
            if (answers(other) != noted) continue;
            kept_with_a_noted_token_changed += noted_token_changed;
            std::vector<Text> again;
            syllabify_ipa(again, phone, other);
            ASSERT_EQ(again, first) << to_utf8(phone);
            for (std::size_t i = 0; i < first.size(); ++i) EXPECT_EQ(constituents(first[i], other), parts[i]);
        }
    }
    EXPECT_GT(kept_with_a_noted_token_changed, 20);
}

TEST(ClassifierQueries, AnInnerScopeHidesTheOuterOne) {
    const PhonemeClassifier c(kFix.classes, kFix.sets);
    TextSet inner;
    const TextSet outer = noted_while([&] {
        c.est_voyelle(U"a");
        inner = noted_while([&] { c.class_of(U"ɑ\u0303x"); });
        c.in_class('L', U"ʁ");
    });
    EXPECT_EQ(outer, (TextSet{U"a", U"ʁ"}));
    EXPECT_EQ(inner, (TextSet{U"ɑ\u0303x"}));
    EXPECT_EQ(t_classifier_queries, nullptr);
}

}  // namespace
}  // namespace vantro
