// Fuzz target: what the analysis of a sentence adds to the alignment: the
// words of a text, the final schwa, formula readings, the groups of stage E2
// with the readings moved to them, and the renderings of the results.
//
// Input, one field per line: a text (its words, and the words of a group cut
// at its spaces); a written word, a part-of-speech tag and an IPA text (the
// final schwa, and the group's IPA); numbers: pairs (start, end) of the steps
// of a formula reading; numbers: the sizes of the groups, then the word
// positions that have a reading.

#include <algorithm>

#include "frontend/complete_analysis.hpp"
#include "frontend/text_words.hpp"
#include "fuzz_common.hpp"
#include "groups/group_syllabifier.hpp"
#include "phonology/tokens.hpp"
#include "results/final_schwa.hpp"
#include "results/renderings.hpp"

using namespace vantro;

namespace {

std::size_t lines_of(TextView text) {
    return 1 + static_cast<std::size_t>(std::count(text.begin(), text.end(), U'\n'));
}

bool is_word_letter(char32_t c) {
    return (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z') || (c >= 0xC0 && c <= 0x24F);
}

void check_words(TextView text) {
    const std::vector<Span> words = find_words(text);
    std::int64_t previous_end = 0;
    for (const Span& w : words) {
        FUZZ_CHECK(previous_end <= w.start && w.start < w.end && w.end <= static_cast<std::int64_t>(text.size()));
        const TextView word = text.substr(static_cast<std::size_t>(w.start), static_cast<std::size_t>(w.end - w.start));
        FUZZ_CHECK(is_word_letter(word.front()) && is_word_letter(word.back()));
        // A word is one word on its own.
        FUZZ_CHECK(find_words(word).size() == 1);
        previous_end = w.end;
    }
}

void check_schwa(TextView ortho, TextView pos, TextView phone, const fuzz::Data& d) {
    const Text out = ajouter_schwa_final(ortho, pos, phone, d.sets);
    FUZZ_CHECK(out == phone || out == Text(phone) + SCHWA);
    if (ortho.empty() || phone.empty()) FUZZ_CHECK(out == phone);
    if (out != phone) FUZZ_CHECK(has_mute_ending(ortho, pos));
}

FormulaReading reading_of(const std::vector<std::int64_t>& bounds, TextView text) {
    FormulaReading r{Text(text), {}};
    for (std::size_t i = 0; i + 1 < bounds.size(); i += 2) {
        const Text piece(text.substr(0, i % 7));
        r.events.push_back(FormulaStep{piece, piece, Span{bounds[i], bounds[i + 1]}, {}});
    }
    return r;
}

void check_reading(const FormulaReading& r) {
    std::size_t first_bad = r.events.size();
    for (std::size_t i = 0; i < r.events.size() && first_bad == r.events.size(); ++i)
        if (r.events[i].span_source.start > r.events[i].span_source.end) first_bad = i;
    try {
        valider_spans_formule(r);
        FUZZ_CHECK(first_bad == r.events.size());
    } catch (const IncoherentFormulaSpan& e) {
        FUZZ_CHECK(to_utf8(e.message()).starts_with("EventFormule #" + std::to_string(first_bad) + " ("));
    }
    const std::vector<SyllabeRec> syllabes = syllabes_depuis_lecture(r);
    FUZZ_CHECK(syllabes.size() == r.events.size());
    std::vector<SyllableShown> shown;
    for (const SyllabeRec& s : syllabes) shown.push_back(syllable_shown(s));
    const Text detail = format_detail(r.display_fr, r.display_fr, shown);
    FUZZ_CHECK(lines_of(detail) >= 1 + shown.size());
}

// Groups of the words of `text` cut at spaces, in the sizes asked for (the
// rest in one last group), with the readings moved to them.
void check_groups(TextView text, TextView phone, const std::vector<std::int64_t>& numbers,
                  const FormulaReading& reading, const fuzz::Data& d, const CompiledTable& table) {
    std::vector<GroupWord> words;
    for (const Span& w : find_words(text))
        words.push_back(GroupWord{Text(text.substr(static_cast<std::size_t>(w.start),
                                                   static_cast<std::size_t>(w.end - w.start))), w.start});
    std::vector<std::size_t> sizes;
    std::size_t k = 0, placed = 0;
    for (; k < numbers.size() && numbers[k] >= 0 && placed < words.size(); ++k) {
        const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(numbers[k] % 4), words.size() - placed);
        sizes.push_back(n);
        placed += n;
    }
    if (placed < words.size()) sizes.push_back(words.size() - placed);
    std::set<std::size_t> with_reading;
    for (++k; k < numbers.size(); ++k)
        if (numbers[k] >= 0) with_reading.insert(static_cast<std::size_t>(numbers[k] % 16));

    const std::map<std::size_t, std::size_t> moved = readings_by_group(sizes, with_reading);
    std::vector<ReadingGroup> groupes;
    std::map<std::size_t, FormulaReading> by_position;
    std::size_t first = 0;
    for (std::size_t gi = 0; gi < sizes.size(); ++gi) {
        const auto taken = moved.find(gi);
        if (taken != moved.end()) {
            FUZZ_CHECK(first <= taken->second && taken->second < first + sizes[gi]);
            FUZZ_CHECK(with_reading.count(taken->second) == 1);
            for (std::size_t later = taken->second + 1; later < first + sizes[gi]; ++later)
                FUZZ_CHECK(with_reading.count(later) == 0);
            by_position.emplace(gi, reading);
        }
        ReadingGroup g;
        g.words.assign(words.begin() + static_cast<std::ptrdiff_t>(first),
                       words.begin() + static_cast<std::ptrdiff_t>(first + sizes[gi]));
        g.phone_groupe = g.words.empty() ? Text() : Text(phone);
        g.est_formule = taken != moved.end();
        groupes.push_back(std::move(g));
        first += sizes[gi];
    }

    const LinguisticContext ctx{d.sets, d.sonority, table, d.silent};
    try {
        const std::vector<Analysis> out = syllabifier_groupes(groupes, by_position, ctx);
        FUZZ_CHECK(out.size() == groupes.size());
        for (std::size_t gi = 0; gi < out.size(); ++gi) {
            if (groupes[gi].est_formule) {
                FUZZ_CHECK(groupes[gi].lecture.has_value() && out[gi].syllabes.size() == reading.events.size());
                continue;
            }
            Text joined;
            for (const SyllabeRec& s : out[gi].syllabes) joined += s.phone;
            FUZZ_CHECK(joined == groupes[gi].phone_groupe);
            const Alignment& a = out[gi].alignment;
            FUZZ_CHECK(a.dec_ph.size() == a.dec_gr.size() && a.dec_gr.size() == a.dec_spans.size());
        }
    } catch (const IncoherentFormulaSpan&) {
        FUZZ_CHECK(!by_position.empty());
    } catch (const InputTooLong&) {
        FUZZ_CHECK(text.size() > MAX_ALIGNMENT_INPUT || phone.size() > MAX_ALIGNMENT_INPUT);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    const fuzz::Data& d = fuzz::data();
    static const CompiledTable french(d.table);
    const auto f = fuzz::split(std::string_view(reinterpret_cast<const char*>(bytes), size), '\n', 6);
    auto field = [&](std::size_t i) { return i < f.size() ? fuzz::decode(f[i]) : Text(); };
    const Text text = field(0), ortho = field(1), pos = field(2), phone = field(3);

    check_words(text);
    check_schwa(ortho, pos, phone, d);
    const FormulaReading reading = reading_of(f.size() > 4 ? fuzz::numbers(f[4]) : std::vector<std::int64_t>{}, text);
    check_reading(reading);
    check_groups(text, phone, f.size() > 5 ? fuzz::numbers(f[5]) : std::vector<std::int64_t>{}, reading, d, french);
    return 0;
}
