// The front end's C types: phonemizers and the VantroSyllabeur facade.
#pragma once

#include "bindings/common/convert.hpp"

namespace vantro::py::front {

// Each creates its types and adds them to the main module; -1 on error.
// The phonemizers come first: the facade builds its default one by name.
int add_phonemizer_types(PyObject* module);
int add_espeak_lib_type(PyObject* module, PyTypeObject* phonemizer_base);
int add_facade_type(PyObject* module);
// Makes the facade and the phonemizers picklable; after the types exist.
int add_frontend_pickling(PyObject* module);

// The Phonemizer interface type (borrowed), valid after add_phonemizer_types.
PyTypeObject* phonemizer_type();

}  // namespace vantro::py::front
