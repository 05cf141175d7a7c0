#include "bindings/frontend/word_syllables.hpp"

#include "alignment/assembly.hpp"
#include "bindings/common/errors.hpp"
#include "phonology/sonority.hpp"
#include "results/syllable_builder.hpp"
#include "bindings/results/syllable_records.hpp"

namespace vantro::py {
namespace {

struct Scratch {
    Text word, phone;
    std::vector<Text> syllables;
    Alignment aligned;
    SyllableBuilder builder;
    SyllableRecords records;
    bool busy = false;
};

PyObject* run(Scratch& s, PyObject* word, PyObject* phone, const PhonemeClassifier& classes,
              const CompiledTable& table, const TextSet& silent) {
    return guarded([&]() -> PyObject* {
        assign_text(word, s.word);
        assign_text(phone, s.phone);
        syllabify_ipa(s.syllables, s.phone, classes);
        const Alignment& al = s.aligned;
        aligner(s.aligned, s.word, s.phone, table, silent);
        // The records are made as the syllables are built.
        try {
            s.builder.build(s.records, s.syllables, al.dec_ph, al.dec_gr, al.dec_spans, 0, al.ok, classes);
        } catch (...) {
            s.records.reset();
            throw;
        }
        return s.records.finish();
    });
}

}  // namespace

PyObject* word_syllables(PyObject* word, PyObject* phone, const PhonemeClassifier& classes,
                         const CompiledTable& table, const TextSet& silent_letters) {
    // Making the records may run Python code (a collection, a finalizer) that
    // analyses another word meanwhile: that one gets storage of its own.
    static Scratch shared;
    if (shared.busy) {
        Scratch own;
        return run(own, word, phone, classes, table, silent_letters);
    }
    shared.busy = true;
    PyObject* r = run(shared, word, phone, classes, table, silent_letters);
    shared.busy = false;
    return r;
}

}  // namespace vantro::py
