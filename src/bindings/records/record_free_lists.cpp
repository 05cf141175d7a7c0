// Free lists of the record types. Results are made and dropped by the
// thousand: dead instances of the exact record types keep their memory and
// are handed out again. The lists are bounded, and every full collection
// empties them, as the interpreter does with its own free lists.
#include "bindings/records/record_internal.hpp"

namespace vantro::py {
namespace {

using detail::runtime;

constexpr int kFreeListSize = 128;
struct FreeList {
    PyObject* items[kFreeListSize];
    int n = 0;
};
FreeList g_free_lists[static_cast<int>(Rec::Count_)];

void empty_free_lists() {
    for (FreeList& list : g_free_lists) {
        while (list.n > 0) PyObject_GC_Del(list.items[--list.n]);
    }
}

// gc.callbacks entry: (phase, info) at the start and the end of every collection.
PyObject* after_collection(PyObject*, PyObject* const* args, Py_ssize_t nargs) {
    if (nargs == 2 && PyUnicode_Check(args[0]) && PyDict_Check(args[1]) &&
        PyUnicode_Compare(args[0], g_names.stop) == 0) {
        PyObject* gen = PyDict_GetItemWithError(args[1], g_names.generation);
        if (gen && PyLong_Check(gen) && PyLong_AsLong(gen) == 2) empty_free_lists();
    }
    PyErr_Clear();
    Py_RETURN_NONE;
}

PyMethodDef after_collection_def = {
    "_vider_listes_libres", reinterpret_cast<PyCFunction>(reinterpret_cast<void (*)(void)>(after_collection)),
    METH_FASTCALL, "Vide les listes libres des enregistrements après un ramassage complet."};

}  // namespace

PyObject* new_record_object(Rec r) {
    const detail::RecordRuntime& rt = runtime(r);
    FreeList& list = g_free_lists[static_cast<int>(r)];
    if (list.n == 0) return PyType_GenericAlloc(rt.type, 0);
    // As PyType_GenericAlloc leaves it: fields unset, one reference, the type
    // held, tracked. Dead instances were cleared on their way in.
    PyObject* obj = list.items[--list.n];
    auto* head = reinterpret_cast<ObjectHead*>(obj);
    head->dict = nullptr;
    head->weaklist = nullptr;
    Py_INCREF(rt.type);
    Py_SET_REFCNT(obj, 1);
#if PY_VERSION_HEX >= 0x030D0000
    // Whoever traces references (tracemalloc does) sees the object made anew.
    void* tracer_data = nullptr;
    if (PyRefTracer tracer = PyRefTracer_GetTracer(&tracer_data)) tracer(obj, PyRefTracer_CREATE, tracer_data);
#endif
    PyObject_GC_Track(obj);
    return obj;
}

namespace detail {

bool keep_dead_record(Rec r, PyObject* obj) {
#if defined(Py_REF_DEBUG) || defined(Py_TRACE_REFS) || defined(Py_GIL_DISABLED)
    // Debug builds count and list every reference, and without the GIL a
    // shared list would need a lock: there the memory goes back at once.
    (void)r;
    (void)obj;
    return false;
#endif
    FreeList& list = g_free_lists[static_cast<int>(r)];
    if (list.n == kFreeListSize) return false;
    list.items[list.n++] = obj;
    return true;
}

int empty_free_lists_after_full_collections() {
    PyObject* gc = PyImport_ImportModule("gc");
    if (!gc) return -1;
    PyObject* callbacks = PyObject_GetAttrString(gc, "callbacks");
    Py_DECREF(gc);
    if (!callbacks) return -1;
    PyObject* fn = PyCFunction_New(&after_collection_def, nullptr);
    const int rc = fn ? PyList_Append(callbacks, fn) : -1;
    Py_XDECREF(fn);
    Py_DECREF(callbacks);
    return rc;
}

}  // namespace detail
}  // namespace vantro::py
