// The analysis of one written word with its pronunciation: the IPA cut into
// syllables by sonority, the word aligned with it, and the syllables built
// over the alignment, with their letters, spans (in the word) and onset,
// nucleus and coda. A failed alignment still gives syllables, without letters.
#pragma once

#include "alignment/assembly.hpp"
#include "alignment/phone_table.hpp"
#include "phonology/classifier.hpp"
#include "results/analysis.hpp"
#include "results/syllable_builder.hpp"

namespace vantro {

// Keeps its working storage from word to word: one analyzer per thread, and
// one per nesting level when a sink may analyse other words meanwhile.
class WordAnalyzer {
public:
    // The syllables go to `sink` as they are built; when `alignment` is
    // given, the alignment behind them is copied there.
    void analyze(TextView word, TextView phone, const PhonemeClassifier& classes, const CompiledTable& table,
                 const TextSet& silent_letters, SyllableSink& sink, Alignment* alignment = nullptr);

private:
    std::vector<Text> syllables_;
    Alignment aligned_;
    SyllableBuilder builder_;
};

// The same, as plain values.
Analysis analyze_word(TextView word, TextView phone, const PhonemeClassifier& classes, const CompiledTable& table,
                      const TextSet& silent_letters);

}  // namespace vantro
