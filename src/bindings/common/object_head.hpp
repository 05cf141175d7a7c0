// The layout of every instance of the module's C types (records,
// phonemizers, the facade): this header, then one object slot per field.
// The header gives instances a __dict__ and weak references, as any
// Python-level class and its subclasses have.
#pragma once

#include "bindings/common/ref.hpp"

#include <structmember.h>  // after Python.h

#include <cstddef>

namespace vantro::py {

struct ObjectHead {
    PyObject_HEAD
    PyObject* dict;
    PyObject* weaklist;
};

inline PyObject** object_slots(PyObject* self) {
    return reinterpret_cast<PyObject**>(reinterpret_cast<char*>(self) + sizeof(ObjectHead));
}
constexpr Py_ssize_t slot_offset(int i) {
    return static_cast<Py_ssize_t>(sizeof(ObjectHead) + static_cast<std::size_t>(i) * sizeof(PyObject*));
}
// Basic size of a type with `n` slots.
constexpr int basic_size(int n) { return static_cast<int>(slot_offset(n)); }

// tp_traverse and tp_clear of an instance with `n` slots.
inline int traverse_object(PyObject* self, int n, visitproc visit, void* arg) {
    Py_VISIT(Py_TYPE(self));
    Py_VISIT(reinterpret_cast<ObjectHead*>(self)->dict);
    for (int i = 0; i < n; ++i) Py_VISIT(object_slots(self)[i]);
    return 0;
}
inline int clear_object(PyObject* self, int n) {
    Py_CLEAR(reinterpret_cast<ObjectHead*>(self)->dict);
    for (int i = 0; i < n; ++i) Py_CLEAR(object_slots(self)[i]);
    return 0;
}

// The __dictoffset__ and __weaklistoffset__ members every type declares.
#define VANTRO_HEAD_MEMBERS                                                                              \
    {"__dictoffset__", T_PYSSIZET, offsetof(::vantro::py::ObjectHead, dict), READONLY, nullptr},         \
    {"__weaklistoffset__", T_PYSSIZET, offsetof(::vantro::py::ObjectHead, weaklist), READONLY, nullptr}

}  // namespace vantro::py
