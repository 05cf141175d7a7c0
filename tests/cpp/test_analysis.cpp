// Word analysis, stage E2 over the core's groups, the words of a text and the
// readings of a sentence: the orchestration the facade runs.
#include <gtest/gtest.h>

#include "fixtures.hpp"
#include "frontend/complete_analysis.hpp"
#include "frontend/phonemizer_rules.hpp"
#include "frontend/text_words.hpp"
#include "frontend/word_analysis.hpp"
#include "groups/group_syllabifier.hpp"
#include "phonology/classifier.hpp"

namespace vantro {
namespace {

using testing::describe_syllables;
using testing::small_data;

LinguisticContext context() {
    const auto& d = small_data();
    return LinguisticContext{d.sets, d.sonority, d.table, d.silent_letters};
}

std::string describe_alignment(const Alignment& a) {
    std::string out = a.ok ? "ok" : "failed";
    for (std::size_t i = 0; i < a.dec_ph.size(); ++i)
        out += " " + to_utf8(a.dec_ph[i]) + "=" + to_utf8(a.dec_gr[i]) + "(" + std::to_string(a.dec_spans[i].start) +
               "," + std::to_string(a.dec_spans[i].end) + ")";
    return out;
}

TEST(WordAnalysis, SyllablesAndTheAlignmentBehindThem) {
    const auto& d = small_data();
    const PhonemeClassifier classes(d.sonority, d.sets);
    const Analysis a = analyze_word(U"chocolat", U"ʃɔkɔla", classes, d.table, d.silent_letters);
    EXPECT_EQ(describe_syllables(a.syllabes), R"~(ʃɔ "cho" (0,3) | kɔ "co" (3,5) | la "lat°" (5,8))~");
    EXPECT_EQ(describe_alignment(a.alignment), "ok ʃ=ch(0,2) ɔ=o(2,3) k=c(3,4) ɔ=o(4,5) l=l(5,6) a=at°(6,8)");
    // The same as the group path for one word at offset 0.
    EXPECT_EQ(describe_syllables(a.syllabes), describe_syllables(syllabifier_groupe(U"ʃɔkɔla", {{U"chocolat", 0}},
                                                                                     context())));
    const Analysis failed = analyze_word(U"xyz", U"ʃɔ", classes, d.table, d.silent_letters);
    EXPECT_EQ(describe_syllables(failed.syllabes), R"~(ʃɔ "" (0,0))~");
    EXPECT_EQ(describe_alignment(failed.alignment), "failed");
}

TEST(GroupAnalysis, AlignmentSpansAreInTheCallersText) {
    const Analysis one = analyse_groupe(U"ʃɔkɔla", {{U"chocolat", 10}}, context());
    EXPECT_EQ(describe_alignment(one.alignment),
              "ok ʃ=ch(10,12) ɔ=o(12,13) k=c(13,14) ɔ=o(14,15) l=l(15,16) a=at°(16,18)");
    EXPECT_EQ(describe_syllables(one.syllabes), R"~(ʃɔ "cho" (10,13) | kɔ "co" (13,15) | la "lat°" (15,18))~");
    const Analysis two = analyse_groupe(U"leɑ̃fɑ̃", {{U"les", 0}, {U"enfants", 4}}, context());
    EXPECT_EQ(describe_alignment(two.alignment), "ok l=l(0,1) e=es(1,3) ɑ̃=en(4,6) f=f(6,7) ɑ̃=ant°s°(7,11)");
}

TEST(GroupAnalysis, TheSinkGetsWhatTheValuesHold) {
    const auto& d = small_data();
    const PhonemeClassifier classes(d.sonority, d.sets);
    const LinguisticContext with_tables{d.sets, d.sonority, d.table, d.silent_letters, &classes};
    const std::vector<std::pair<const char32_t*, std::vector<GroupWord>>> groups = {
        {U"ʃɔkɔla", {{U"chocolat", 10}}}, {U"lezɑ̃fɑ̃", {{U"les", 0}, {U"enfants", 4}}}, {U"ʃɔ", {{U"xyz", 3}}}};
    for (const auto& [phone, words] : groups) {
        for (const LinguisticContext& ctx : {context(), with_tables}) {
            std::vector<SyllabeRec> collected;
            SyllableCollector sink(collected);
            Alignment alignment;
            syllabifier_groupe(phone, words, ctx, sink, &alignment);
            const Analysis expected = analyse_groupe(phone, words, context());
            EXPECT_EQ(describe_syllables(collected), describe_syllables(expected.syllabes)) << to_utf8(phone);
            EXPECT_EQ(describe_alignment(alignment), describe_alignment(expected.alignment));
        }
    }
}

FormulaReading trois() { return FormulaReading{U"trois", {FormulaStep{U"3", U"tʁwa", {8, 9}, {}}}}; }

TEST(SyllabifierGroupes, EachGroupTakesItsSource) {
    std::vector<ReadingGroup> groupes(5);
    groupes[0] = {{{U"chocolat", 0}}, U"ʃɔkɔla", false, std::nullopt};
    groupes[1] = {{{U"2", 5}}, U"dø", true, FormulaReading{U"deux", {FormulaStep{U"2", U"dø", {5, 6}, {}}}}};
    groupes[2] = {{{U"3", 8}}, U"", true, std::nullopt};          // its reading comes by position
    groupes[3] = {{{U"x", 10}}, U"", true, std::nullopt};         // a formula without reading: words
    groupes[4] = {{{U"a", 12}}, U"a", false, std::nullopt};        // a position reading is ignored
    const std::map<std::size_t, FormulaReading> by_position = {{2, trois()}, {4, trois()}};
    const std::vector<Analysis> out = syllabifier_groupes(groupes, by_position, context());
    ASSERT_EQ(out.size(), 5u);
    EXPECT_EQ(describe_syllables(out[0].syllabes), R"~(ʃɔ "cho" (0,3) | kɔ "co" (3,5) | la "lat°" (5,8))~");
    EXPECT_EQ(describe_syllables(out[1].syllabes), R"~(dø "2" (5,6))~");
    EXPECT_EQ(describe_syllables(out[2].syllabes), R"~(tʁwa "3" (8,9))~");
    EXPECT_TRUE(groupes[2].lecture && groupes[2].lecture->display_fr == U"trois");
    EXPECT_TRUE(out[3].syllabes.empty() && !groupes[3].lecture);
    EXPECT_EQ(describe_syllables(out[4].syllabes), R"~(a "a" (12,13))~");
    EXPECT_FALSE(out[1].alignment.ok);
}

TEST(SyllabifierGroupes, ARejectedReadingIsNotStored) {
    std::vector<ReadingGroup> groupes(2);
    groupes[0] = {{}, U"", true, std::nullopt};
    groupes[1] = {{}, U"", true, std::nullopt};
    FormulaReading bad = trois();
    bad.events[0].span_source = {9, 8};
    EXPECT_THROW(syllabifier_groupes(groupes, {{0, trois()}, {1, bad}}, context()), IncoherentFormulaSpan);
    EXPECT_TRUE(groupes[0].lecture.has_value());
    EXPECT_FALSE(groupes[1].lecture.has_value());
}

TEST(CompleteAnalysis, ReadingsGoToTheGroupOfTheirWord) {
    using Map = std::map<std::size_t, std::size_t>;
    EXPECT_EQ(readings_by_group({2, 1}, {}), Map{});
    EXPECT_EQ(readings_by_group({2, 1}, {2}), (Map{{1, 2}}));
    EXPECT_EQ(readings_by_group({2, 1}, {0, 1}), (Map{{0, 1}}));  // the last word of the group wins
    EXPECT_EQ(readings_by_group({1, 1, 1}, {0, 2, 7}), (Map{{0, 0}, {2, 2}}));
    EXPECT_EQ(readings_by_group({0, 2}, {0}), (Map{{1, 0}}));  // words are counted, not groups
    EXPECT_EQ(sentence_text({U"Les", U"", U"", U"amis"}), U"Les   amis");
    EXPECT_EQ(sentence_text({U"", U""}), U" ");
    EXPECT_EQ(sentence_text({}), U"");
}

TEST(TextWords, AsTheExpressionFindsThem) {
    const std::pair<const char32_t*, std::vector<const char*>> cases[] = {
        {U"l'enfant", {"l'enfant"}},
        {U"l\u2019enfant l\u02BCami l\u2019", {"l\u2019enfant", "l\u02BCami", "l"}},  // typographic apostrophes join
        {U"un porte-manteau", {"un", "porte-manteau"}},
        {U"a-1 12 chats, 3!", {"a", "chats"}},
        {U"-x 'y mot--mot mot-", {"x", "y", "mot", "mot", "mot"}},
        {U"×÷ Ça l'œuf", {"×÷", "Ça", "l", "œuf"}},  // œ only starts a word
        {U"aujourd'hui-là ŁódźÀ", {"aujourd'hui-là", "ŁódźÀ"}},
        {U"a-bā-c", {"a-b", "ā-c"}},  // a piece stops at a letter beyond U+00FF
        {U"", {}},
    };
    for (const auto& [text, expected] : cases) {
        std::vector<std::string> got;
        for (const Span& s : find_words(text))
            got.push_back(to_utf8(TextView(text).substr(static_cast<std::size_t>(s.start),
                                                         static_cast<std::size_t>(s.end - s.start))));
        EXPECT_EQ(got, std::vector<std::string>(expected.begin(), expected.end())) << to_utf8(text);
    }
}

// An object as the facade asks about it; the questions asked are counted.
struct Given {
    bool none = false, usable = false, predict = false, phonemize = false;
    int asked = 0;
    bool is_none() { return ++asked, none; }
    bool phonemize_usable() { return ++asked, usable; }
    bool has_predict() { return ++asked, predict; }
    bool has_phonemize() { return ++asked, phonemize; }
};

TEST(PhonemizerRules, ChoiceInTheDocumentedOrder) {
    using C = PhonemizerChoice;
    const std::tuple<Given, C, int> cases[] = {
        {{true, true, true, true}, C::Espeak, 1},
        {{false, true, true, true}, C::Given, 2},      // phonemize wins over predict
        {{false, false, true, true}, C::G2PAdapter, 3},
        {{false, false, false, true}, C::Given, 4},    // a phonemize attribute that is None
        {{false, false, false, false}, C::Refused, 4},
    };
    for (auto [given, choice, asked] : cases) {
        EXPECT_EQ(choose_phonemizer(given), choice);
        EXPECT_EQ(given.asked, asked);
    }
    EXPECT_EQ(espeak_version_command(), testing::texts({U"espeak-ng", U"--version"}));
    EXPECT_EQ(espeak_ipa_command(U"fr", U"-h"),
              testing::texts({U"espeak-ng", U"-v", U"fr", U"--ipa", U"-q", U"--", U"-h"}));
}

}  // namespace
}  // namespace vantro
