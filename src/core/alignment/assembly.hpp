// From the best segmentation to the alignment: spans and single phonemes.
#pragma once

#include "alignment/search.hpp"
#include "common/text.hpp"

namespace vantro {

struct Alignment {
    std::vector<Text> dec_ph;
    std::vector<Text> dec_gr;
    std::vector<Span> dec_spans;
    bool ok = false;
};

// Spans counted from the graphemes alone, markers "°" and "²" taking no room.
std::vector<Span> build_spans(const std::vector<Text>& align_gr);

// Splits entries of several phoneme tokens in two: the first token with the
// first letter, the rest with the remaining letters (or a shared "²").
// Walks the three lists up to the shortest. Throws std::out_of_range on an
// element with no token, std::overflow_error on a span beyond 64 bits.
Alignment phonemise_alignment(const std::vector<Text>& align_ph, const std::vector<Text>& align_gr,
                              const std::vector<Span>& spans);
// The same into `out`, whose vectors keep their storage.
void phonemise_alignment(Alignment& out, const std::vector<Text>& align_ph, const std::vector<Text>& align_gr,
                         const std::vector<Span>& spans);

Alignment aligner(TextView ortho, TextView phone, const CompiledTable& table, const TextSet& silent_letters,
                  const std::vector<std::int64_t>* word_boundaries = nullptr);
// The same into `out`, whose vectors keep their storage: for callers that
// align word after word.
void aligner(Alignment& out, TextView ortho, TextView phone, const CompiledTable& table,
             const TextSet& silent_letters, const std::vector<std::int64_t>* word_boundaries = nullptr);

}  // namespace vantro
