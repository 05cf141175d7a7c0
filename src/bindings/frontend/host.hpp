// What the front end takes from the host at call time: module globals, the
// module logger, subprocess.run, and the shared layout of its C types.
#pragma once

#include "bindings/common/convert.hpp"
#include "bindings/common/module_globals.hpp"
#include "bindings/common/names.hpp"

#include "bindings/common/object_head.hpp"

namespace vantro::py::front {

// Imports the host modules the front end calls.
// Call once while the main module loads; -1 with an error set on failure.
int init_host();

// The logging levels the front end tests, valid after init_host.
extern PyObject* g_level_debug;  // 10
extern PyObject* g_level_info;   // 20

// ---- logging on the module logger ---------------------------------------------

// 0 when the module logger certainly drops records of `level` (a plain
// logging.Logger whose level cache says so: exactly the test its own methods
// make first), 1 when a call may log, -1 with an error set.
int log_may_emit(PyObject* level);
// logger.<method>(message, *args) on the logger bound at call time; the
// host formats the %-style arguments. Args are borrowed. -1 on error.
int log_call(PyObject* method, const char* message, std::initializer_list<PyObject*> args);
// Both of the above: skips the call when the logger drops the level.
int log_at(PyObject* level, PyObject* method, const char* message, std::initializer_list<PyObject*> args);

// ---- child processes -------------------------------------------------------------

// subprocess.run(argv, capture_output=True, timeout=5), `run` looked up on the
// subprocess module at call time. New reference or nullptr.
PyObject* run_captured(PyObject* argv);
// Whether the pending exception is subprocess.TimeoutExpired (looked up now).
// -1 with a new error set when the look-up itself fails.
int pending_is_timeout();

// ---- instances of the front end's C types -----------------------------------------
// Laid out as every C type of the module (see object_head.hpp).

// Borrowed slot i, or nullptr with the AttributeError of a deleted attribute.
PyObject* slot_or_raise(PyObject* self, int i, const char* name);
inline void set_slot(PyObject* self, int i, PyObject* value) { Py_XSETREF(object_slots(self)[i], Py_NewRef(value)); }

template <int N>
int traverse_slots(PyObject* self, visitproc visit, void* arg) {
    return traverse_object(self, N, visit, arg);
}

template <int N>
int clear_slots(PyObject* self) {
    return clear_object(self, N);
}

template <int N>
void dealloc_slots(PyObject* self) {
    PyTypeObject* type = Py_TYPE(self);
    PyObject_GC_UnTrack(self);
    if (reinterpret_cast<ObjectHead*>(self)->weaklist) PyObject_ClearWeakRefs(self);
    clear_slots<N>(self);
    type->tp_free(self);
    Py_DECREF(type);
}

// Adds a type to the module, under the last part of `qualified_name`.
// Borrowed result (the module holds it), nullptr on error.
PyTypeObject* add_type(PyObject* module, PyType_Spec& spec, PyTypeObject* base);

// A type of the front end whose instances hold N object slots: created with
// `base` (or object), `init` (or none), the static `methods` and `members`
// tables, and subclassable. `qualified_name` must be a string literal (the
// interpreter keeps it).
template <int N>
PyTypeObject* add_type(PyObject* module, const char* qualified_name, const char* doc, PyMethodDef* methods,
                       PyMemberDef* members, initproc init = nullptr, PyTypeObject* base = nullptr) {
    PyType_Slot slots[] = {
        {Py_tp_doc, const_cast<char*>(doc)},
        {Py_tp_new, reinterpret_cast<void*>(PyType_GenericNew)},
        {Py_tp_dealloc, reinterpret_cast<void*>(dealloc_slots<N>)},
        {Py_tp_traverse, reinterpret_cast<void*>(traverse_slots<N>)},
        {Py_tp_clear, reinterpret_cast<void*>(clear_slots<N>)},
        {Py_tp_methods, methods},
        {Py_tp_members, members},
        {init ? Py_tp_init : 0, reinterpret_cast<void*>(init)},  // last: without init it ends the list
        {0, nullptr},
    };
    PyType_Spec spec = {qualified_name, basic_size(N), 0, Py_TPFLAGS_DEFAULT | Py_TPFLAGS_BASETYPE | Py_TPFLAGS_HAVE_GC,
                        slots};
    return add_type(module, spec, base);
}

}  // namespace vantro::py::front
