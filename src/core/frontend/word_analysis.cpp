#include "frontend/word_analysis.hpp"

#include "phonology/sonority.hpp"

namespace vantro {

namespace {

// Syllables kept as SyllabeRec values.
class RecordsSink final : public SyllableSink {
public:
    explicit RecordsSink(std::vector<SyllabeRec>& out) : out_(out) {}
    void begin(TextView phone) override { out_.push_back(SyllabeRec{Text(phone), {}, {}, {}, {}, {}}); }
    void phoneme(Group group, TextView ipa, TextView letters) override {
        SyllabeRec& s = out_.back();
        auto& g = group == Group::Attaque ? s.attaque : group == Group::Noyau ? s.noyau : s.coda;
        g.push_back(PhonemeRec{Text(ipa), Text(letters)});
    }
    Text& ortho() override { return out_.back().ortho; }
    Span& span() override { return out_.back().span; }

private:
    std::vector<SyllabeRec>& out_;
};

}  // namespace

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
    RecordsSink sink(a.syllabes);
    WordAnalyzer().analyze(word, phone, classes, table, silent_letters, sink, &a.alignment);
    return a;
}

}  // namespace vantro
