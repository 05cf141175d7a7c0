// Lays IPA syllables over an alignment: letters, spans, onset/nucleus/coda.
#pragma once

#include <memory>

#include "common/text.hpp"
#include "phonology/phoneme_sets.hpp"
#include "results/syllable.hpp"

namespace vantro {

class PhonemeClassifier;

// One syllable per entry of `syll_phones`. Aligned entries are taken by
// position; "²" carries a shared letter over to the previous syllable.
// Without an alignment (ok false or no entry) the syllables have no letters.
// Entries that run out leave later syllables with no letters and the span
// (word_offset, word_offset). dec_gr and dec_spans must cover every entry of
// dec_ph that a syllable reaches (std::out_of_range otherwise). A span moved
// by word_offset beyond 64 bits throws std::overflow_error.
std::vector<SyllabeRec> build_syllabes(const std::vector<Text>& syll_phones, const std::vector<Text>& dec_ph,
                                       const std::vector<Text>& dec_gr, const std::vector<Span>& dec_spans,
                                       std::int64_t word_offset, bool alignment_ok, const PhonemeSets& sets);

// The same into `out`, whose syllables (and their storage) are reused: for
// callers that build word after word. After an exception the content of
// `out` is unspecified.
void build_syllabes(std::vector<SyllabeRec>& out, const std::vector<Text>& syll_phones,
                    const std::vector<Text>& dec_ph, const std::vector<Text>& dec_gr,
                    const std::vector<Span>& dec_spans, std::int64_t word_offset, bool alignment_ok,
                    const PhonemeSets& sets);
void build_syllabes(std::vector<SyllabeRec>& out, const std::vector<Text>& syll_phones,
                    const std::vector<Text>& dec_ph, const std::vector<Text>& dec_gr,
                    const std::vector<Span>& dec_spans, std::int64_t word_offset, bool alignment_ok,
                    const PhonemeClassifier& classifier);

// Receives the syllables of build_syllabes one after the other. The letters
// and span of the syllable last begun may still change (a letter it shares
// with the next syllable is added) until the next begin() or the end of the
// build; phonemes never change once given. Views are valid during the call.
class SyllableSink {
public:
    enum class Group { Attaque, Noyau, Coda };
    virtual void begin(TextView phone) = 0;
    virtual void phoneme(Group group, TextView ipa, TextView letters) = 0;
    // The letters and span of the syllable last begun.
    virtual Text& ortho() = 0;
    virtual Span& span() = 0;

protected:
    ~SyllableSink() = default;
};

// A sink that keeps the syllables as SyllabeRec values, appended to `out`.
class SyllableCollector final : public SyllableSink {
public:
    explicit SyllableCollector(std::vector<SyllabeRec>& out) : out_(out) {}
    void begin(TextView phone) override;
    void phoneme(Group group, TextView ipa, TextView letters) override;
    Text& ortho() override { return out_.back().ortho; }
    Span& span() override { return out_.back().span; }

private:
    std::vector<SyllabeRec>& out_;
};

// build_syllabes into a sink, with working storage of its own: a sink may
// run code that builds other words (with other builders) meanwhile.
class SyllableBuilder {
public:
    SyllableBuilder();
    ~SyllableBuilder();
    SyllableBuilder(const SyllableBuilder&) = delete;
    SyllableBuilder& operator=(const SyllableBuilder&) = delete;

    void build(SyllableSink& sink, const std::vector<Text>& syll_phones, const std::vector<Text>& dec_ph,
               const std::vector<Text>& dec_gr, const std::vector<Span>& dec_spans, std::int64_t word_offset,
               bool alignment_ok, const PhonemeClassifier& classifier);

    struct Buffers;

private:
    std::unique_ptr<Buffers> buffers_;
};

}  // namespace vantro
