// A word or a reading group analysed: its syllables and the alignment they
// were built from, so that a view of the letters shows exactly what the
// syllables show.
#pragma once

#include "alignment/assembly.hpp"
#include "results/syllable.hpp"

namespace vantro {

struct Analysis {
    // One entry per aligned phoneme: the phoneme, its grapheme (silent "°"
    // and shared "²" marks kept) and its span in the caller's text.
    Alignment alignment;
    std::vector<SyllabeRec> syllabes;
};

}  // namespace vantro
