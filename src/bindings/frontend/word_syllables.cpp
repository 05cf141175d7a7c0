#include "bindings/frontend/word_syllables.hpp"

#include "bindings/common/errors.hpp"
#include "bindings/common/module_globals.hpp"
#include "bindings/results/syllable_records.hpp"
#include "frontend/word_analysis.hpp"

namespace vantro::py {
namespace {

struct Scratch {
    Text word, phone;
    WordAnalyzer analyzer;
    SyllableRecords records;
    bool busy = false;
};

PyObject* run(Scratch& s, PyObject* word, PyObject* phone, const PhonemeClassifier& classes,
              const CompiledTable& table, const TextSet& silent) {
    return guarded([&]() -> PyObject* {
        assign_text(word, s.word);
        assign_text(phone, s.phone);
        // The records are made as the syllables are built.
        try {
            s.analyzer.analyze(s.word, s.phone, classes, table, silent, s.records);
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
    static Scratch& shared = for_the_process<Scratch>();
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
