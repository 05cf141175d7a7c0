// Phonemizers and the VantroSyllabeur facade.
#include "bindings/frontend/host.hpp"
#include "bindings/frontend/types.hpp"
#include "bindings/common/functions.hpp"

namespace vantro::py {

int add_frontend(PyObject* module) {
    if (front::init_host() < 0 || front::add_phonemizer_types(module) < 0 ||
        front::add_espeak_lib_type(module, front::phonemizer_type()) < 0 || front::add_facade_type(module) < 0 ||
        front::add_frontend_pickling(module) < 0)
        return -1;
    return 0;
}

}  // namespace vantro::py
