// Conventions shared by the module's function tables.
#pragma once

#include "bindings/common/args.hpp"
#include "bindings/common/convert.hpp"

#define VANTRO_FASTCALL(name) \
    PyObject* name(PyObject* self, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames)

#define VANTRO_METHOD(pyname, fn, doc) \
    { pyname, reinterpret_cast<PyCFunction>(reinterpret_cast<void (*)(void)>(fn)), METH_FASTCALL | METH_KEYWORDS, doc }

namespace vantro::py {

// The module-level functions, one table per folder of the bindings, added
// to the main module when it loads.
extern PyMethodDef phonology_functions[];
extern PyMethodDef alignment_functions[];
extern PyMethodDef results_functions[];
extern PyMethodDef grouping_functions[];
extern PyMethodDef formula_functions[];
extern PyMethodDef group_syllabifier_functions[];
extern PyMethodDef text_functions[];
extern PyMethodDef reading_functions[];
extern PyMethodDef view_functions[];
extern PyMethodDef pronunciation_functions[];

// The phonemizers and the facade; -1 with an error set on failure.
int add_frontend(PyObject* module);

}  // namespace vantro::py
