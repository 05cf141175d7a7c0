#include "results/syllable_builder.hpp"

#include <algorithm>

#include "common/offsets.hpp"
#include "phonology/classifier.hpp"
#include "phonology/constituents.hpp"
#include "phonology/tokens.hpp"

namespace vantro {

namespace {

constexpr char32_t SILENT_MARK = U'\u00B0';  // follows a silent letter
constexpr char32_t SHARED_MARK = U'\u00B2';  // letter shared with the phoneme before

bool has_char(TextView s, char32_t c) noexcept { return s.find(c) != TextView::npos; }

bool has_other_than(TextView s, char32_t c) noexcept {
    return std::any_of(s.begin(), s.end(), [c](char32_t x) { return x != c; });
}

bool has_letter(TextView s) noexcept {
    return std::any_of(s.begin(), s.end(), [](char32_t c) { return c != SILENT_MARK && c != SHARED_MARK; });
}

Text without(TextView s, char32_t drop) {
    Text out;
    out.reserve(s.size());
    for (char32_t c : s)
        if (c != drop) out.push_back(c);
    return out;
}

// What a phoneme shows of its grapheme: the letters, no marker.
Text letters_only(TextView s) {
    Text out;
    out.reserve(s.size());
    for (char32_t c : s)
        if (c != SILENT_MARK && c != SHARED_MARK) out.push_back(c);
    return out;
}

struct MappedEntry {
    TextView token;     // into the syllable's IPA
    TextView grapheme;  // into dec_gr ("" once the alignment has run out)
    Span span;
};

using Parts = std::optional<std::array<TextView, 3>>;

void append_bare_phonemes(std::vector<PhonemeRec>& group, TextView ipa) {
    group.reserve(group.size() + count_phonemes(ipa));
    for_each_phoneme(ipa, [&](TextView tok) { group.push_back(PhonemeRec{Text(tok), Text()}); });
}

// Onset, nucleus and coda from the IPA alone, every grapheme empty.
void fill_without_letters(SyllabeRec& s, const Parts& decomp) {
    if (!decomp) {
        append_bare_phonemes(s.attaque, s.phone);
        return;
    }
    const auto& [att, noy, cod] = *decomp;
    append_bare_phonemes(s.attaque, att);
    s.noyau.push_back(PhonemeRec{Text(noy), Text()});
    append_bare_phonemes(s.coda, cod);
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
            if (!has_letter(part)) continue;
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
struct BuilderBuffers {
    std::vector<MappedEntry> mapped;
    OrthoParts parts{8};
    Text bridge_letter;
};

// Out of line, so that the thread's copy is looked up once per call and not
// at every use.
[[gnu::noinline]] BuilderBuffers& builder_buffers() {
    thread_local BuilderBuffers buffers;
    return buffers;
}

void carry_to_previous(SyllabeRec& prev, const Text& bridge_letter, bool doubled_to_prev,
                       const std::vector<MappedEntry>& mapped, std::int64_t word_offset) {
    if (!bridge_letter.empty()) {
        if (prev.ortho.ends_with(bridge_letter)) prev.ortho.resize(prev.ortho.size() - bridge_letter.size());
        prev.ortho.push_back(U'(');
        prev.ortho.append(bridge_letter);
        prev.ortho.push_back(U')');
        if (!mapped.empty()) {
            const Span& bridge = mapped.front().span;
            if (bridge.start < bridge.end) {
                std::int64_t bridge_abs_end = add_offset(word_offset, bridge.end);
                if (bridge_abs_end > prev.span.end) prev.span.end = bridge_abs_end;
            }
        }
    } else if (doubled_to_prev) {
        prev.ortho.push_back(SHARED_MARK);
    }
}

// Onset, nucleus and coda take their IPA from the decomposition and their
// graphemes from the mapped entries, by position.
void fill_constituents(SyllabeRec& syl, const Parts& decomp, const std::vector<MappedEntry>& mapped) {
    if (!decomp) {
        syl.attaque.reserve(mapped.size());
        for (const MappedEntry& m : mapped) syl.attaque.push_back(PhonemeRec{Text(m.token), letters_only(m.grapheme)});
        return;
    }
    const auto& [att, noy, cod] = *decomp;
    std::size_t idx = 0;
    auto next_grapheme = [&] {
        const std::size_t i = idx++;
        return i < mapped.size() ? letters_only(mapped[i].grapheme) : Text();
    };
    syl.attaque.reserve(count_phonemes(att));
    for_each_phoneme(att, [&](TextView tok) { syl.attaque.push_back(PhonemeRec{Text(tok), next_grapheme()}); });
    syl.noyau.push_back(PhonemeRec{Text(noy), next_grapheme()});
    syl.coda.reserve(count_phonemes(cod));
    for_each_phoneme(cod, [&](TextView tok) { syl.coda.push_back(PhonemeRec{Text(tok), next_grapheme()}); });
}

// `classes` is the PhonemeSets or a PhonemeClassifier: whatever tells vowels apart.
template <class Classes>
void build_into(std::vector<SyllabeRec>& out, const std::vector<Text>& syll_phones, const std::vector<Text>& dec_ph,
                const std::vector<Text>& dec_gr, const std::vector<Span>& dec_spans, std::int64_t word_offset,
                bool alignment_ok, const Classes& classes) {
    const bool with_letters = alignment_ok && !dec_ph.empty();
    BuilderBuffers& b = builder_buffers();
    std::vector<MappedEntry>& mapped = b.mapped;
    OrthoParts& parts = b.parts;
    Text& bridge_letter = b.bridge_letter;

    // Syllables already in `out` are reused, storage included.
    std::size_t count = 0;
    auto next_syllable = [&](const Text& phone) -> SyllabeRec& {
        if (count == out.size()) out.emplace_back();
        SyllabeRec& s = out[count++];
        s.phone.assign(phone);
        s.ortho.clear();
        s.span = Span{0, 0};
        s.attaque.clear();
        s.noyau.clear();
        s.coda.clear();
        return s;
    };

    std::size_t cursor = 0;
    for (const Text& syll_phone : syll_phones) {
        const Parts decomp = decouper_syllabe_views(syll_phone, classes);

        if (!with_letters) {
            fill_without_letters(next_syllable(syll_phone), decomp);
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

        if (count > 0) carry_to_previous(out[count - 1], bridge_letter, doubled_to_prev, mapped, word_offset);

        SyllabeRec& syl = next_syllable(syll_phone);
        syl.ortho.assign(parts.text());
        syl.span = span;
        fill_constituents(syl, decomp, mapped);
    }
    out.resize(count);
}

}  // namespace

void build_syllabes(std::vector<SyllabeRec>& out, const std::vector<Text>& syll_phones,
                    const std::vector<Text>& dec_ph, const std::vector<Text>& dec_gr,
                    const std::vector<Span>& dec_spans, std::int64_t word_offset, bool alignment_ok,
                    const PhonemeSets& sets) {
    build_into(out, syll_phones, dec_ph, dec_gr, dec_spans, word_offset, alignment_ok, sets);
}

void build_syllabes(std::vector<SyllabeRec>& out, const std::vector<Text>& syll_phones,
                    const std::vector<Text>& dec_ph, const std::vector<Text>& dec_gr,
                    const std::vector<Span>& dec_spans, std::int64_t word_offset, bool alignment_ok,
                    const PhonemeClassifier& classifier) {
    build_into(out, syll_phones, dec_ph, dec_gr, dec_spans, word_offset, alignment_ok, classifier);
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
