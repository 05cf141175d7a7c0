// __reduce__ of the records: a record of exactly its own type is rebuilt by
// calling the type with its fields, so that a pickle from elsewhere meets the
// same argument checks as any caller. Values that can hold other objects
// (lists, sets, records) travel in the state instead, set once the new record
// is known to the unpickler: a record that contains itself through them still
// round-trips. A subclass may have an __init__ of its own, so it is rebuilt
// without calling it, from its state (fields and instance attributes).
#include "bindings/records/record_internal.hpp"

#include <utility>

namespace vantro::py {
namespace {

using detail::RecordRuntime;
using detail::runtime;

// Values that cannot lead back to the record: passed to the constructor.
bool is_atom(PyObject* v) {
    if (v == Py_None || PyUnicode_CheckExact(v) || PyLong_CheckExact(v) || PyBool_Check(v) || PyFloat_CheckExact(v))
        return true;
    if (!PyTuple_CheckExact(v)) return false;
    for (Py_ssize_t i = 0; i < PyTuple_GET_SIZE(v); ++i) {
        PyObject* item = PyTuple_GET_ITEM(v, i);
        if (!(item == Py_None || PyUnicode_CheckExact(item) || PyLong_CheckExact(item) || PyBool_Check(item) ||
              PyFloat_CheckExact(item)))
            return false;
    }
    return true;
}

PyObject* g_newobj = nullptr;  // copyreg.__newobj__, kept for the process

// (copyreg.__newobj__, (type,), state): the record made without __init__.
PyObject* reduce_without_init(PyObject* self) {
    if (!g_newobj) {
        Ref copyreg(PyImport_ImportModule("copyreg"));
        if (!copyreg || !(g_newobj = PyObject_GetAttrString(copyreg.get(), "__newobj__"))) return nullptr;
    }
    Ref state(PyObject_CallMethod(self, "__getstate__", nullptr));
    if (!state) return nullptr;
    return Py_BuildValue("(O(O)O)", g_newobj, reinterpret_cast<PyObject*>(Py_TYPE(self)), state.get());
}

template <Rec R>
PyObject* rec_reduce(PyObject* self, PyObject*) {
    const RecordRuntime& rt = runtime(R);
    PyObject** slots = object_slots(self);
    if (Py_TYPE(self) != rt.type) return reduce_without_init(self);
    for (int i = 0; i < rt.nfields; ++i)
        if (!slots[i]) return reduce_without_init(self);  // a deleted field: no call can rebuild it

    Ref args(PyTuple_New(rt.nfields));
    if (!args) return nullptr;
    Ref state;
    for (int i = 0; i < rt.nfields; ++i) {
        PyObject* v = slots[i];
        if (is_atom(v)) {
            PyTuple_SET_ITEM(args.get(), i, Py_NewRef(v));
            continue;
        }
        PyTuple_SET_ITEM(args.get(), i, Py_NewRef(Py_None));
        if (!state && !(state = Ref(PyDict_New()))) return nullptr;
        if (PyDict_SetItem(state.get(), rt.names[i], v) < 0) return nullptr;
    }
    PyObject* dict = reinterpret_cast<ObjectHead*>(self)->dict;
    if (dict && PyDict_GET_SIZE(dict) > 0) {
        if (!state && !(state = Ref(PyDict_New()))) return nullptr;
        if (PyDict_Update(state.get(), dict) < 0) return nullptr;
    }
    auto* type = reinterpret_cast<PyObject*>(rt.type);
    if (!state) return PyTuple_Pack(2, type, args.get());
    return PyTuple_Pack(3, type, args.get(), state.get());
}

template <Rec R>
int add_reduce() {
    static PyMethodDef def = {"__reduce__", rec_reduce<R>, METH_NOARGS, "Helper for pickle."};
    PyTypeObject* type = runtime(R).type;
    Ref descr(PyDescr_NewMethod(type, &def));
    if (!descr || PyDict_SetItemString(type->tp_dict, "__reduce__", descr.get()) < 0) return -1;
    PyType_Modified(type);
    return 0;
}

template <std::size_t... I>
int add_all(std::index_sequence<I...>) {
    return ((add_reduce<static_cast<Rec>(I)>() == 0) && ...) ? 0 : -1;
}

}  // namespace

namespace detail {

int attach_record_reduce() { return add_all(std::make_index_sequence<static_cast<std::size_t>(Rec::Count_)>{}); }

}  // namespace detail
}  // namespace vantro::py
