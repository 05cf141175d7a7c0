// Segmentation search: which letters of a written form spell which phoneme.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>

#include "alignment/phone_table.hpp"
#include "common/text.hpp"

namespace vantro {

// Inputs longer than this (in code points, written form or pronunciation)
// are refused with InputTooLong rather than searched. Real words and reading
// groups are far shorter; the bound keeps crafted input (long runs of one
// ambiguous letter, where the number of distinct search states grows with
// the product of the two lengths) within tens of milliseconds and megabytes.
constexpr std::size_t MAX_ALIGNMENT_INPUT = 1024;

struct InputTooLong : std::length_error {
    using std::length_error::length_error;
};

struct SearchResult {
    std::vector<Text> align_ph;  // table keys or single tokens
    std::vector<Text> align_gr;  // one grapheme per element, written case, with "°" / "²"
    bool ok = false;
};

// The best alignment of `ortho` with `phone`: among the alignments of the
// first 32 phoneme groupings, the one with the smallest key
// (silent letters, silent-letter positions, graphemes outside the table,
// number of graphemes), the first found among equals. Returns exactly what
// an exhaustive depth-first search would, in time polynomial in the input:
// no recursion on the call stack, dominated and dead branches are cut.
// `silent_letters` holds the letters that may be silent (lower case);
// `word_boundaries` the ends of the words of a reading group, if any.
SearchResult alignement_v2(TextView ortho, TextView phone, const CompiledTable& table,
                           const TextSet& silent_letters,
                           const std::vector<std::int64_t>* word_boundaries = nullptr);
// The same into `result`, whose vectors keep their storage from call to call.
void alignement_v2(SearchResult& result, TextView ortho, TextView phone, const CompiledTable& table,
                   const TextSet& silent_letters, const std::vector<std::int64_t>* word_boundaries = nullptr);

}  // namespace vantro
