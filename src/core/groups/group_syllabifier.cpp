#include "groups/group_syllabifier.hpp"

#include "common/offsets.hpp"
#include "phonology/classifier.hpp"
#include "results/syllable_builder.hpp"

namespace vantro {

namespace {

// A group of words made ready for the syllable builder: its IPA cut into
// syllables, and the alignment of its words' letters, spans relative to
// `word_offset` in the caller's text.
struct GroupAlignment {
    std::vector<Text> syllables;
    Alignment alignment;
    std::int64_t word_offset = 0;
};

GroupAlignment align_group(TextView phone_groupe, const std::vector<GroupWord>& words, const LinguisticContext& ctx) {
    GroupAlignment g;
    if (ctx.classifier)
        syllabify_ipa(g.syllables, phone_groupe, *ctx.classifier);
    else
        syllabify_ipa(g.syllables, phone_groupe, ctx.sonority, ctx.sets);
    Alignment& al = g.alignment;
    if (words.size() == 1) {
        al = aligner(words.front().text, phone_groupe, ctx.table, ctx.silent_letters);
        g.word_offset = words.front().span_start;
    } else {
        const GroupAlignmentText joined = build_group_alignment_text(words);
        al = aligner(joined.text, phone_groupe, ctx.table, ctx.silent_letters, &joined.word_boundaries);
        for (Span& sp : al.dec_spans) sp = map_group_span(sp, joined.char_map);
    }
    // Entries that still hold several phoneme tokens are split once more.
    if (al.ok) al = phonemise_alignment(al.dec_ph, al.dec_gr, al.dec_spans);
    return g;
}

// The alignment handed out has its spans in the caller's text, as the syllables do.
void move_into_text(Alignment& al, std::int64_t word_offset) {
    if (word_offset == 0) return;
    for (Span& sp : al.dec_spans) sp = Span{add_offset(sp.start, word_offset), add_offset(sp.end, word_offset)};
}

void build_into(std::vector<SyllabeRec>& out, const GroupAlignment& g, const LinguisticContext& ctx) {
    const Alignment& al = g.alignment;
    out.reserve(g.syllables.size());
    if (ctx.classifier)
        build_syllabes(out, g.syllables, al.dec_ph, al.dec_gr, al.dec_spans, g.word_offset, al.ok, *ctx.classifier);
    else
        build_syllabes(out, g.syllables, al.dec_ph, al.dec_gr, al.dec_spans, g.word_offset, al.ok, ctx.sets);
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
    std::vector<SyllabeRec> syllabes;
    build_into(syllabes, align_group(phone_groupe, words, ctx), ctx);
    return syllabes;
}

Analysis analyse_groupe(TextView phone_groupe, const std::vector<GroupWord>& words, const LinguisticContext& ctx) {
    GroupAlignment g = align_group(phone_groupe, words, ctx);
    Analysis a;
    build_into(a.syllabes, g, ctx);
    move_into_text(g.alignment, g.word_offset);
    a.alignment = std::move(g.alignment);
    return a;
}

void syllabifier_groupe(TextView phone_groupe, const std::vector<GroupWord>& words, const LinguisticContext& ctx,
                        SyllableSink& sink, Alignment* alignment) {
    GroupAlignment g = align_group(phone_groupe, words, ctx);
    const Alignment& al = g.alignment;
    // A builder of its own: the sink may run code that syllabifies other groups meanwhile.
    std::optional<PhonemeClassifier> own;
    const PhonemeClassifier& classes = ctx.classifier ? *ctx.classifier : own.emplace(ctx.sonority, ctx.sets);
    SyllableBuilder().build(sink, g.syllables, al.dec_ph, al.dec_gr, al.dec_spans, g.word_offset, al.ok, classes);
    if (alignment) {
        move_into_text(g.alignment, g.word_offset);
        *alignment = std::move(g.alignment);
    }
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
