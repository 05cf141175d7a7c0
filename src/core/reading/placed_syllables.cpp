#include "reading/placed_syllables.hpp"

#include "alignment/assembly.hpp"
#include "alignment/search.hpp"
#include "results/syllable_builder.hpp"

namespace vantro::reading {

JoinedWords join_words(const std::vector<TextView>& words) {
    JoinedWords out;
    for (std::size_t i = 0; i < words.size(); ++i) {
        out.text.append(words[i]);
        if (i + 1 < words.size()) out.boundaries.push_back(static_cast<std::int64_t>(out.text.size()));
    }
    return out;
}

bool placed_syllables(const std::vector<PlacedWord>& words, TextView phone, const SyllableContext& ctx,
                      std::vector<SyllabeRec>& out) {
    out.clear();
    std::vector<TextView> texts;
    std::vector<LetterPlace> places;
    for (const PlacedWord& w : words) {
        texts.push_back(w.text);
        places.insert(places.end(), w.places, w.places + w.text.size());
    }
    const JoinedWords joined = join_words(texts);
    Alignment al;
    try {
        aligner(al, joined.text, phone, ctx.table, ctx.silent_letters,
                words.size() > 1 ? &joined.boundaries : nullptr);
    } catch (const InputTooLong&) {
        return false;
    }
    if (!al.ok) return false;

    // A span of the joined letters, moved to the caller's text: from the
    // start of its first letter to the end of its last one. Past the letters,
    // just after the last one.
    const auto n = static_cast<std::int64_t>(places.size());
    const std::int64_t after_last = n > 0 ? places.back().end : 0;
    for (Span& sp : al.dec_spans) {
        const Span rel = sp;
        sp.start = rel.start >= 0 && rel.start < n ? places[static_cast<std::size_t>(rel.start)].begin : after_last;
        sp.end = rel.end > 0 && rel.end <= n ? places[static_cast<std::size_t>(rel.end - 1)].end : after_last;
        if (rel.end <= rel.start) sp.end = sp.start;
    }
    Alignment split = phonemise_alignment(al.dec_ph, al.dec_gr, al.dec_spans);
    const std::vector<Text> syll_phones = syllabify_ipa(phone, ctx.sonority, ctx.sets);
    out = build_syllabes(syll_phones, split.dec_ph, split.dec_gr, split.dec_spans, 0, true, ctx.sets);
    return true;
}

void unplaced_syllables(TextView phone, std::int64_t at, const SyllableContext& ctx, std::vector<SyllabeRec>& out) {
    const std::vector<Text> syll_phones = syllabify_ipa(phone, ctx.sonority, ctx.sets);
    const std::vector<Text> none;
    const std::vector<Span> no_spans;
    std::vector<SyllabeRec> built = build_syllabes(syll_phones, none, none, no_spans, 0, false, ctx.sets);
    for (SyllabeRec& s : built) {
        s.span = Span{at, at};
        out.push_back(std::move(s));
    }
}

}  // namespace vantro::reading
