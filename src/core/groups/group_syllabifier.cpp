#include "groups/group_syllabifier.hpp"

#include "common/offsets.hpp"
#include "results/syllable_builder.hpp"

namespace vantro {

std::vector<SyllabeRec> syllabifier_groupe(TextView phone_groupe, const std::vector<GroupWord>& words,
                                           const LinguisticContext& ctx) {
    return analyse_groupe(phone_groupe, words, ctx).syllables;
}

GroupAnalysis analyse_groupe(TextView phone_groupe, const std::vector<GroupWord>& words,
                             const LinguisticContext& ctx) {
    const std::vector<Text> syll_phones = syllabify_ipa(phone_groupe, ctx.sonority, ctx.sets);

    Alignment al;
    std::int64_t word_offset = 0;
    if (words.size() == 1) {
        al = aligner(words.front().text, phone_groupe, ctx.table, ctx.silent_letters);
        word_offset = words.front().span_start;
    } else {
        const GroupAlignmentText joined = build_group_alignment_text(words);
        al = aligner(joined.text, phone_groupe, ctx.table, ctx.silent_letters, &joined.word_boundaries);
        for (Span& sp : al.dec_spans) sp = map_group_span(sp, joined.char_map);
    }

    if (al.ok) {
        // Entries that still hold several phoneme tokens are split once more.
        Alignment split = phonemise_alignment(al.dec_ph, al.dec_gr, al.dec_spans);
        al.dec_ph = std::move(split.dec_ph);
        al.dec_gr = std::move(split.dec_gr);
        al.dec_spans = std::move(split.dec_spans);
    }
    GroupAnalysis out;
    out.syllables = build_syllabes(syll_phones, al.dec_ph, al.dec_gr, al.dec_spans, word_offset, al.ok, ctx.sets);
    for (Span& sp : al.dec_spans) sp = Span{add_offset(sp.start, word_offset), add_offset(sp.end, word_offset)};
    out.alignment = std::move(al);
    return out;
}

}  // namespace vantro
