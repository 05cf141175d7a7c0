// The syllables of one written word as Python records, made while the core's
// word analysis builds them (the hot path of `analyze`).
#pragma once

#include "alignment/phone_table.hpp"
#include "bindings/common/convert.hpp"
#include "phonology/classifier.hpp"

namespace vantro::py {

// New list of Syllabe records for `word` (str) pronounced `phone` (str);
// nullptr with a Python error set (core errors converted). The working
// storage is kept from word to word.
PyObject* word_syllables(PyObject* word, PyObject* phone, const PhonemeClassifier& classes,
                         const CompiledTable& table, const TextSet& silent_letters);

}  // namespace vantro::py
