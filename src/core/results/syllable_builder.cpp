#include "results/syllable_builder.hpp"

#include <algorithm>
#include <array>

#include "common/grapheme_marks.hpp"
#include "common/offsets.hpp"
#include "phonology/classifier.hpp"
#include "phonology/constituents.hpp"
#include "phonology/tokens.hpp"

namespace vantro {

namespace {

bool has_char(TextView s, char32_t c) noexcept { return s.find(c) != TextView::npos; }

bool has_other_than(TextView s, char32_t c) noexcept {
    return std::any_of(s.begin(), s.end(), [c](char32_t x) { return x != c; });
}

Text without(TextView s, char32_t drop) {
    Text out;
    out.reserve(s.size());
    for (char32_t c : s)
        if (c != drop) out.push_back(c);
    return out;
}

// What a phoneme shows of its grapheme: the letters, no marker. A view of
// `s` itself when it holds no marker, else of `scratch`.
[[gnu::always_inline]] inline TextView letters_only(TextView s, Text& scratch) {
    for (char32_t c : s) {
        if (is_grapheme_mark(c)) {
            letters_of(s, scratch);
            return scratch;
        }
    }
    return s;
}

struct MappedEntry {
    TextView token;     // into the syllable's IPA
    TextView grapheme;  // into dec_gr ("" once the alignment has run out)
    Span span;
};

using Parts = std::optional<std::array<TextView, 3>>;
using Group = SyllableSink::Group;

// Onset, nucleus and coda from the IPA alone, every grapheme empty.
template <class Out>
void fill_without_letters(Out& out, TextView phone, const Parts& decomp) {
    auto bare = [&](Group g, TextView ipa) {
        for_each_phoneme(ipa, [&](TextView tok) { out.phoneme(g, tok, TextView()); });
    };
    if (!decomp) {
        bare(Group::Attaque, phone);
        return;
    }
    const auto& [att, noy, cod] = *decomp;
    bare(Group::Attaque, att);
    out.phoneme(Group::Noyau, noy, TextView());
    bare(Group::Coda, cod);
}

// The syllable's ortho is built in one string; part_end[k] is where the part
// of entry k ends in it, so that a "²" can be slipped in after an earlier part.
class OrthoParts {
public:
    explicit OrthoParts(std::size_t capacity) { part_end_.reserve(capacity); }

    void reset() {
        ortho_.clear();
        part_end_.clear();
    }
    void push(TextView part) {
        ortho_.append(part);
        part_end_.push_back(ortho_.size());
    }
    // Marks the nearest earlier part that still holds a letter.
    void mark_last_lettered_part() {
        for (std::size_t k = part_end_.size(); k-- > 0;) {
            std::size_t begin = k == 0 ? 0 : part_end_[k - 1];
            TextView part = TextView(ortho_).substr(begin, part_end_[k] - begin);
            if (letter_count(part) == 0) continue;
            ortho_.insert(ortho_.begin() + static_cast<std::ptrdiff_t>(part_end_[k]), SHARED_MARK);
            for (std::size_t j = k; j < part_end_.size(); ++j) ++part_end_[j];
            return;
        }
    }
    const Text& text() const noexcept { return ortho_; }

private:
    Text ortho_;
    std::vector<std::size_t> part_end_;
};

// Working buffers that keep their storage from word to word, one set per thread.
}  // namespace

struct SyllableBuilder::Buffers {
    std::vector<MappedEntry> mapped;
    OrthoParts parts{8};
    Text bridge_letter;
    Text letters;
};

namespace {

using BuilderBuffers = SyllableBuilder::Buffers;

// Out of line, so that the thread's copy is looked up once per call and not
// at every use.
[[gnu::noinline]] BuilderBuffers& builder_buffers() {
    thread_local BuilderBuffers buffers;
    return buffers;
}

void carry_to_previous(Text& prev_ortho, Span& prev_span, const Text& bridge_letter, bool doubled_to_prev,
                       const std::vector<MappedEntry>& mapped, std::int64_t word_offset) {
    if (!bridge_letter.empty()) {
        if (prev_ortho.ends_with(bridge_letter)) prev_ortho.resize(prev_ortho.size() - bridge_letter.size());
        prev_ortho.push_back(U'(');
        prev_ortho.append(bridge_letter);
        prev_ortho.push_back(U')');
        if (!mapped.empty()) {
            const Span& bridge = mapped.front().span;
            if (bridge.start < bridge.end) {
                std::int64_t bridge_abs_end = add_offset(word_offset, bridge.end);
                if (bridge_abs_end > prev_span.end) prev_span.end = bridge_abs_end;
            }
        }
    } else if (doubled_to_prev) {
        prev_ortho.push_back(SHARED_MARK);
    }
}

// Onset, nucleus and coda take their IPA from the decomposition and their
// graphemes from the mapped entries, by position.
template <class Out>
void fill_constituents(Out& out, const Parts& decomp, const std::vector<MappedEntry>& mapped, Text& scratch) {
    if (!decomp) {
        for (const MappedEntry& m : mapped) out.phoneme(Group::Attaque, m.token, letters_only(m.grapheme, scratch));
        return;
    }
    const auto& [att, noy, cod] = *decomp;
    std::size_t idx = 0;
    auto next_grapheme = [&] {
        const std::size_t i = idx++;
        return i < mapped.size() ? letters_only(mapped[i].grapheme, scratch) : TextView();
    };
    for_each_phoneme(att, [&](TextView tok) { out.phoneme(Group::Attaque, tok, next_grapheme()); });
    out.phoneme(Group::Noyau, noy, next_grapheme());
    for_each_phoneme(cod, [&](TextView tok) { out.phoneme(Group::Coda, tok, next_grapheme()); });
}

// Syllables into a vector of SyllabeRec, whose elements (and their storage,
// down to the phonemes' texts) are reused from call to call.
class RecordsOut {
public:
    explicit RecordsOut(std::vector<SyllabeRec>& v) : v_(v) {}
    void begin(TextView phone) {
        close();
        if (count_ == v_.size()) v_.emplace_back();
        SyllabeRec& s = v_[count_++];
        s.phone.clear();
        s.phone.append(phone);  // appending to an empty string costs less than assigning
        s.ortho.clear();
        s.span = Span{0, 0};
        used_ = {0, 0, 0};
    }
    void phoneme(Group g, TextView ipa, TextView letters) {
        SyllabeRec& s = v_[count_ - 1];
        auto& group = g == Group::Attaque ? s.attaque : g == Group::Noyau ? s.noyau : s.coda;
        std::size_t& n = used_[static_cast<std::size_t>(g)];
        if (n < group.size()) {
            PhonemeRec& p = group[n];
            p.ipa.clear();
            p.ipa.append(ipa);
            p.grapheme.clear();
            p.grapheme.append(letters);
        } else {
            group.push_back(PhonemeRec{Text(ipa), Text(letters)});
        }
        ++n;
    }
    Text& ortho() { return v_[count_ - 1].ortho; }
    Span& span() { return v_[count_ - 1].span; }
    void finish() {
        close();
        v_.resize(count_);
    }

private:
    // Drops the phonemes an earlier word left beyond those of the syllable last begun.
    void close() {
        if (count_ == 0) return;
        SyllabeRec& s = v_[count_ - 1];
        s.attaque.resize(used_[0]);
        s.noyau.resize(used_[1]);
        s.coda.resize(used_[2]);
    }

    std::vector<SyllabeRec>& v_;
    std::size_t count_ = 0;
    std::array<std::size_t, 3> used_{};
};

// Syllables handed to a SyllableSink as they come.
class SinkOut {
public:
    explicit SinkOut(SyllableSink& sink) : sink_(sink) {}
    void begin(TextView phone) { sink_.begin(phone); }
    void phoneme(Group g, TextView ipa, TextView letters) { sink_.phoneme(g, ipa, letters); }
    Text& ortho() { return sink_.ortho(); }
    Span& span() { return sink_.span(); }
    void finish() {}

private:
    SyllableSink& sink_;
};

// `classes` is the PhonemeSets or a PhonemeClassifier: whatever tells vowels apart.
template <class Out, class Classes>
void build_into(Out& out, BuilderBuffers& b, const std::vector<Text>& syll_phones, const std::vector<Text>& dec_ph,
                const std::vector<Text>& dec_gr, const std::vector<Span>& dec_spans, std::int64_t word_offset,
                bool alignment_ok, const Classes& classes) {
    const bool with_letters = alignment_ok && !dec_ph.empty();
    std::vector<MappedEntry>& mapped = b.mapped;
    OrthoParts& parts = b.parts;
    Text& bridge_letter = b.bridge_letter;
    std::size_t count = 0;

    std::size_t cursor = 0;
    for (const Text& syll_phone : syll_phones) {
        const Parts decomp = decouper_syllabe_views(syll_phone, classes);

        if (!with_letters) {
            out.begin(syll_phone);
            ++count;
            fill_without_letters(out, syll_phone, decomp);
            continue;
        }

        // Tokens take the aligned entries by position only; the IPA is never compared.
        mapped.clear();
        for_each_phoneme(syll_phone, [&](TextView p) {
            if (cursor < dec_ph.size()) {
                mapped.push_back(MappedEntry{p, dec_gr.at(cursor), dec_spans.at(cursor)});
                ++cursor;
            } else {
                mapped.push_back(MappedEntry{p, TextView(), Span{0, 0}});
            }
        });

        parts.reset();
        bool seen_span = false;
        std::int64_t rel_start = 0;
        std::int64_t rel_end = 0;
        bridge_letter.clear();
        bool doubled_to_prev = false;

        for (std::size_t idx = 0; idx < mapped.size(); ++idx) {
            const MappedEntry& m = mapped[idx];
            if (m.span.start < m.span.end) {
                rel_start = seen_span ? std::min(rel_start, m.span.start) : m.span.start;
                rel_end = std::max(rel_end, m.span.end);
                seen_span = true;
            }
            if (!has_char(m.grapheme, SHARED_MARK)) {
                parts.push(m.grapheme);
            } else if (idx == 0) {
                // The syllable opens on a letter it shares with the one before.
                Text clean = without(m.grapheme, SHARED_MARK);
                if (!clean.empty()) {
                    bridge_letter = without(clean, SILENT_MARK);
                    parts.push(clean);
                } else {
                    parts.push(TextView());
                    doubled_to_prev = true;
                }
            } else if (has_other_than(m.grapheme, SHARED_MARK)) {
                parts.push(m.grapheme);
            } else {
                parts.push(TextView());
                parts.mark_last_lettered_part();
            }
        }

        if (!seen_span || rel_start >= rel_end) rel_start = rel_end = 0;
        const Span span{add_offset(word_offset, rel_start), add_offset(word_offset, rel_end)};

        if (count > 0) carry_to_previous(out.ortho(), out.span(), bridge_letter, doubled_to_prev, mapped, word_offset);

        out.begin(syll_phone);
        ++count;
        Text& ortho = out.ortho();
        ortho.clear();
        ortho.append(parts.text());
        out.span() = span;
        fill_constituents(out, decomp, mapped, b.letters);
    }
    out.finish();
}

}  // namespace

void build_syllabes(std::vector<SyllabeRec>& out, const std::vector<Text>& syll_phones,
                    const std::vector<Text>& dec_ph, const std::vector<Text>& dec_gr,
                    const std::vector<Span>& dec_spans, std::int64_t word_offset, bool alignment_ok,
                    const PhonemeSets& sets) {
    RecordsOut records(out);
    build_into(records, builder_buffers(), syll_phones, dec_ph, dec_gr, dec_spans, word_offset, alignment_ok, sets);
}

void build_syllabes(std::vector<SyllabeRec>& out, const std::vector<Text>& syll_phones,
                    const std::vector<Text>& dec_ph, const std::vector<Text>& dec_gr,
                    const std::vector<Span>& dec_spans, std::int64_t word_offset, bool alignment_ok,
                    const PhonemeClassifier& classifier) {
    RecordsOut records(out);
    build_into(records, builder_buffers(), syll_phones, dec_ph, dec_gr, dec_spans, word_offset, alignment_ok,
               classifier);
}

void SyllableCollector::begin(TextView phone) { out_.push_back(SyllabeRec{Text(phone), {}, {}, {}, {}, {}}); }

void SyllableCollector::phoneme(Group group, TextView ipa, TextView letters) {
    SyllabeRec& s = out_.back();
    auto& g = group == Group::Attaque ? s.attaque : group == Group::Noyau ? s.noyau : s.coda;
    g.push_back(PhonemeRec{Text(ipa), Text(letters)});
}

SyllableBuilder::SyllableBuilder() : buffers_(std::make_unique<Buffers>()) {}
SyllableBuilder::~SyllableBuilder() = default;

void SyllableBuilder::build(SyllableSink& sink, const std::vector<Text>& syll_phones, const std::vector<Text>& dec_ph,
                            const std::vector<Text>& dec_gr, const std::vector<Span>& dec_spans,
                            std::int64_t word_offset, bool alignment_ok, const PhonemeClassifier& classifier) {
    SinkOut out(sink);
    build_into(out, *buffers_, syll_phones, dec_ph, dec_gr, dec_spans, word_offset, alignment_ok, classifier);
}

std::vector<SyllabeRec> build_syllabes(const std::vector<Text>& syll_phones, const std::vector<Text>& dec_ph,
                                       const std::vector<Text>& dec_gr, const std::vector<Span>& dec_spans,
                                       std::int64_t word_offset, bool alignment_ok, const PhonemeSets& sets) {
    std::vector<SyllabeRec> result;
    result.reserve(syll_phones.size());
    build_syllabes(result, syll_phones, dec_ph, dec_gr, dec_spans, word_offset, alignment_ok, sets);
    return result;
}

}  // namespace vantro
