// Fast-call argument parsing for the module's functions and methods.
#pragma once

#include "bindings/common/convert.hpp"

namespace vantro::py {

struct Signature {
    const char* function;          // name used in messages
    const char* const* names;      // parameter names, nullptr-terminated
    int required;                  // how many leading parameters are required
    int keyword_only_from = -1;    // first keyword-only parameter, or -1
};

// Fills out[i] with a borrowed reference for every parameter given, nullptr
// for the others. False with TypeError on a bad call, worded as CPython does.
bool parse_args(const Signature& sig, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames,
                PyObject** out);

// TypeError for a keyword that names no parameter of `function`
// (`repeated` false) or one that is already bound (`repeated` true).
void raise_bad_keyword(PyObject* function, PyObject* key, bool repeated);

}  // namespace vantro::py
