#include "bindings/common/module_globals.hpp"

#include <cstddef>
#include <type_traits>

namespace vantro::py {

namespace {

PyObject* g_module = nullptr;

// The look-ups made while the module's dict is watched and unchanged: the
// dict still binds each name to the very same object. Values are borrowed
// from the dict for as long as that holds (callers get their own reference),
// one slot per field of Names. Where dicts cannot be watched, every use looks
// the name up, which is the cheapest exact check there is.
static_assert(std::is_standard_layout_v<Names>, "Names holds interned names only");
constexpr std::size_t kNames = sizeof(Names) / sizeof(PyObject*);
struct Lookups {
    DictChanges changes;
    PyObject* found[kNames] = {};
};
Lookups& g_lookups = for_the_process<Lookups>();

[[maybe_unused]] void forget_lookups() {
    for (PyObject*& v : g_lookups.found) v = nullptr;
}

[[maybe_unused]] std::size_t slot_of(PyObject* Names::*name) {
    return static_cast<std::size_t>(&(g_names.*name) - reinterpret_cast<PyObject* const*>(&g_names));
}

}  // namespace

void set_main_module(PyObject* module) {
    g_module = module;
    g_lookups.changes.unwatch();
    forget_lookups();
}
PyObject* main_module() { return g_module; }

Ref module_global(PyObject* Names::*name) {
    PyObject* dict = PyModule_GetDict(g_module);
    PyObject** cached = nullptr;
#if VANTRO_DICT_WATCHERS
    if (!g_lookups.changes.unchanged()) {
        forget_lookups();
        g_lookups.changes.watch(dict);
    }
    if (g_lookups.changes.watching()) cached = &g_lookups.found[slot_of(name)];
    if (cached && *cached) return Ref::borrow(*cached);
#endif
    PyObject* v = PyDict_GetItemWithError(dict, g_names.*name);
    if (!v) {
        if (!PyErr_Occurred()) PyErr_Format(PyExc_NameError, "name '%U' is not defined", g_names.*name);
        return Ref();
    }
    if (cached) *cached = v;
    return Ref::borrow(v);
}

}  // namespace vantro::py
