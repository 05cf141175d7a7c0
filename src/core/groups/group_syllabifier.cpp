#include "groups/group_syllabifier.hpp"

#include "common/offsets.hpp"
#include "results/syllable_builder.hpp"

namespace vantro {

namespace {

// The syllables of a group of words into `out`, and the alignment behind
// them into `al`, its spans in the caller's text.
void analyse_words(TextView phone_groupe, const std::vector<GroupWord>& words, const LinguisticContext& ctx,
                   Alignment& al, std::vector<SyllabeRec>& out) {
    const std::vector<Text> syll_phones = syllabify_ipa(phone_groupe, ctx.sonority, ctx.sets);

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
        al = phonemise_alignment(al.dec_ph, al.dec_gr, al.dec_spans);
    }
    out.reserve(syll_phones.size());
    build_syllabes(out, syll_phones, al.dec_ph, al.dec_gr, al.dec_spans, word_offset, al.ok, ctx.sets);
    // The syllables are built from spans relative to the word; the alignment
    // handed out has them in the caller's text, as the syllables do.
    if (word_offset != 0)
        for (Span& sp : al.dec_spans) sp = Span{add_offset(sp.start, word_offset), add_offset(sp.end, word_offset)};
}

// E2 over ReadingGroup values.
class CoreGroups {
public:
    CoreGroups(std::vector<ReadingGroup>& groupes, const std::map<std::size_t, FormulaReading>& by_position,
               const LinguisticContext& ctx, std::vector<Analysis>& out)
        : groupes_(groupes), by_position_(by_position), ctx_(ctx), out_(out) {}

    std::size_t size() const { return groupes_.size(); }
    bool est_formule(std::size_t gi) const { return groupes_[gi].est_formule; }
    bool own_reading(std::size_t gi) {
        reading_ = groupes_[gi].lecture ? &*groupes_[gi].lecture : nullptr;
        return reading_ != nullptr;
    }
    bool reading_by_position(std::size_t gi) {
        auto it = by_position_.find(gi);
        reading_ = it == by_position_.end() ? nullptr : &it->second;
        return reading_ != nullptr;
    }
    void check_reading() const { valider_spans_formule(*reading_); }
    void store_reading(std::size_t gi) {
        groupes_[gi].lecture = *reading_;
        reading_ = &*groupes_[gi].lecture;
    }
    void syllables_of_reading(std::size_t) { out_.push_back(Analysis{{}, syllabes_depuis_lecture(*reading_)}); }
    bool phone_empty(std::size_t gi) const { return groupes_[gi].phone_groupe.empty(); }
    void no_syllables(std::size_t) { out_.emplace_back(); }
    void syllables_of_words(std::size_t gi) {
        const ReadingGroup& g = groupes_[gi];
        out_.push_back(analyse_groupe(g.phone_groupe, g.words, ctx_));
    }

private:
    std::vector<ReadingGroup>& groupes_;
    const std::map<std::size_t, FormulaReading>& by_position_;
    const LinguisticContext& ctx_;
    std::vector<Analysis>& out_;
    const FormulaReading* reading_ = nullptr;
};

}  // namespace

std::vector<SyllabeRec> syllabifier_groupe(TextView phone_groupe, const std::vector<GroupWord>& words,
                                           const LinguisticContext& ctx) {
    Alignment al;
    std::vector<SyllabeRec> syllabes;
    analyse_words(phone_groupe, words, ctx, al, syllabes);
    return syllabes;
}

Analysis analyse_groupe(TextView phone_groupe, const std::vector<GroupWord>& words, const LinguisticContext& ctx) {
    Analysis a;
    analyse_words(phone_groupe, words, ctx, a.alignment, a.syllabes);
    return a;
}

std::vector<Analysis> syllabifier_groupes(std::vector<ReadingGroup>& groupes,
                                          const std::map<std::size_t, FormulaReading>& lectures_formules,
                                          const LinguisticContext& ctx) {
    std::vector<Analysis> out;
    out.reserve(groupes.size());
    CoreGroups groups(groupes, lectures_formules, ctx, out);
    syllabifier_groupes(groups);
    return out;
}

}  // namespace vantro
