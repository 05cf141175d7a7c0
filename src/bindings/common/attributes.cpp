#include "bindings/common/attributes.hpp"

#include "bindings/common/errors.hpp"

namespace vantro::py {

Ref attr(PyObject* obj, PyObject* name) { return take(PyObject_GetAttr(obj, name)); }

Ref attr_or(PyObject* obj, PyObject* name, PyObject* fallback) {
    if (PyObject* v = PyObject_GetAttr(obj, name)) return Ref(v);
    if (!PyErr_ExceptionMatches(PyExc_AttributeError)) throw PythonError{};
    PyErr_Clear();
    return Ref::borrow(fallback);
}

bool has_attr(PyObject* obj, PyObject* name) {
    if (PyObject* v = PyObject_GetAttr(obj, name)) {
        Py_DECREF(v);
        return true;
    }
    if (!PyErr_ExceptionMatches(PyExc_AttributeError)) throw PythonError{};
    PyErr_Clear();
    return false;
}

bool truth(PyObject* obj) { return need_status(PyObject_IsTrue(obj)) != 0; }

bool truth_attr(PyObject* obj, PyObject* name) { return truth(attr(obj, name).get()); }

Text text_attr(PyObject* obj, PyObject* name) {
    Ref v = attr(obj, name);
    if (!PyUnicode_Check(v.get())) {
        raise_expected("str", v.get());
        throw PythonError{};
    }
    return to_text(v.get());
}

}  // namespace vantro::py
