#include "reading/placed_syllables.hpp"

#include "alignment/assembly.hpp"
#include "alignment/search.hpp"
#include "results/syllable_builder.hpp"

#include <algorithm>

namespace vantro::reading {

JoinedWords join_words(const std::vector<TextView>& words) {
    JoinedWords out;
    for (std::size_t i = 0; i < words.size(); ++i) {
        out.text.append(words[i]);
        if (i + 1 < words.size()) {
            out.boundaries.push_back(static_cast<std::int64_t>(out.text.size()));
            out.text.push_back(U' ');
        }
    }
    return out;
}

Span letters_span(const JoinedWords& joined, Span span) {
    auto letters_before = [&](std::int64_t pos) {
        const auto spaces = std::lower_bound(joined.boundaries.begin(), joined.boundaries.end(), pos) -
                            joined.boundaries.begin();
        return pos - spaces;
    };
    return Span{letters_before(span.start), letters_before(span.end)};
}

namespace {

void drop_spaces(Text& s) { std::erase(s, U' '); }

LetterSyllables compute(const JoinedWords& joined, std::size_t word_count, TextView phone,
                        const std::vector<std::size_t>& cuts, const SyllableContext& ctx) {
    LetterSyllables out;
    Alignment al;
    try {
        aligner(al, joined.text, phone, ctx.table, ctx.silent_letters, word_count > 1 ? &joined.boundaries : nullptr);
    } catch (const InputTooLong&) {
        return out;
    }
    if (!al.ok) return out;
    Alignment split = phonemise_alignment(al.dec_ph, al.dec_gr, al.dec_spans);
    for (Span& sp : split.dec_spans) sp = letters_span(joined, sp);
    for (Text& g : split.dec_gr) drop_spaces(g);
    std::vector<Text> syll_phones;
    std::size_t from = 0;
    for (std::size_t k = 0; k <= cuts.size(); ++k) {
        const std::size_t to = k < cuts.size() ? std::min(cuts[k], phone.size()) : phone.size();
        if (to > from)
            for (Text& sy : syllabify_ipa(phone.substr(from, to - from), ctx.sonority, ctx.sets))
                syll_phones.push_back(std::move(sy));
        from = std::max(from, to);
    }
    out.syllables = build_syllabes(syll_phones, split.dec_ph, split.dec_gr, split.dec_spans, 0, true, ctx.sets);
    out.ok = true;
    return out;
}

}  // namespace

SharedSyllables letter_syllables(const std::vector<TextView>& words, TextView phone,
                                 const std::vector<std::size_t>& cuts, const SyllableContext& ctx,
                                 SyllableCache& cache) {
    // The key keeps the word boundaries (they change what may be silent) and the cuts.
    thread_local Text key;
    key.clear();
    for (TextView w : words) key.append(w).push_back(U'\x1F');
    key.push_back(U'\x1E');
    std::size_t from = 0;
    for (std::size_t cut : cuts) {
        key.append(phone.substr(from, std::min(cut, phone.size()) - std::min(from, phone.size()))).push_back(U'\x1D');
        from = std::max(from, std::min(cut, phone.size()));
    }
    key.append(phone.substr(std::min(from, phone.size())));
    return cache.get(key, [&] {
        return std::make_shared<const LetterSyllables>(compute(join_words(words), words.size(), phone, cuts, ctx));
    });
}

bool place_syllables(const std::vector<PlacedWord>& words, TextView phone, const std::vector<std::size_t>& cuts,
                     const SyllableContext& ctx, SyllableCache& cache, PlacedSyllables& out) {
    thread_local std::vector<TextView> texts;
    thread_local std::vector<const LetterPlace*> places;  // one per letter
    texts.clear();
    places.clear();
    for (const PlacedWord& w : words) {
        texts.push_back(w.text);
        for (std::size_t k = 0; k < w.text.size(); ++k) places.push_back(w.places + k);
    }
    SharedSyllables found = letter_syllables(texts, phone, cuts, ctx, cache);
    if (!found->ok) return false;
    // From letters to the caller's text: a syllable starts on its first
    // letter and ends just after its last one.
    const auto n = static_cast<std::int64_t>(places.size());
    const std::int64_t after_last = n > 0 ? places.back()->end : 0;
    auto start_of = [&](std::int64_t k) { return k >= 0 && k < n ? places[static_cast<std::size_t>(k)]->begin : after_last; };
    out.append(std::move(found), [&](const SyllabeRec& s) {
        if (s.span.end <= s.span.start) {
            const std::int64_t at = start_of(s.span.start);
            return Span{at, at};
        }
        const std::int64_t last = s.span.end - 1;
        return Span{start_of(s.span.start), last < n ? places[static_cast<std::size_t>(last)]->end : after_last};
    });
    return true;
}

void place_unaligned(TextView phone, std::int64_t at, const SyllableContext& ctx, PlacedSyllables& out) {
    auto own = std::make_shared<LetterSyllables>();
    const std::vector<Text> syll_phones = syllabify_ipa(phone, ctx.sonority, ctx.sets);
    const std::vector<Text> none;
    const std::vector<Span> no_spans;
    own->syllables = build_syllabes(syll_phones, none, none, no_spans, 0, false, ctx.sets);
    out.append(std::move(own), [&](const SyllabeRec&) { return Span{at, at}; });
}

}  // namespace vantro::reading
