#include "bindings/common/module_globals.hpp"

#include <vector>

namespace vantro::py {

// CPython 3.12 deprecates the dict version tag: there nothing is kept between look-ups,
// and the watches walk the dict's pairs.
#if PY_VERSION_HEX < 0x030C0000
#define VANTRO_DICT_VERSION 1
#else
#define VANTRO_DICT_VERSION 0
#endif

std::uint64_t dict_version(PyObject* dict) {
#if VANTRO_DICT_VERSION
    return reinterpret_cast<PyDictObject*>(dict)->ma_version_tag;
#else
    (void)dict;
    return 0;
#endif
}

namespace {

PyObject* g_module = nullptr;

// The look-ups made while the module's dict keeps its version: the dict
// still binds each name to the very same object. Values are borrowed from
// the dict for as long as that holds; callers get their own reference.
struct Lookups {
    std::uint64_t version = 0;
    std::vector<std::pair<PyObject*, PyObject*>> found;  // name, value
};
Lookups& g_lookups = for_the_process<Lookups>();

}  // namespace

void set_main_module(PyObject* module) {
    g_module = module;
    g_lookups.version = 0;
    g_lookups.found.clear();
}
PyObject* main_module() { return g_module; }

Ref module_global(PyObject* name) {
    PyObject* dict = PyModule_GetDict(g_module);
    const std::uint64_t version = dict_version(dict);
    if (version == 0 || version != g_lookups.version) {
        g_lookups.found.clear();
        g_lookups.version = version;
    }
    for (const auto& [known, value] : g_lookups.found)
        if (known == name) return Ref::borrow(value);
    PyObject* v = PyDict_GetItemWithError(dict, name);
    if (!v) {
        if (!PyErr_Occurred()) PyErr_Format(PyExc_NameError, "name '%U' is not defined", name);
        return Ref();
    }
    if (version != 0) g_lookups.found.emplace_back(name, v);
    return Ref::borrow(v);
}

}  // namespace vantro::py
