#include "frontend/word_analysis.hpp"

#include "phonology/sonority.hpp"

namespace vantro {

void WordAnalyzer::analyze(TextView word, TextView phone, const PhonemeClassifier& classes,
                           const CompiledTable& table, const TextSet& silent_letters, SyllableSink& sink,
                           Alignment* alignment) {
    syllabify_ipa(syllables_, phone, classes);
    aligner(aligned_, word, phone, table, silent_letters);
    builder_.build(sink, syllables_, aligned_.dec_ph, aligned_.dec_gr, aligned_.dec_spans, 0, aligned_.ok, classes);
    if (alignment) *alignment = aligned_;
}

Analysis analyze_word(TextView word, TextView phone, const PhonemeClassifier& classes, const CompiledTable& table,
                      const TextSet& silent_letters) {
    Analysis a;
    SyllableCollector sink(a.syllabes);
    WordAnalyzer().analyze(word, phone, classes, table, silent_letters, sink, &a.alignment);
    return a;
}

}  // namespace vantro
