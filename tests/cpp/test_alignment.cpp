#include <gtest/gtest.h>

#include "fixtures.hpp"

#include <optional>
#include <string>

#include "alignment/assembly.hpp"
#include "alignment/groupings.hpp"
#include "alignment/search.hpp"

namespace {

using namespace vantro;

using Entries = std::vector<std::pair<Text, std::vector<Text>>>;

CompiledTable compile(const Entries& entries) { return CompiledTable(PhoneTable{entries}); }

using vantro::testing::texts;

std::string show(const std::vector<Text>& v) {
    std::string out = "[";
    for (std::size_t i = 0; i < v.size(); ++i) out += (i ? ", " : "") + to_utf8(v[i]);
    return out + "]";
}

const TextSet kSilent = {U"e", U"h", U"s"};

// /p/ "p", /a/ "a", /ɔ/ "o", /m/ "m" or "mm": the table the examples of the
// search are written against.
const CompiledTable& basic_table() {
    static const CompiledTable t = compile({{U"p", {U"p"}}, {U"a", {U"a"}}, {U"ɔ", {U"o"}}, {U"m", {U"m", U"mm"}}});
    return t;
}

struct SearchCase {
    const char* name;
    const char32_t* ortho;
    const char32_t* phone;
    std::optional<std::vector<std::int64_t>> boundaries;
    std::vector<Text> ph;
    std::vector<Text> gr;
    bool ok;
};

TEST(Search, ExamplesOnTheBasicTable) {
    const std::vector<SearchCase> cases = {
        {"plain", U"papa", U"papa", std::nullopt, texts({U"p", U"a", U"p", U"a"}), texts({U"p", U"a", U"p", U"a"}), true},
        {"trailing silent s", U"pas", U"pa", std::nullopt, texts({U"p", U"a"}), texts({U"p", U"as°"}), true},
        {"silent h before the next grapheme", U"homme", U"ɔm", std::nullopt, texts({U"ɔ", U"m"}),
         texts({U"h°o", U"mme°"}), true},
        {"written case comes back", U"HOMME", U"ɔm", std::nullopt, texts({U"ɔ", U"m"}), texts({U"H°O", U"MME°"}), true},
        {"upper-case pronunciation is lowered", U"pas", U"PA", std::nullopt, texts({U"p", U"a"}),
         texts({U"p", U"as°"}), true},
        {"letter left that may not be silent", U"pax", U"pa", std::nullopt, {}, {}, false},
        {"phoneme without graphemes", U"pa", U"pi", std::nullopt, {}, {}, false},
        {"empty pronunciation", U"xyz", U"", std::nullopt, {}, {}, true},
        {"silent letters before the first grapheme wait for it", U"spa", U"pa", std::nullopt, texts({U"p", U"a"}),
         texts({U"s°p", U"a"}), true},
        // They belong to no grapheme, yet the case rebuild counts from the
        // start of the word, so the letters shift.
        {"leading characters without sound", U"-pa", U"pa", std::nullopt, texts({U"p", U"a"}),
         texts({U"-", U"p"}), true},
        {"characters without sound join the grapheme before", U"pa-pa", U"papa", std::nullopt,
         texts({U"p", U"a", U"p", U"a"}), texts({U"p", U"a-", U"p", U"a"}), true},
        {"a character without sound among trailing letters cannot be silent", U"pas-", U"pa", std::nullopt, {}, {},
         false},
    };
    for (const SearchCase& c : cases) {
        const std::vector<std::int64_t>* b = c.boundaries ? &*c.boundaries : nullptr;
        const SearchResult r = alignement_v2(c.ortho, c.phone, basic_table(), kSilent, b);
        EXPECT_EQ(r.ok, c.ok) << c.name;
        EXPECT_EQ(r.align_ph, c.ph) << c.name << ": " << show(r.align_ph);
        EXPECT_EQ(r.align_gr, c.gr) << c.name << ": " << show(r.align_gr);
    }
}

// The pronunciation is read in lower case whatever its script: letters with
// a case are lowered (the final sigma by its context), IPA letters, spacing
// modifiers and combining marks are kept as they are.
TEST(Search, PronunciationIsReadInLowerCase) {
    const CompiledTable t = compile({{U"à", {U"à"}},
                                     {U"œ", {U"oe"}},
                                     {U"ɐ", {U"a"}},
                                     {U"ʃ", {U"ch"}},
                                     {U"ː", {U"h"}},
                                     {U"ɑ\u0303", {U"an"}},
                                     {U"σ", {U"s"}},
                                     {U"ς", {U"z"}},
                                     {U"ɛ", {U"e"}}});
    const SearchCase cases[] = {
        {"Latin-1 capital", U"à", U"À", std::nullopt, texts({U"à"}), texts({U"à"}), true},
        {"Latin Extended capital", U"oe", U"Œ", std::nullopt, texts({U"œ"}), texts({U"oe"}), true},
        {"IPA letters kept", U"cha", U"ʃɐ", std::nullopt, texts({U"ʃ", U"ɐ"}), texts({U"ch", U"a"}), true},
        {"modifier letter kept", U"chh", U"ʃː", std::nullopt, texts({U"ʃ", U"ː"}), texts({U"ch", U"h"}), true},
        {"combining mark kept", U"chan", U"ʃɑ\u0303", std::nullopt, texts({U"ʃ", U"ɑ\u0303"}),
         texts({U"ch", U"an"}), true},
        {"capital sigma inside a word", U"ese", U"ɛΣɛ", std::nullopt, texts({U"ɛ", U"σ", U"ɛ"}),
         texts({U"e", U"s", U"e"}), true},
        {"capital sigma ending a word", U"ez", U"ɛΣ", std::nullopt, texts({U"ɛ", U"ς"}), texts({U"e", U"z"}), true},
    };
    for (const SearchCase& c : cases) {
        const SearchResult r = alignement_v2(c.ortho, c.phone, t, kSilent);
        EXPECT_EQ(r.ok, c.ok) << c.name;
        EXPECT_EQ(r.align_ph, c.ph) << c.name << ": " << show(r.align_ph);
        EXPECT_EQ(r.align_gr, c.gr) << c.name << ": " << show(r.align_gr);
    }
}

TEST(Search, HyphenInACompoundGoesToTheGraphemeBeforeIt) {
    const CompiledTable t = compile({{U"ɡ", {U"g"}},
                                     {U"ʁ", {U"r"}},
                                     {U"ɑ̃", {U"an"}},
                                     {U"m", {U"m"}},
                                     {U"ɛ", {U"è"}}});
    const TextSet silent = {U"d", U"e"};
    const SearchResult r = alignement_v2(U"Grand-mère", U"ɡʁɑ̃mɛʁ", t, silent);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.align_gr, texts({U"G", U"r", U"and°-", U"m", U"è", U"re°"}));
}

TEST(Search, WordEndsLetFinalEOrSBeSilentWhereItCouldBeRead) {
    const CompiledTable t = compile({{U"p", {U"p"}}, {U"a", {U"a"}}, {U"s", {U"s"}}});
    // Group "papas" + "sapa": positions 3 and 4 end the first word. Reading
    // the first s and leaving the second silent puts the silent letter one
    // place later than keeping the first one silent, which only the word
    // end allows (an s there can be read).
    const std::vector<std::int64_t> ends = {5};
    const SearchResult with = alignement_v2(U"papassapa", U"papasapa", t, kSilent, &ends);
    const SearchResult without = alignement_v2(U"papassapa", U"papasapa", t, kSilent);
    EXPECT_EQ(with.align_gr, texts({U"p", U"a", U"p", U"as°", U"s", U"a", U"p", U"a"}));
    EXPECT_EQ(without.align_gr, texts({U"p", U"a", U"p", U"a", U"ss°", U"a", U"p", U"a"}));

    // Without the word end, the e can only be read, and the word fails.
    const CompiledTable t2 = compile({{U"s", {U"s"}}, {U"a", {U"a", U"e"}}});
    const std::vector<std::int64_t> end_after_e = {2};
    EXPECT_FALSE(alignement_v2(U"sea", U"sa", t2, kSilent).ok);
    EXPECT_EQ(alignement_v2(U"sea", U"sa", t2, kSilent, &end_after_e).align_gr, texts({U"se°", U"a"}));
}

TEST(Search, EqualKeysGoToTheFirstFound) {
    // "ab"+"c" and "a"+"bc" rank the same; the candidate order decides.
    const CompiledTable ab_first = compile({{U"x", {U"ab", U"a"}}, {U"y", {U"c", U"bc"}}});
    const CompiledTable a_first = compile({{U"x", {U"a", U"ab"}}, {U"y", {U"c", U"bc"}}});
    EXPECT_EQ(alignement_v2(U"abc", U"xy", ab_first, kSilent).align_gr, texts({U"ab", U"c"}));
    EXPECT_EQ(alignement_v2(U"abc", U"xy", a_first, kSilent).align_gr, texts({U"a", U"bc"}));
}

TEST(Search, RankingKeyOrder) {
    // Fewer silent letters beat everything else: "mm" over "m" + silent m.
    const CompiledTable t = compile({{U"m", {U"m", U"mm"}}, {U"a", {U"a"}}});
    const TextSet silent_m = {U"m"};
    EXPECT_EQ(alignement_v2(U"amm", U"am", t, silent_m).align_gr, texts({U"a", U"mm"}));
    // A grapheme spelled like a key of the table counts as inside it: "bc"
    // is a key here, so "a" + "bc" beats "ab" + "c", found first.
    const CompiledTable inside = compile({{U"x", {U"ab", U"a"}}, {U"y", {U"c", U"bc"}}, {U"bc", {}}});
    EXPECT_EQ(alignement_v2(U"abc", U"xy", inside, kSilent).align_gr, texts({U"a", U"bc"}));
    // A shared-letter grapheme counts as inside the table too.
    const CompiledTable shared = compile({{U"ks", {U"x", U"x²"}}, {U"a", {U"a"}}});
    EXPECT_EQ(alignement_v2(U"xa", U"ksa", shared, kSilent).align_gr, texts({U"x²", U"a"}));
}

TEST(Search, EarlierSilentLettersCostLess) {
    // With a word end after the first e, both e can be the silent one; the
    // earlier silent letter wins although it is found later.
    const CompiledTable t = compile({{U"ə", {U"e"}}});
    const std::vector<std::int64_t> ends = {1};
    EXPECT_EQ(alignement_v2(U"ee", U"ə", t, kSilent).align_gr, texts({U"ee°"}));
    EXPECT_EQ(alignement_v2(U"ee", U"ə", t, kSilent, &ends).align_gr, texts({U"e°e"}));
}

TEST(Search, CompoundElementSplitsWhenNothingElseReads) {
    const CompiledTable t = compile({{U"wa", {U"oi"}}, {U"w", {U"ou"}}, {U"a", {U"a"}}});
    const SearchResult r = alignement_v2(U"oua", U"wa", t, kSilent);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.align_ph, texts({U"w", U"a"}));
    EXPECT_EQ(r.align_gr, texts({U"ou", U"a"}));
    const SearchResult whole = alignement_v2(U"moi", U"mwa", compile({{U"m", {U"m"}}, {U"wa", {U"oi"}}}), kSilent);
    EXPECT_EQ(whole.align_ph, texts({U"m", U"wa"}));
}

TEST(Search, KeyWithoutTokensIsSkipped) {
    const CompiledTable t = compile({{U"", {U"x", U""}}, {U"a", {U"a"}}});
    const SearchResult r = alignement_v2(U"a", U"a", t, kSilent);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.align_gr, texts({U"a"}));
}

TEST(Search, OnlyTheFirst32GroupingsAreTried) {
    // A /ks/ entry read as "k" never completes, so only the grouping of
    // single tokens aligns. For "ks" three times it is the 32nd grouping
    // (counting repeats); for four times it comes too late.
    const CompiledTable t = compile({{U"k", {U"k"}}, {U"s", {U"s"}}, {U"ks", {U"k"}}});
    const TextSet silent = {U"e", U"h"};
    EXPECT_TRUE(alignement_v2(U"ksksks", U"ksksks", t, silent).ok);
    EXPECT_FALSE(alignement_v2(U"ksksksks", U"ksksksks", t, silent).ok);
}

std::vector<std::vector<Text>> grouping_texts(const CompiledTable& t, const std::vector<TextView>& views) {
    detail::Groupings g;
    g.generate(t, views);
    std::vector<std::vector<Text>> out;
    for (std::size_t i = 0; i < g.size(); ++i) {
        out.emplace_back();
        for (const auto& e : g[i]) out.back().emplace_back(e.text);
    }
    return out;
}
std::vector<std::vector<Text>> grouping_texts(const CompiledTable& t, std::initializer_list<const char32_t*> tokens) {
    return grouping_texts(t, std::vector<TextView>(tokens.begin(), tokens.end()));
}

TEST(Groupings, LongestEntriesFirstAndRepeatsOnce) {
    const CompiledTable t = compile({{U"k", {}}, {U"s", {}}, {U"a", {}}, {U"ks", {}}});
    EXPECT_EQ(grouping_texts(t, {U"k", U"s", U"a"}),
              (std::vector<std::vector<Text>>{texts({U"ks", U"a"}), texts({U"k", U"s", U"a"})}));
    // Entries of equal length keep the table order.
    const CompiledTable t2 = compile({{U"sa", {}}, {U"ks", {}}, {U"k", {}}, {U"ksa", {}}});
    EXPECT_EQ(grouping_texts(t2, {U"k", U"s", U"a"}),
              (std::vector<std::vector<Text>>{texts({U"ksa"}), texts({U"ks", U"a"}), texts({U"k", U"sa"}),
                                              texts({U"k", U"s", U"a"})}));
}

// Where the choice lies: a longer key that starts with the token, a key
// written in another case that reads as the same token, or none at all
// (a key that only starts like the pronunciation, or that would run past its end).
TEST(Groupings, ChoicesOnlyWhereAnotherKeyFits) {
    const CompiledTable t = compile({{U"a", {}}, {U"A", {}}, {U"ks", {}}, {U"k", {}}, {U"s", {}}, {U"ɛj", {}}});
    const std::pair<std::vector<Text>, std::vector<std::vector<Text>>> cases[] = {
        {texts({U"a"}), {texts({U"a"}), texts({U"A"})}},
        {texts({U"k", U"s"}), {texts({U"ks"}), texts({U"k", U"s"})}},
        {texts({U"k", U"a"}), {texts({U"k", U"a"}), texts({U"k", U"A"})}},
        {texts({U"s", U"k"}), {texts({U"s", U"k"})}},
        {texts({U"ɛ", U"k"}), {texts({U"ɛ", U"k"})}},
        {texts({U"k"}), {texts({U"k"})}},
        {texts({U"ɛ"}), {texts({U"ɛ"})}},
    };
    for (const auto& [tokens, expected] : cases) {
        std::vector<TextView> views(tokens.begin(), tokens.end());
        EXPECT_EQ(grouping_texts(t, views), expected) << show(tokens);
    }
}

TEST(Groupings, CapCountsRepeats) {
    const CompiledTable t = compile({{U"k", {}}, {U"s", {}}, {U"ks", {}}});
    // 25 groupings in all for k s k s (5 distinct); the cap is not reached.
    EXPECT_EQ(grouping_texts(t, {U"k", U"s", U"k", U"s"}).size(), 4u);
    // For k s k s k s k s, 32 groupings with repeats hold only these.
    const auto g = grouping_texts(t, {U"k", U"s", U"k", U"s", U"k", U"s", U"k", U"s"});
    EXPECT_EQ(g.front(), texts({U"ks", U"ks", U"ks", U"ks"}));
    for (const auto& grouping : g) EXPECT_EQ(grouping.front(), U"ks");
}

TEST(Search, InputLongerThanTheLimitIsRefused) {
    const Text long_word(MAX_ALIGNMENT_INPUT + 1, U'a');
    EXPECT_THROW(alignement_v2(long_word, U"a", basic_table(), kSilent), InputTooLong);
    EXPECT_THROW(alignement_v2(U"a", long_word, basic_table(), kSilent), InputTooLong);
    const Text at_limit(MAX_ALIGNMENT_INPUT, U'a');
    EXPECT_TRUE(alignement_v2(at_limit, at_limit, basic_table(), kSilent).ok);
}

// Inputs that make an exhaustive search explode; they must come back (the
// benchmarks time them).
TEST(Search, CraftedWorstCasesComeBack) {
    const std::size_t n = MAX_ALIGNMENT_INPUT;
    const CompiledTable schwa = compile({{U"ə", {U"e", U"ee", U"eee", U"e²", U"²"}}});
    const SearchResult r = alignement_v2(Text(n, U'e'), Text(n / 2, U'ə'), schwa, kSilent);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.align_gr.size(), n / 2);

    // No silent letter is needed: each schwa reads two e.
    const CompiledTable two = compile({{U"ə", {U"e", U"ee"}}});
    const SearchResult pairs = alignement_v2(Text(n, U'e'), Text(n / 2, U'ə'), two, kSilent);
    ASSERT_TRUE(pairs.ok);
    for (const Text& g : pairs.align_gr) EXPECT_EQ(g, U"ee");

    std::vector<std::int64_t> every_place;
    for (std::size_t i = 0; i <= n; ++i) every_place.push_back(static_cast<std::int64_t>(i));
    EXPECT_TRUE(alignement_v2(Text(n, U'e'), Text(n, U'ə'), two, kSilent, &every_place).ok);

    const CompiledTable h = compile({{U"ə", {U"h", U"hh"}}, {U"a", {U"a"}}});
    EXPECT_TRUE(alignement_v2(Text(n - 1, U'h') + U"a", U"a", h, kSilent).ok);
    EXPECT_TRUE(alignement_v2(Text(n, U'h'), Text(n / 4, U'ə'), h, kSilent).ok);

    // 32 different groupings (/əə/ or two /ə/), each over the same dense run.
    const CompiledTable pairs_or_single = compile({{U"əə", {U"x"}}, {U"ə", {U"e", U"ee", U"eee"}}});
    EXPECT_TRUE(alignement_v2(Text(n / 2, U'e'), Text(n / 4, U'ə'), pairs_or_single, kSilent).ok);

    Text x_run, ks_run;
    for (std::size_t i = 0; i < n / 2; ++i) {
        x_run += U"xa";
        ks_run += U"ksa";
    }
    const CompiledTable ks = compile({{U"k", {U"k"}}, {U"s", {U"s"}}, {U"a", {U"a"}}, {U"ks", {U"x", U"x²"}}});
    const SearchResult compounds = alignement_v2(x_run, ks_run.substr(0, n), ks, kSilent);
    EXPECT_FALSE(compounds.ok);  // the pronunciation was cut in the middle of a /ks/
    EXPECT_TRUE(alignement_v2(x_run.substr(0, 600), ks_run.substr(0, 900), ks, kSilent).ok);
}

TEST(Spans, CountLettersOnly) {
    EXPECT_EQ(build_spans(texts({U"h°o", U"mme°"})), (std::vector<Span>{{0, 2}, {2, 5}}));
    EXPECT_EQ(build_spans(texts({U"x", U"²", U"a"})), (std::vector<Span>{{0, 1}, {1, 1}, {1, 2}}));
    EXPECT_TRUE(build_spans({}).empty());
}

struct SplitCase {
    const char* name;
    std::vector<Text> ph;
    std::vector<Text> gr;
    std::vector<Span> spans;
    std::vector<Text> out_ph;
    std::vector<Text> out_gr;
    std::vector<Span> out_spans;
};

TEST(Phonemise, SplitsCompoundEntries) {
    const std::vector<SplitCase> cases = {
        {"two letters", texts({U"wa"}), texts({U"oi"}), {{3, 5}}, texts({U"w", U"a"}), texts({U"o", U"i"}),
         {{3, 4}, {4, 5}}},
        {"shared letter", texts({U"ks"}), texts({U"x²"}), {{0, 1}}, texts({U"k", U"s"}), texts({U"x", U"x²"}),
         {{0, 1}, {0, 1}}},
        {"one letter for two", texts({U"ks"}), texts({U"x"}), {{0, 1}}, texts({U"k", U"s"}), texts({U"x", U""}),
         {{0, 1}, {1, 1}}},
        {"single token kept whole", texts({U"a", U"s"}), texts({U"p", U"as°"}), {{0, 1}, {1, 3}},
         texts({U"a", U"s"}), texts({U"p", U"as°"}), {{0, 1}, {1, 3}}},
        {"three tokens: the rest stays together", texts({U"waj"}), texts({U"oy"}), {{0, 2}}, texts({U"w", U"aj"}),
         texts({U"o", U"y"}), {{0, 1}, {1, 2}}},
        {"marks stay on their token", texts({U"wɛ̃"}), texts({U"oin"}), {{0, 3}}, texts({U"w", U"ɛ̃"}),
         texts({U"o", U"in"}), {{0, 1}, {1, 3}}},
        {"empty grapheme", texts({U"ks"}), texts({U""}), {{2, 2}}, texts({U"k", U"s"}), texts({U"", U""}),
         {{2, 2}, {2, 2}}},
        {"shortest list wins", texts({U"a", U"b"}), texts({U"a"}), {{0, 1}, {1, 2}}, texts({U"a"}), texts({U"a"}),
         {{0, 1}}},
    };
    for (const SplitCase& c : cases) {
        const Alignment a = phonemise_alignment(c.ph, c.gr, c.spans);
        EXPECT_EQ(a.dec_ph, c.out_ph) << c.name;
        EXPECT_EQ(a.dec_gr, c.out_gr) << c.name;
        EXPECT_EQ(a.dec_spans, c.out_spans) << c.name;
    }
    EXPECT_THROW(phonemise_alignment(texts({U""}), texts({U"x"}), {{0, 1}}), std::out_of_range);
}

TEST(Aligner, JoinsSearchSpansAndSplits) {
    const CompiledTable t = compile({{U"ks", {U"x²"}}, {U"a", {U"a"}}, {U"t", {U"t"}}, {U"i", {U"i"}}});
    const Alignment a = aligner(U"Taxi", U"taksi", t, kSilent);
    ASSERT_TRUE(a.ok);
    EXPECT_EQ(a.dec_ph, texts({U"t", U"a", U"k", U"s", U"i"}));
    EXPECT_EQ(a.dec_gr, texts({U"T", U"a", U"x", U"x²", U"i"}));
    EXPECT_EQ(a.dec_spans, (std::vector<Span>{{0, 1}, {1, 2}, {2, 3}, {2, 3}, {3, 4}}));

    const Alignment empty = aligner(U"mot", U"", t, kSilent);
    EXPECT_TRUE(empty.ok);
    EXPECT_TRUE(empty.dec_ph.empty() && empty.dec_gr.empty() && empty.dec_spans.empty());

    const Alignment failed = aligner(U"zzz", U"ta", t, kSilent);
    EXPECT_FALSE(failed.ok);
    EXPECT_TRUE(failed.dec_ph.empty() && failed.dec_gr.empty() && failed.dec_spans.empty());
}

// One result filled word after word (as a word analysis does) must hold
// what a fresh one holds, whatever the word before it left: a longer word, a
// split, a failure, nothing to align.
TEST(Aligner, ResultFilledAgainMatchesAFreshOne) {
    const CompiledTable t = compile({{U"ks", {U"x²"}}, {U"a", {U"a", U"as"}}, {U"t", {U"t", U"tt"}},
                                     {U"i", {U"i"}}, {U"ɔ", {U"o"}}});
    const std::pair<const char32_t*, const char32_t*> words[] = {
        {U"Taxi", U"taksi"},   {U"tatitoi", U"tatitɔi"}, {U"ta", U"ta"},        {U"zzz", U"ta"},
        {U"taxi", U"taksi"},   {U"mot", U""},            {U"attas", U"ata"},    {U"taxitaxi", U"taksitaksi"},
        {U"to", U"tɔ"},        {U"tits", U"tit"},
    };
    Alignment reused;
    for (int round = 0; round < 2; ++round) {
        for (const auto& [ortho, phone] : words) {
            aligner(reused, ortho, phone, t, kSilent);
            const Alignment fresh = aligner(ortho, phone, t, kSilent);
            EXPECT_EQ(reused.ok, fresh.ok) << to_utf8(ortho);
            EXPECT_EQ(reused.dec_ph, fresh.dec_ph) << to_utf8(ortho) << ": " << show(reused.dec_ph);
            EXPECT_EQ(reused.dec_gr, fresh.dec_gr) << to_utf8(ortho) << ": " << show(reused.dec_gr);
            EXPECT_EQ(reused.dec_spans, fresh.dec_spans) << to_utf8(ortho);
        }
    }
    // And the values themselves, for one word of each kind.
    aligner(reused, U"attas", U"ata", t, kSilent);
    EXPECT_EQ(reused.dec_gr, texts({U"a", U"tt", U"as"}));
    EXPECT_EQ(reused.dec_spans, (std::vector<Span>{{0, 1}, {1, 3}, {3, 5}}));
    aligner(reused, U"taxi", U"taksi", t, kSilent);
    EXPECT_EQ(reused.dec_gr, texts({U"t", U"a", U"x", U"x²", U"i"}));
}

TEST(Aligner, SpansCountSilentLettersAndCharactersWithoutSound) {
    const Alignment a = aligner(U"l'homme", U"lɔm", compile({{U"l", {U"l"}}, {U"ɔ", {U"o"}}, {U"m", {U"mm"}}}),
                                kSilent);
    ASSERT_TRUE(a.ok);
    EXPECT_EQ(a.dec_gr, texts({U"l'", U"h°o", U"mme°"}));
    EXPECT_EQ(a.dec_spans, (std::vector<Span>{{0, 2}, {2, 4}, {4, 7}}));
}

}  // namespace
