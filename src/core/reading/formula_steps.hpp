// The reading of a formula token (a number, a sign, an abbreviation, a code),
// one step per syllable of what is said, in the order it is said.
#pragma once

#include <vector>

#include "common/text.hpp"
#include "reading/placed_syllables.hpp"
#include "results/syllable.hpp"

namespace vantro::reading {

struct FormulaStep {
    Text ortho;         // the letters of the spoken words this step says ("sept", "vin", "te")
    Text phone;         // the syllable
    Span span_source;   // the formula in the caller's text
    Span span_lecture;  // the step's letters in the spoken words
};

// `display`: the formula said in words ("huit heures trente"); `phone`: its
// share of the reading. The letters of each step come from aligning the
// words with the sounds; when they cannot be aligned, the first step shows
// the whole of `display` and the others no letters.
std::vector<FormulaStep> formula_steps(TextView display, TextView phone, Span source, const SyllableContext& ctx,
                                       SyllableCache& cache);

// One syllable per step, the whole step in the nucleus, as a formula group
// shows it; each syllable's span is its step's span_source.
SharedSyllables syllables_of_steps(const std::vector<FormulaStep>& steps);

}  // namespace vantro::reading
