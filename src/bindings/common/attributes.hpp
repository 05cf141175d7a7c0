// Reading attributes of the caller's objects, duck-typed, failing with
// PythonError (see errors.hpp) when Python raises. Names come from g_names.
#pragma once

#include "bindings/common/convert.hpp"
#include "bindings/common/names.hpp"

namespace vantro::py {

// getattr(obj, name).
Ref attr(PyObject* obj, PyObject* name);
// getattr(obj, name, fallback): only AttributeError selects the fallback.
Ref attr_or(PyObject* obj, PyObject* name, PyObject* fallback);
// hasattr(obj, name), letting errors other than AttributeError through.
bool has_attr(PyObject* obj, PyObject* name);
// bool(obj).
bool truth(PyObject* obj);
// bool(getattr(obj, name)).
bool truth_attr(PyObject* obj, PyObject* name);
// getattr(obj, name), which must be a str ("Expected str, got ..." otherwise).
Text text_attr(PyObject* obj, PyObject* name);

}  // namespace vantro::py
