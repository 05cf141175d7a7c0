// Compiled forms of the shared linguistic tables, kept in step with Python.
//
// The tables live in vantro_aligneur._chargeur as Python objects that callers
// may change at any time. The core wants them as code-point sets and a
// compiled phoneme table. Each accessor here calls the module-level accessor
// (as bound in the main module at call time), and reuses the compiled form
// as long as the Python object still holds the very same items; any change a
// caller makes (or a replaced accessor) is seen by the next call.
//
// A compiled form is never changed once handed out: a change makes a new one.
// Callers hold what they fetched (a Shared) for the whole time they use it,
// since fetching runs Python code that may itself analyse, with other data,
// before the first fetch is used.
#pragma once

#include <memory>

#include "alignment/phone_table.hpp"
#include "bindings/data/data_watch.hpp"
#include "bindings/common/convert.hpp"
#include "phonology/classifier.hpp"
#include "phonology/classifier_queries.hpp"
#include "phonology/phoneme_sets.hpp"
#include "phonology/sonority.hpp"

namespace vantro::py {

template <class T>
using Shared = std::shared_ptr<const T>;

// A compiled phoneme table for one Python dict, rebuilt only when the dict's
// keys, lists or graphemes are no longer the same objects. Made once for the
// process (see for_the_process).
class TableCache {
public:
    Shared<CompiledTable> get(PyObject* dict);  // empty with an error set

private:
    DictWatch watch_;
    Shared<CompiledTable> table_;
};

// Each returns an empty Shared with a Python error set when an accessor fails.
Shared<PhonemeSets> current_phoneme_sets();
Shared<CompiledTable> current_phone_table();
Shared<TextSet> current_silent_letters();
Shared<TextMap<Text>> current_liaisons();
// The sonority classes of the module (`_SONORITY`).
Shared<SonorityClasses> current_sonority();
// Both of the above (refreshed in that order) behind one classifier, which
// keeps them alive.
Shared<PhonemeClassifier> current_classifier();

// The classifier for one analysis, taken without reading the sets item by
// item when they are all sets: the analysis runs with log() open
// (ClassifierQueryScope), and afterwards still_holds() asks the sets, as
// they are now, every question the classifier was asked. When it
// is false, compile() reads the same set objects in full and the analysis
// is made again with the new classifier. The accessors are called once, by
// take(), in the order current_classifier() calls them.
class CheckedClassifier {
public:
    bool take();  // false with a Python error set
    const PhonemeClassifier& get() const { return *classifier_; }
    ClassifierQueries& log() { return log_; }
    bool still_holds();
    bool compile();  // false with a Python error set

private:
    Shared<PhonemeClassifier> classifier_;
    bool checked_ = false;  // taken without reading the sets
    Ref objects_[8];        // the classes O, N, L, Y, V; voyelles, consonnes, semi_voyelles
    ClassifierQueries log_;
};

// Converts a _SonorityClasses-like object (attributes O, N, L, Y, V holding
// sets of str) for the functions that take `classes` explicitly.
bool sonority_from_object(PyObject* classes, SonorityClasses& out);
// Reads the alphabet (a dict of symbol -> entry) the way the sonority builder does.
bool alphabet_from_object(PyObject* alphabet, Alphabet& out);

}  // namespace vantro::py
