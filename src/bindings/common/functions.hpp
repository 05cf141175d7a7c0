// Conventions shared by the module's function tables.
#pragma once

#include "bindings/common/args.hpp"
#include "bindings/common/convert.hpp"

#define VANTRO_FASTCALL(name) \
    PyObject* name(PyObject* self, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames)

#define VANTRO_METHOD(pyname, fn, doc) \
    { pyname, reinterpret_cast<PyCFunction>(reinterpret_cast<void (*)(void)>(fn)), METH_FASTCALL | METH_KEYWORDS, doc }

namespace vantro::py {

// Each adds its functions to the main module; -1 with an error set on failure.
int add_phonology_functions(PyObject* module);
int add_alignment_functions(PyObject* module);
int add_results_functions(PyObject* module);
int add_grouping_functions(PyObject* module);
int add_formula_functions(PyObject* module);
int add_group_syllabifier_functions(PyObject* module);
int add_frontend(PyObject* module);
int add_text_functions(PyObject* module);
int add_reading_functions(PyObject* module);

}  // namespace vantro::py
