#include "bindings/common/module_globals.hpp"

#include <cstddef>
#include <type_traits>

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
// the dict for as long as that holds (callers get their own reference), one
// slot per field of Names.
static_assert(std::is_standard_layout_v<Names>, "Names holds interned names only");
constexpr std::size_t kNames = sizeof(Names) / sizeof(PyObject*);
struct Lookups {
    std::uint64_t version = 0;
    PyObject* found[kNames] = {};
};
Lookups& g_lookups = for_the_process<Lookups>();

std::size_t slot_of(PyObject* Names::*name) {
    return static_cast<std::size_t>(&(g_names.*name) - reinterpret_cast<PyObject* const*>(&g_names));
}

}  // namespace

void set_main_module(PyObject* module) {
    g_module = module;
    g_lookups = Lookups{};
}
PyObject* main_module() { return g_module; }

Ref module_global(PyObject* Names::*name) {
    PyObject* dict = PyModule_GetDict(g_module);
    const std::uint64_t version = dict_version(dict);
    if (version == 0 || version != g_lookups.version) g_lookups = Lookups{version};
    PyObject*& cached = g_lookups.found[slot_of(name)];
    if (cached) return Ref::borrow(cached);
    PyObject* v = PyDict_GetItemWithError(dict, g_names.*name);
    if (!v) {
        if (!PyErr_Occurred()) PyErr_Format(PyExc_NameError, "name '%U' is not defined", g_names.*name);
        return Ref();
    }
    if (version != 0) cached = v;
    return Ref::borrow(v);
}

}  // namespace vantro::py
