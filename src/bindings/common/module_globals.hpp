// The globals of the main module, read at every use as the module's own code
// would read them: callers (and tests) may rebind any of them.
#pragma once

#include "bindings/common/dict_changes.hpp"
#include "bindings/common/names.hpp"
#include "bindings/common/ref.hpp"

#include <cstdint>
#include <utility>

namespace vantro::py {

// Remembers the main module (borrowed: it outlives every call), or forgets it.
void set_main_module(PyObject* module);
PyObject* main_module();

// A new reference to the global named by the field `name` of g_names (for
// example &Names::logger), or an empty Ref with NameError set when the
// module has no such global.
Ref module_global(PyObject* Names::*name);

// What lives as long as the process (caches, the module's own objects) is
// made once and never destroyed: a Ref must not be released after the
// interpreter is gone.
template <class T, class... Args>
T& for_the_process(Args&&... args) {
    return *new T(std::forward<Args>(args)...);
}

}  // namespace vantro::py
