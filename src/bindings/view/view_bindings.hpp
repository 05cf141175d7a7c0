// The written syllables the analyses return when they are asked for (the
// view's own functions are in the table view_functions, functions.hpp).
#pragma once

#include <Python.h>

namespace vantro::py {

// New list of the written syllables (Syllabe records) of `mot` read `phone`.
PyObject* written_word_syllables(PyObject* mot, PyObject* phone);

// When `options` asks for written syllables, replaces the `syllabes` of each
// ResultatGroupe of `resultats` by its written syllables. -1 with an error set.
int write_group_syllables(PyObject* resultats, PyObject* options);

}  // namespace vantro::py
