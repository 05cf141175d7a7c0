// Building the letter view of a text from its analysed reading groups.
#pragma once

#include "phonology/phoneme_sets.hpp"
#include "view/letter_view.hpp"

namespace vantro::view {

// Every character of every word of `input` once, in exactly one syllable of
// the requested kind (a group without syllables, or whose alignment failed in
// the spoken mode, leaves its letters outside any syllable). Spans that fall
// outside the text or outside the group's words are ignored, never trusted.
LetterView build_letter_view(const ViewInput& input, SyllableMode mode, const PhonemeSets& sets);

}  // namespace vantro::view
