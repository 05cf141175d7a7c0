// __reduce__ of the facade and the phonemizers, so that an analyser can be
// sent to worker processes. One of these types is rebuilt by calling it with
// what its constructor took: an EspeakLibPhonemizer loads the library again
// in the process that unpickles it, an EspeakPhonemizer asks again whether
// the program is there. A subclass may have an __init__ of its own, so it is
// rebuilt without calling it, its slots set back by name.
#include "bindings/common/object_head.hpp"
#include "bindings/frontend/types.hpp"

#include <array>
#include <cstddef>
#include <utility>

namespace vantro::py::front {
namespace {

struct PickledType {
    const char* name;                      // in the main module
    std::array<const char*, 1> arguments;  // the constructor's, read back as these attributes
    std::array<const char*, 2> slots;      // every slot, for subclasses
    PyTypeObject* type = nullptr;
};

PickledType g_types[] = {
    {"Phonemizer", {nullptr}, {nullptr, nullptr}},
    {"EspeakPhonemizer", {"_lang"}, {"_lang", "_available"}},
    {"EspeakLibPhonemizer", {"_lang"}, {"_lang", nullptr}},
    {"_G2PAdapter", {"_g2p"}, {"_g2p", nullptr}},
    {"VantroSyllabeur", {"_phonemizer"}, {"_phonemizer", nullptr}},
};

PyObject* g_newobj = nullptr;  // copyreg.__newobj__, kept for the process

// The instance's own attributes, or None.
PyObject* instance_dict(PyObject* self) {
    PyObject* dict = reinterpret_cast<::vantro::py::ObjectHead*>(self)->dict;
    return Py_NewRef(dict && PyDict_GET_SIZE(dict) > 0 ? dict : Py_None);
}

PyObject* reduce_subclass(PyObject* self, const PickledType& t) {
    if (!g_newobj) {
        Ref copyreg(PyImport_ImportModule("copyreg"));
        if (!copyreg || !(g_newobj = PyObject_GetAttrString(copyreg.get(), "__newobj__"))) return nullptr;
    }
    Ref slots(PyDict_New());
    if (!slots) return nullptr;
    for (const char* name : t.slots) {
        if (!name) continue;
        Ref value(PyObject_GetAttrString(self, name));
        if (!value) {
            if (!PyErr_ExceptionMatches(PyExc_AttributeError)) return nullptr;
            PyErr_Clear();  // an unset slot stays unset
            continue;
        }
        if (PyDict_SetItemString(slots.get(), name, value.get()) < 0) return nullptr;
    }
    Ref dict(instance_dict(self));
    if (dict.get() != Py_None && PyDict_Update(slots.get(), dict.get()) < 0) return nullptr;
    // (None, attributes): the unpickler sets each by setattr, which reaches
    // the slots and the instance dict alike (these types show no __dict__).
    return Py_BuildValue("(O(O)(OO))", g_newobj, reinterpret_cast<PyObject*>(Py_TYPE(self)), Py_None, slots.get());
}

template <std::size_t I>
PyObject* reduce(PyObject* self, PyObject*) {
    const PickledType& t = g_types[I];
    if (Py_TYPE(self) != t.type) return reduce_subclass(self, t);
    Ref args(PyTuple_New(0));
    if (t.arguments[0]) {
        Ref value(PyObject_GetAttrString(self, t.arguments[0]));
        if (!value) return nullptr;
        args = Ref(PyTuple_Pack(1, value.get()));
    }
    if (!args) return nullptr;
    Ref dict(instance_dict(self));
    auto* type = reinterpret_cast<PyObject*>(t.type);
    if (dict.get() == Py_None) return PyTuple_Pack(2, type, args.get());
    return Py_BuildValue("(OO(OO))", type, args.get(), Py_None, dict.get());
}

template <std::size_t I>
int add_reduce(PyObject* module) {
    static PyMethodDef def = {"__reduce__", reduce<I>, METH_NOARGS, "Helper for pickle."};
    PickledType& t = g_types[I];
    Ref type(PyObject_GetAttrString(module, t.name));
    if (!type) return -1;
    if (!PyType_Check(type.get())) {
        PyErr_Format(PyExc_SystemError, "%s is not a type", t.name);
        return -1;
    }
    t.type = reinterpret_cast<PyTypeObject*>(type.get());  // the module keeps it
    Ref descr(PyDescr_NewMethod(t.type, &def));
    if (!descr || PyDict_SetItemString(t.type->tp_dict, "__reduce__", descr.get()) < 0) return -1;
    PyType_Modified(t.type);
    return 0;
}

template <std::size_t... I>
int add_all(PyObject* module, std::index_sequence<I...>) {
    return ((add_reduce<I>(module) == 0) && ...) ? 0 : -1;
}

}  // namespace

int add_frontend_pickling(PyObject* module) {
    return add_all(module, std::make_index_sequence<std::size(g_types)>{});
}

}  // namespace vantro::py::front
