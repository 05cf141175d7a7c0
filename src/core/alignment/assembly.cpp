#include "alignment/assembly.hpp"

#include <algorithm>
#include <stdexcept>

#include "common/grapheme_marks.hpp"
#include "common/offsets.hpp"
#include "phonology/tokens.hpp"

namespace vantro {

namespace {

void build_spans(std::vector<Span>& spans, const std::vector<Text>& align_gr) {
    spans.clear();
    std::int64_t pos = 0;
    for (const Text& g : align_gr) {
        const std::int64_t n = letter_count(g);
        spans.push_back(Span{pos, pos + n});
        pos += n;
    }
}

}  // namespace

std::vector<Span> build_spans(const std::vector<Text>& align_gr) {
    std::vector<Span> spans;
    spans.reserve(align_gr.size());
    build_spans(spans, align_gr);
    return spans;
}

void phonemise_alignment(Alignment& out, const std::vector<Text>& align_ph, const std::vector<Text>& align_gr,
                         const std::vector<Span>& spans) {
    out.dec_ph.clear();
    out.dec_gr.clear();
    out.dec_spans.clear();
    out.ok = false;
    const std::size_t n = std::min({align_ph.size(), align_gr.size(), spans.size()});
    out.dec_ph.reserve(n);
    out.dec_gr.reserve(n);
    out.dec_spans.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        const Text& ph = align_ph[i];
        const Text& gr = align_gr[i];
        const Span span = spans[i];
        if (ph.empty()) throw std::out_of_range("alignment element without any phoneme token");
        const std::size_t split_at = phoneme_end(ph, 0);
        if (split_at == ph.size()) {
            out.dec_ph.push_back(ph);
            out.dec_gr.push_back(gr);
            out.dec_spans.push_back(span);
            continue;
        }

        // The first phoneme gets the first character, the others share the rest.
        const Text g0 = gr.empty() ? Text() : gr.substr(0, 1);
        const auto g0_len = static_cast<std::int64_t>(g0.size());
        out.dec_ph.push_back(ph.substr(0, split_at));
        out.dec_gr.push_back(g0);
        out.dec_spans.push_back(Span{span.start, add_offset(span.start, g0_len)});

        // The remaining tokens, joined, are the rest of the text.
        Text rest = ph.substr(split_at);
        const Text g1 = gr.size() > 1 ? gr.substr(1) : Text();
        out.dec_ph.push_back(std::move(rest));
        if (g1.empty()) {
            out.dec_gr.emplace_back();
            out.dec_spans.push_back(Span{span.end, span.end});
            continue;
        }
        const std::int64_t g1_letters = letter_count(g1);
        if (g1_letters > 0) {
            out.dec_gr.push_back(g1);
            const std::int64_t g1_start = add_offset(span.start, g0_len);
            out.dec_spans.push_back(Span{g1_start, add_offset(g1_start, g1_letters)});
        } else {
            // Only markers left: the second phoneme shares the first one's letter.
            out.dec_gr.push_back(g0 + SHARED_MARK);
            out.dec_spans.push_back(Span{span.start, add_offset(span.start, g0_len)});
        }
    }
    out.ok = true;
}

Alignment phonemise_alignment(const std::vector<Text>& align_ph, const std::vector<Text>& align_gr,
                              const std::vector<Span>& spans) {
    Alignment out;
    phonemise_alignment(out, align_ph, align_gr, spans);
    return out;
}

namespace {

// The search's result and the spans, kept from call to call on each thread;
// out of line, so that the thread's copy is looked up once per call.
struct AlignerBuffers {
    SearchResult found;
    std::vector<Span> spans;
};
[[gnu::noinline]] AlignerBuffers& aligner_buffers() {
    thread_local AlignerBuffers buffers;
    return buffers;
}

}  // namespace

void aligner(Alignment& out, TextView ortho, TextView phone, const CompiledTable& table,
             const TextSet& silent_letters, const std::vector<std::int64_t>* word_boundaries) {
    AlignerBuffers& b = aligner_buffers();
    alignement_v2(b.found, ortho, phone, table, silent_letters, word_boundaries);
    if (!b.found.ok) {
        out.dec_ph.clear();
        out.dec_gr.clear();
        out.dec_spans.clear();
        out.ok = false;
        return;
    }
    // Mostly every element is a single phoneme: then nothing splits, and the
    // search's own vectors become the result (the search refills the ones
    // it gets back on the next call).
    bool splits = false;
    for (const Text& ph : b.found.align_ph) {
        if (ph.empty() || phoneme_end(ph, 0) != ph.size()) {
            splits = true;
            break;
        }
    }
    if (!splits) {
        build_spans(out.dec_spans, b.found.align_gr);
        out.dec_ph.swap(b.found.align_ph);
        out.dec_gr.swap(b.found.align_gr);
        out.ok = true;
        return;
    }
    build_spans(b.spans, b.found.align_gr);
    phonemise_alignment(out, b.found.align_ph, b.found.align_gr, b.spans);
}

Alignment aligner(TextView ortho, TextView phone, const CompiledTable& table, const TextSet& silent_letters,
                  const std::vector<std::int64_t>* word_boundaries) {
    Alignment out;
    aligner(out, ortho, phone, table, silent_letters, word_boundaries);
    return out;
}

}  // namespace vantro
