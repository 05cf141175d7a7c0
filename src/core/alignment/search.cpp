#include "alignment/search.hpp"

#include <optional>
#include <string>

#include "alignment/groupings.hpp"
#include "alignment/search_graph.hpp"
#include "alignment/search_word.hpp"
#include "phonology/tokens.hpp"
#include "unicode/unicode.hpp"

namespace vantro {

namespace {

// Buffers reused from call to call on each thread, so that aligning a word
// allocates little beyond its result.
struct Scratch {
    Text phone_lower;
    detail::SearchWord word;
    detail::Groupings groupings;
    detail::SearchGraph graph;
    std::vector<TextView> tokens;
    std::vector<TextView> align_ph;
};

// Out of line, so that the thread's buffers are looked up once per call and
// not at every use.
[[gnu::noinline]] Scratch& scratch() {
    thread_local Scratch sc;
    return sc;
}

// IPA letters, spacing modifier letters and combining diacritics: code
// points whose lower case is themselves.
constexpr char32_t kUncasedFrom = 0x250;
constexpr char32_t kUncasedTo = 0x36F;

// The pronunciation in lower case: `phone` itself when lowering changes
// nothing, as for nearly every IPA text (letters below U+0100 are lowered
// here; IPA letters, spacing modifiers and combining marks have no lower
// case of their own), else its lower case in `buffer`.
TextView lower_case(TextView phone, Text& buffer) {
    bool unchanged = true;
    for (char32_t c : phone) {
        if (c < 0x100) {
            if ((c >= U'A' && c <= U'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) {
                unchanged = false;
                break;
            }
        } else if (c < kUncasedFrom || c > kUncasedTo) {
            unchanged = false;
            break;
        }
    }
    if (unchanged) return phone;
    buffer = unicode::to_lower(phone);
    return buffer;
}

// Gives the graphemes the case of the written form: every character that is
// no marker takes, in order, the next character of the word.
void restore_case(TextView ortho, std::vector<Text>& graphemes) {
    std::size_t idx = 0;
    for (Text& g : graphemes) {
        for (char32_t& c : g) {
            if (is_grapheme_mark(c)) continue;
            if (idx < ortho.size()) c = ortho[idx++];
        }
    }
}

}  // namespace

void alignement_v2(SearchResult& result, TextView ortho, TextView phone, const CompiledTable& table,
                   const TextSet& silent_letters, const std::vector<std::int64_t>* word_boundaries) {
    result.align_ph.clear();
    result.align_gr.clear();
    result.ok = false;
    if (ortho.size() > MAX_ALIGNMENT_INPUT || phone.size() > MAX_ALIGNMENT_INPUT) {
        throw InputTooLong("alignment input longer than " + std::to_string(MAX_ALIGNMENT_INPUT) +
                           " characters");
    }
    Scratch& sc = scratch();
    iter_phoneme_views(lower_case(phone, sc.phone_lower), sc.tokens);
    const std::vector<TextView>& tokens = sc.tokens;

    if (tokens.empty()) {
        // Nothing to spell: one alignment without graphemes, whatever the word.
        result.ok = true;
        return;
    }

    sc.word.prepare(ortho, silent_letters, word_boundaries);
    sc.groupings.generate(table, tokens);
    const bool exact_levels = table.has_silent_marks() || contains(silent_letters, TextView(&SILENT_MARK, 1));
    sc.graph.reset(sc.word, table, exact_levels, contains(silent_letters, TextView(&SHARED_MARK, 1)));

    // Groupings in order; among equal keys the earlier grouping wins.
    std::optional<detail::Score> best;
    for (std::size_t i = 0; i < sc.groupings.size(); ++i) {
        const auto& grouping = sc.groupings[i];
        sc.graph.solve(sc.graph.add_grouping(grouping), grouping.size(), best);
    }
    if (!best) {
        sc.graph.release_large_buffers();
        return;
    }

    sc.align_ph.clear();
    result.align_gr.reserve(tokens.size());
    sc.graph.spell(sc.align_ph, result.align_gr);
    result.align_ph.reserve(sc.align_ph.size());
    for (TextView ph : sc.align_ph) result.align_ph.emplace_back(ph);
    restore_case(ortho, result.align_gr);
    result.ok = true;
    sc.graph.release_large_buffers();
}

SearchResult alignement_v2(TextView ortho, TextView phone, const CompiledTable& table,
                           const TextSet& silent_letters, const std::vector<std::int64_t>* word_boundaries) {
    SearchResult result;
    alignement_v2(result, ortho, phone, table, silent_letters, word_boundaries);
    return result;
}

}  // namespace vantro
