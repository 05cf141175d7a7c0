// Formula readings held by the caller's objects (LectureFormule or any object
// with `events` whose steps have `ortho`, `phone` and `span_source`), checked
// and turned into syllables by the core's rules. Both throw PythonError.
#pragma once

#include "bindings/common/convert.hpp"

namespace vantro::py {

// valider_spans_formule of the reading: ValueError at the first step whose
// source span starts after it ends.
void check_reading(PyObject* lecture);
// New list of Syllabe records, one per step, holding the steps' own objects.
PyObject* reading_syllables(PyObject* lecture);

}  // namespace vantro::py
