// What the front end takes from the host at call time: module globals, the
// module logger, subprocess.run, and the shared layout of its C types.
#pragma once

#include "bindings/common/convert.hpp"
#include "bindings/common/names.hpp"

#include <structmember.h>  // after Python.h

namespace vantro::py::front {

// Imports the host modules the front end calls.
// Call once while the main module loads; -1 with an error set on failure.
int init_host();

// The logging levels the front end tests, valid after init_host.
extern PyObject* g_level_debug;  // 10
extern PyObject* g_level_info;   // 20

// Borrowed module global, or nullptr with NameError, as a name look-up in
// the module's own code would fail.
PyObject* module_global(PyObject* interned_name);

// hasattr(obj, name): 1 or 0, -1 with an error set (errors other than
// AttributeError propagate, as hasattr lets them).
int has_attr(PyObject* obj, PyObject* name);

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

// Every instance starts with this header (instance dict and weak references
// for Python-level subclasses and callers); the attribute slots follow.
struct Head {
    PyObject_HEAD
    PyObject* dict;
    PyObject* weaklist;
};

inline PyObject** slots(PyObject* self) {
    return reinterpret_cast<PyObject**>(reinterpret_cast<char*>(self) + sizeof(Head));
}
constexpr Py_ssize_t slot_offset(int i) {
    return static_cast<Py_ssize_t>(sizeof(Head) + static_cast<std::size_t>(i) * sizeof(PyObject*));
}

// Borrowed slot i, or nullptr with the AttributeError of a deleted attribute.
PyObject* slot_or_raise(PyObject* self, int i, const char* name);
inline void set_slot(PyObject* self, int i, PyObject* value) { Py_XSETREF(slots(self)[i], Py_NewRef(value)); }

template <int N>
int traverse_slots(PyObject* self, visitproc visit, void* arg) {
    Py_VISIT(Py_TYPE(self));
    Py_VISIT(reinterpret_cast<Head*>(self)->dict);
    for (int i = 0; i < N; ++i) Py_VISIT(slots(self)[i]);
    return 0;
}

template <int N>
int clear_slots(PyObject* self) {
    Py_CLEAR(reinterpret_cast<Head*>(self)->dict);
    for (int i = 0; i < N; ++i) Py_CLEAR(slots(self)[i]);
    return 0;
}

template <int N>
void dealloc_slots(PyObject* self) {
    PyTypeObject* type = Py_TYPE(self);
    PyObject_GC_UnTrack(self);
    if (reinterpret_cast<Head*>(self)->weaklist) PyObject_ClearWeakRefs(self);
    clear_slots<N>(self);
    type->tp_free(self);
    Py_DECREF(type);
}

// Basic size of a type with N slots.
constexpr int basic_size(int n) { return static_cast<int>(slot_offset(n)); }

// The __dictoffset__ / __weaklistoffset__ members every type declares.
#define VANTRO_FRONT_HEAD_MEMBERS                                                                       \
    {"__dictoffset__", T_PYSSIZET, offsetof(::vantro::py::front::Head, dict), READONLY, nullptr},       \
    {"__weaklistoffset__", T_PYSSIZET, offsetof(::vantro::py::front::Head, weaklist), READONLY, nullptr}

// Creates a type from `spec` with `base` (or object), adds it to the module
// under `name`. Borrowed result (the module holds it), nullptr on error.
PyTypeObject* add_type(PyObject* module, PyType_Spec* spec, PyTypeObject* base, const char* name);

}  // namespace vantro::py::front
