// Phonemizers and the VantroSyllabeur facade (placeholder until written).
#include "functions.hpp"

namespace vantro::py {

int add_frontend(PyObject* module) { return 0; }

}  // namespace vantro::py
