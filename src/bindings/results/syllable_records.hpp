// Python records for the syllables the core builds.
#pragma once

#include "bindings/common/convert.hpp"
#include "results/syllable.hpp"
#include "results/syllable_builder.hpp"

namespace vantro::py {

// New list of Syllabe records (each with its three GroupePhonologique).
PyObject* syllabes_to_list(const std::vector<SyllabeRec>& syllabes);

// Makes the records while the syllable builder runs, without the SyllabeRec
// in between. A failure (no memory) is kept and reported by finish(); the
// calls after it do nothing.
class SyllableRecords final : public SyllableSink {
public:
    SyllableRecords() = default;
    SyllableRecords(const SyllableRecords&) = delete;
    SyllableRecords& operator=(const SyllableRecords&) = delete;
    ~SyllableRecords();

    void begin(TextView phone) override;
    void phoneme(Group group, TextView ipa, TextView letters) override;
    Text& ortho() override { return ortho_; }
    Span& span() override { return span_; }

    // New list of the Syllabe records, or nullptr with an error set; either
    // way the sink is then empty, ready for the next word.
    PyObject* finish();
    // Drops whatever was made (after an error).
    void reset();

private:
    void close();  // the Syllabe record of the open syllable

    std::vector<PyObject*> syllabes_;
    std::vector<PyObject*> groups_[3];
    PyObject* phone_ = nullptr;
    Text ortho_;
    Span span_;
    bool open_ = false;
    bool failed_ = false;
};

}  // namespace vantro::py
