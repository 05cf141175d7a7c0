#include "bindings/common/args.hpp"

#include <cstring>

namespace vantro::py {

void raise_bad_keyword(PyObject* function, PyObject* key, bool repeated) {
    if (repeated)
        PyErr_Format(PyExc_TypeError, "%U() got multiple values for argument '%S'", function, key);
    else
        PyErr_Format(PyExc_TypeError, "%U() got an unexpected keyword argument '%S'", function, key);
}

bool parse_args(const Signature& sig, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames,
                PyObject** out) {
    int count = 0;
    while (sig.names[count]) ++count;
    const int positional_max = sig.keyword_only_from >= 0 ? sig.keyword_only_from : count;
    for (int i = 0; i < count; ++i) out[i] = nullptr;
    if (nargs > positional_max) {
        if (sig.required == positional_max)
            PyErr_Format(PyExc_TypeError, "%s() takes exactly %d positional argument%s (%zd given)", sig.function,
                         positional_max, positional_max == 1 ? "" : "s", nargs);
        else
            PyErr_Format(PyExc_TypeError, "%s() takes at most %d positional argument%s (%zd given)", sig.function,
                         positional_max, positional_max == 1 ? "" : "s", nargs);
        return false;
    }
    for (Py_ssize_t i = 0; i < nargs; ++i) out[i] = args[i];
    if (kwnames) {
        const Py_ssize_t nk = PyTuple_GET_SIZE(kwnames);
        for (Py_ssize_t k = 0; k < nk; ++k) {
            PyObject* key = PyTuple_GET_ITEM(kwnames, k);
            const char* name = PyUnicode_AsUTF8(key);
            if (!name) return false;
            int idx = -1;
            for (int i = 0; i < count; ++i)
                if (std::strcmp(sig.names[i], name) == 0) {
                    idx = i;
                    break;
                }
            if (idx < 0 || out[idx]) {
                if (Ref function{PyUnicode_FromString(sig.function)}) raise_bad_keyword(function.get(), key, idx >= 0);
                return false;
            }
            out[idx] = args[nargs + k];
        }
    }
    for (int i = 0; i < sig.required; ++i) {
        if (!out[i]) {
            PyErr_Format(PyExc_TypeError, "%s() missing required argument '%s' (pos %d)", sig.function,
                         sig.names[i], i + 1);
            return false;
        }
    }
    return true;
}

}  // namespace vantro::py
