#include "view/result_input.hpp"

#include <algorithm>
#include <unordered_map>

#include "common/grapheme_marks.hpp"
#include "frontend/word_analysis.hpp"
#include "phonology/classifier.hpp"
#include "results/final_schwa.hpp"
#include "phonology/sonority.hpp"
#include "results/syllable_builder.hpp"
#include "view/build_view.hpp"

namespace vantro::view {

namespace {

void put_alignment(GroupInput& g, const Alignment& al) {
    g.alignment_ok = al.ok;
    g.phonemes.clear();
    for (std::size_t k = 0; k < al.dec_ph.size(); ++k)
        g.phonemes.push_back(AlignedPhoneme{al.dec_ph[k], al.dec_gr.at(k), al.dec_spans.at(k)});
}

// Whether a group's records hold the syllables computed again, as heard or
// as written: the view is then built on the alignment behind them; otherwise
// it keeps to the records alone.
bool agrees(const GroupInput& g, const Text& text, const std::vector<SyllabeRec>& records, const PhonemeSets& sets) {
    if (same_syllables(g.syllables, records)) return true;
    ViewInput one{text, {g}};
    return same_syllables(written_records(build_letter_view(one, SyllableMode::Ecrites, sets), 0), records);
}

void keep_records_only(GroupInput& g, const std::vector<SyllabeRec>& records) {
    g.alignment_ok = false;
    g.phonemes.clear();
    g.syllables = records;
}

// Where the words of a sentence lie in the view's text: each word moves by
// its own amount when its span does not point at its letters.
class Layout {
public:
    explicit Layout(const SentenceResult& r) : text_(r.texte) {
        for (const GroupResult& g : r.groupes)
            for (const WordFacts& w : g.mots) words_.push_back(&w);
        if (!fits() && !find_in_text()) lay_out_anew();
        index_.reserve(words_.size());
        for (std::size_t i = 0; i < words_.size(); ++i) index_.emplace(words_[i], i);
        if (!deltas_.empty()) {
            for (std::size_t i = 0; i < words_.size(); ++i)
                if (!words_[i]->text.empty()) by_start_.push_back(i);
            std::stable_sort(by_start_.begin(), by_start_.end(),
                             [&](std::size_t a, std::size_t b) { return words_[a]->span.start < words_[b]->span.start; });
        }
    }

    const Text& text() const { return text_; }
    std::int64_t delta(const WordFacts& w) const { return deltas_.empty() ? 0 : deltas_[index_.at(&w)]; }
    Span word(const WordFacts& w) const {
        const std::int64_t start = w.span.start + delta(w);
        return Span{start, start + len(w)};
    }
    // A span of the analysis, its ends moved with the words they fall in (a
    // start between words with the next word, an end with the word before).
    Span span(Span s) const { return deltas_.empty() ? s : Span{moved(s.start, true), moved(s.end, false)}; }
    // A span of the view's text (from a letter to just after a letter) taken
    // back to the positions of the analysis.
    Span back(Span s) const {
        if (deltas_.empty()) return s;
        return Span{s.start - delta_at(s.start), s.end - delta_at(s.end - 1)};
    }

private:
    static std::int64_t len(const WordFacts& w) { return static_cast<std::int64_t>(w.text.size()); }

    bool fits() const {
        for (const WordFacts* w : words_) {
            if (w->span.start < 0 || w->span.start > static_cast<std::int64_t>(text_.size())) return false;
            if (TextView(text_).substr(static_cast<std::size_t>(w->span.start), w->text.size()) != w->text) return false;
        }
        return true;
    }

    bool find_in_text() {
        std::size_t cursor = 0;
        for (const WordFacts* w : words_) {
            const std::size_t at = text_.find(w->text, cursor);
            if (at == Text::npos) {
                deltas_.clear();
                return false;
            }
            deltas_.push_back(static_cast<std::int64_t>(at) - w->span.start);
            cursor = at + w->text.size();
        }
        return true;
    }

    void lay_out_anew() {
        text_.clear();
        for (const WordFacts* w : words_) {
            if (!text_.empty()) text_.push_back(U' ');
            deltas_.push_back(static_cast<std::int64_t>(text_.size()) - w->span.start);
            text_ += w->text;
        }
    }

    std::int64_t moved(std::int64_t p, bool is_start) const {
        const std::int64_t q = is_start ? p : p - 1;
        auto after = std::upper_bound(by_start_.begin(), by_start_.end(), q,
                                      [&](std::int64_t v, std::size_t i) { return v < words_[i]->span.start; });
        if (after != by_start_.begin()) {
            const std::size_t i = *(after - 1);
            const std::int64_t end = words_[i]->span.start + len(*words_[i]);
            if (q < end) return p + deltas_[i];
            if (!is_start) return end + deltas_[i];
        }
        if (is_start && after != by_start_.end()) return words_[*after]->span.start + deltas_[*after];
        return p;
    }

    std::int64_t delta_at(std::int64_t view_position) const {
        for (std::size_t i = 0; i < words_.size(); ++i) {
            const std::int64_t start = words_[i]->span.start + deltas_[i];
            if (view_position >= start && view_position < start + len(*words_[i])) return deltas_[i];
        }
        return 0;
    }

    Text text_;
    std::vector<const WordFacts*> words_;
    std::unordered_map<const WordFacts*, std::size_t> index_;
    std::vector<std::int64_t> deltas_;
    std::vector<std::size_t> by_start_;
};

std::vector<SyllabeRec> moved(std::vector<SyllabeRec> records, const Layout& layout) {
    for (SyllabeRec& s : records)
        if (s.span.start < s.span.end) s.span = layout.span(s.span);
    return records;
}

// A word analysed as the word analysis does it.
GroupInput word_group(TextView mot, TextView phone, const LinguisticContext& ctx) {
    GroupInput g;
    g.words.push_back(WordInput{Span{0, static_cast<std::int64_t>(mot.size())}, Text(), false});
    const PhonemeClassifier classes(ctx.sonority, ctx.sets);
    Analysis a = analyze_word(mot, phone, classes, ctx.table, ctx.silent_letters);
    g.syllables = std::move(a.syllabes);
    put_alignment(g, a.alignment);
    return g;
}

}  // namespace

ViewInput input_from_word(const WordResult& r, const LinguisticContext& ctx) {
    GroupInput g = word_group(r.mot, r.phone, ctx);
    if (!agrees(g, r.mot, r.syllabes, ctx.sets)) keep_records_only(g, r.syllabes);
    ViewInput in{r.mot, {}};
    in.groups.push_back(std::move(g));
    return in;
}

std::vector<SyllabeRec> written_word_records(TextView mot, TextView phone, const LinguisticContext& ctx) {
    const ViewInput in{Text(mot), {word_group(mot, phone, ctx)}};
    return written_records(build_letter_view(in, SyllableMode::Ecrites, ctx.sets), 0);
}

std::vector<SyllabeRec> written_group_records(const GroupResult& group, bool final_schwas,
                                              const LinguisticContext& ctx) {
    // The group alone, its words laid out in a text of their own.
    SentenceResult one;
    one.groupes.push_back(group);
    one.final_schwas = final_schwas;
    const Layout layout(one);
    const ViewInput in = input_from_sentence(one, ctx);
    std::vector<SyllabeRec> out = written_records(build_letter_view(in, SyllableMode::Ecrites, ctx.sets), 0);
    for (SyllabeRec& s : out)
        if (s.span.start < s.span.end) s.span = layout.back(s.span);
    return out;
}

ViewInput input_from_sentence(const SentenceResult& r, const LinguisticContext& ctx) {
    const Layout layout(r);
    ViewInput in{layout.text(), {}};
    for (const GroupResult& gr : r.groupes) {
        GroupInput g;
        std::vector<GroupWord> words;
        for (const WordFacts& w : gr.mots) {
            const bool schwa = r.final_schwas && takes_final_schwa(w.text, w.pos, w.phone, [&]() -> const PhonemeSets& { return ctx.sets; });
            g.words.push_back(WordInput{layout.word(w), w.pos, schwa, w.language, w.reread});
            words.push_back(GroupWord{w.text, w.span.start});
        }
        g.jonctions = gr.jonctions;
        if (gr.est_formule && gr.lecture) {
            g.formula = true;
            g.display = gr.lecture->display;
            const std::int64_t shift = gr.mots.empty() ? 0 : layout.delta(gr.mots.front());
            for (const ReadingStep& s : gr.lecture->steps)
                g.reading.push_back(ReadingStep{s.ortho, s.phone, Span{s.span.start + shift, s.span.end + shift}});
            g.syllables = gr.syllabes;
        } else if (!gr.phone_groupe.empty() && !words.empty()) {
            // Computed where the analysis computed it, then moved with the words.
            Analysis a = analyse_groupe(gr.phone_groupe, words, ctx);
            for (Span& s : a.alignment.dec_spans) s = layout.span(s);
            g.syllables = moved(std::move(a.syllabes), layout);
            put_alignment(g, a.alignment);
            if (!agrees(g, in.text, moved(gr.syllabes, layout), ctx.sets))
                keep_records_only(g, moved(gr.syllabes, layout));
        } else {
            keep_records_only(g, moved(gr.syllabes, layout));
        }
        in.groups.push_back(std::move(g));
    }
    return in;
}

std::vector<SyllabeRec> written_records(const LetterView& view, int group) {
    std::vector<SyllabeRec> out;
    for (const Syllable& s : view.syllables) {
        if (s.group != group) continue;
        SyllabeRec rec;
        rec.phone = s.phone;
        rec.span = s.letter_indices.empty() ? Span{0, 0} : s.span;
        for (int i : s.letter_indices) {
            const Letter& l = view.letters[static_cast<std::size_t>(i)];
            rec.ortho.push_back(l.character);
            if (l.role == Role::Muette) rec.ortho.push_back(SILENT_MARK);
        }
        auto part = [&](const Part& p, std::vector<PhonemeRec>& into) {
            for (int k : p.phonemes) {
                const PhonemeOut& ph = view.phonemes[static_cast<std::size_t>(k)];
                into.push_back(PhonemeRec{ph.ipa, without_marks(ph.grapheme)});
            }
        };
        part(s.attaque, rec.attaque);
        part(s.noyau, rec.noyau);
        part(s.coda, rec.coda);
        out.push_back(std::move(rec));
    }
    return out;
}

bool same_syllables(const std::vector<SyllabeRec>& a, const std::vector<SyllabeRec>& b) {
    auto same_group = [](const std::vector<PhonemeRec>& x, const std::vector<PhonemeRec>& y) {
        return std::equal(x.begin(), x.end(), y.begin(), y.end(), [](const PhonemeRec& p, const PhonemeRec& q) {
            return p.ipa == q.ipa && p.grapheme == q.grapheme;
        });
    };
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [&](const SyllabeRec& x, const SyllabeRec& y) {
        return x.phone == y.phone && x.ortho == y.ortho && x.span == y.span && same_group(x.attaque, y.attaque) &&
               same_group(x.noyau, y.noyau) && same_group(x.coda, y.coda);
    });
}

}  // namespace vantro::view
