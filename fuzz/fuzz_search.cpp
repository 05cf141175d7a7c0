// Fuzz target: the segmentation search, the alignment built on it, the
// syllables laid over it, and the group path across word boundaries.
//
// Input, one field per line: the written form; its IPA; word boundaries
// (numbers); then, optionally, a table of its own, one entry per line
// ("key<TAB>grapheme<TAB>..."), used instead of the French one.

#include <algorithm>
#include <memory>

#include "alignment/assembly.hpp"
#include "common/grapheme_marks.hpp"
#include "fuzz_common.hpp"
#include "groups/group_syllabifier.hpp"
#include "phonology/tokens.hpp"
#include "results/syllable_builder.hpp"
#include "unicode/unicode.hpp"

using namespace vantro;

namespace {

// The graphemes (when there are any: an empty IPA has none) give back words
// that begin with a letter and whose lower case has as many characters.
bool written_as_read(TextView ortho) {
    return !ortho.empty() && !is_ignored_char(ortho.front()) && unicode::to_lower(ortho).size() == ortho.size();
}

// A character without sound met while silent letters still wait for the
// first grapheme belongs to no grapheme, and the written case is then taken
// one place early: the letters shown are the word's first ones, one short.
// Without such characters they are the whole word.
void check_letters(TextView joined, TextView ortho) {
    const Text shown = without_marks(joined);
    const Text word = without_marks(ortho);
    if (std::none_of(ortho.begin(), ortho.end(), is_ignored_char)) {
        FUZZ_CHECK(shown == word);
    } else {
        FUZZ_CHECK(shown.size() <= word.size() && TextView(word).substr(0, shown.size()) == shown);
    }
}

void check_alignment(const Alignment& a, TextView ortho) {
    FUZZ_CHECK(a.dec_ph.size() == a.dec_gr.size() && a.dec_gr.size() == a.dec_spans.size());
    if (!a.ok) {
        FUZZ_CHECK(a.dec_ph.empty());
        return;
    }
    const auto n = static_cast<std::int64_t>(ortho.size());
    Span previous{0, 0};
    for (const Span& s : a.dec_spans) {
        FUZZ_CHECK(0 <= s.start && s.start <= s.end && s.end <= n);
        FUZZ_CHECK(s.start == previous.start || s.start == previous.end);
        previous = s;
    }
    for (const Text& ph : a.dec_ph) FUZZ_CHECK(!ph.empty());
    if (written_as_read(ortho) && !a.dec_gr.empty()) {
        // Letter by letter, the graphemes give the word back; a letter that
        // two phonemes share is shown by both, with the same span.
        Text joined;
        for (std::size_t i = 0; i < a.dec_gr.size(); ++i) {
            if (i > 0 && a.dec_spans[i] == a.dec_spans[i - 1] && a.dec_spans[i].start < a.dec_spans[i].end) continue;
            joined += a.dec_gr[i];
        }
        check_letters(joined, ortho);
    }
}

void check_search(const SearchResult& r, TextView ortho) {
    FUZZ_CHECK(r.align_ph.size() == r.align_gr.size());
    FUZZ_CHECK(r.ok || r.align_ph.empty());
    if (!r.ok || r.align_gr.empty() || !written_as_read(ortho)) return;
    Text joined;
    for (const Text& g : r.align_gr) joined += g;
    check_letters(joined, ortho);
}

void check_syllables(const std::vector<SyllabeRec>& syllables, const std::vector<Text>& syll_phones) {
    FUZZ_CHECK(syllables.size() == syll_phones.size());
    for (std::size_t i = 0; i < syllables.size(); ++i) {
        FUZZ_CHECK(syllables[i].phone == syll_phones[i]);
        FUZZ_CHECK(syllables[i].span.start <= syllables[i].span.end);
    }
}

// Words of a group: the written form cut at spaces, each at its place in it.
std::vector<GroupWord> words_of(TextView ortho) {
    std::vector<GroupWord> words;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= ortho.size(); ++i) {
        if (i < ortho.size() && ortho[i] != U' ') continue;
        if (i > start) words.push_back({Text(ortho.substr(start, i - start)), static_cast<std::int64_t>(start)});
        start = i + 1;
    }
    return words;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    const fuzz::Data& d = fuzz::data();
    static const CompiledTable french(d.table);

    const auto f = fuzz::split(std::string_view(reinterpret_cast<const char*>(bytes), size), '\n', 4);
    const Text ortho = fuzz::decode(f[0]);
    const Text phone = f.size() > 1 ? fuzz::decode(f[1]) : Text();
    const std::vector<std::int64_t> bounds = f.size() > 2 ? fuzz::numbers(f[2]) : std::vector<std::int64_t>{};

    std::unique_ptr<CompiledTable> own;
    if (f.size() > 3) {
        PhoneTable t;
        for (std::string_view line : fuzz::split(f[3], '\n')) {
            const auto cells = fuzz::split(line, '\t');
            std::vector<Text> graphemes;
            for (std::size_t i = 1; i < cells.size(); ++i) graphemes.push_back(fuzz::decode(cells[i]));
            t.entries.emplace_back(fuzz::decode(cells[0]), std::move(graphemes));
        }
        own = std::make_unique<CompiledTable>(t);
    }
    const CompiledTable& table = own ? *own : french;
    const bool too_long = ortho.size() > MAX_ALIGNMENT_INPUT || phone.size() > MAX_ALIGNMENT_INPUT;

    try {
        const std::vector<std::int64_t>* wb = bounds.empty() ? nullptr : &bounds;
        check_search(alignement_v2(ortho, phone, table, d.silent, wb), ortho);
        FUZZ_CHECK(!too_long);
        const Alignment a = aligner(ortho, phone, table, d.silent, wb);
        check_alignment(a, ortho);

        // What the word analysis does with it.
        const std::vector<Text> syll_phones = syllabify_ipa(phone, d.sonority, d.sets);
        check_syllables(build_syllabes(syll_phones, a.dec_ph, a.dec_gr, a.dec_spans, 0, a.ok, d.sets), syll_phones);

        // The same text as a reading group of the words between its spaces.
        const std::vector<GroupWord> words = words_of(ortho);
        if (!words.empty() && !phone.empty()) {
            const LinguisticContext ctx{d.sets, d.sonority, table, d.silent};
            check_syllables(syllabifier_groupe(phone, words, ctx), syll_phones);
        }
    } catch (const InputTooLong&) {
        FUZZ_CHECK(too_long);
    }
    return 0;
}
