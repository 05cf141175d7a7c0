// Exact "is this Python container still as I compiled it?" checks.
//
// The compiled forms of the linguistic tables are reused while the Python
// objects they came from hold the same items. A watch keeps strong
// references to everything it saw (so no address can be reused by another
// object) and compares item by item: the item array of a list or tuple, the
// items of a set against a frozen copy, the pairs of a dict or, where the
// interpreter lets dicts be watched, the dict's own change count. Any change
// a caller makes is therefore seen by the next check. Only CPython's public
// API is used: a set's table cannot be read directly, so its check costs a
// look-up per item.
// Watches live in caches that last as long as the process: they are never
// destroyed (see Ref).
#pragma once

#include <cstdint>
#include <vector>

#include "bindings/common/convert.hpp"
#include "bindings/common/dict_changes.hpp"
#include "bindings/common/module_globals.hpp"

namespace vantro::py {

// Calls `f(item)` (borrowed) for the items of `set` (any set or frozenset,
// subclasses included) while it returns true: -1 with an error set when the
// set cannot be read, 0 when `f` stopped, 1 at the end. The items
// come from the set's own table, never from an overridden __iter__, so no
// code of the caller's runs.
template <class F>
int for_each_set_item(PyObject* set, F f) {
    PyObject* it = PySet_Type.tp_iter(set);
    if (!it) return -1;
    int rc = 1;
    while (PyObject* item = PyIter_Next(it)) {
        const bool go_on = f(item);
        Py_DECREF(item);
        if (!go_on) {
            rc = 0;
            break;
        }
    }
    Py_DECREF(it);
    return rc == 1 && PyErr_Occurred() ? -1 : rc;
}

// A set (or frozenset), compared with a frozen copy taken when it was
// compiled. The comparison looks each item of the copy up in the set's own
// table with the hash stored there (the same size and every item found: the
// same items): no __hash__, __eq__ or __iter__ of the caller's runs, except
// __eq__ on an item whose hash is exactly that of an item of the copy
// without being the same object, as `in` itself would.
class SetWatch {
public:
    // True when `set` is the watched object and holds the same items.
    bool same(PyObject* set) const;
    // True when `set`, any set, holds the same items as the watched one.
    bool same_items(PyObject* set) const;
    // Starts watching `set` (must satisfy PyAnySet_Check); false (and not
    // watching, no error left) when it cannot be copied.
    bool watch(PyObject* set);
    void reset();

private:
    Ref set_;       // the object watched, held so that its address is not reused
    Ref snapshot_;  // a frozenset of its items when watched
    // The items, when all are exact str (whose hash is kept in the object):
    // looked up one by one, which skips the walk over the copy's table.
    std::vector<PyObject*> texts_;
    bool only_texts_ = false;
};

// An exact list or tuple of items (items compared by identity).
class SequenceWatch {
public:
    bool same(PyObject* seq) const;
    // Starts watching `seq`; false (and not watching) when it is neither an
    // exact list nor an exact tuple.
    bool watch(PyObject* seq);
    void reset();

private:
    PyObject* seq_ = nullptr;
    std::vector<PyObject*> items_;
    std::vector<Ref> refs_;  // everything seen, so that no address is reused
};

// A dict whose values are exact lists or tuples (the phoneme table), or any
// dict when `values_too` is false (then only keys and value objects count).
class DictWatch {
public:
    bool same(PyObject* dict) const;
    // Starts watching `dict`; false (and not watching) when a value is a
    // container that could change unseen.
    bool watch(PyObject* dict, bool values_too);
    void reset();

private:
    bool walk_matches(PyObject* dict) const;

    PyObject* dict_ = nullptr;
    DictChanges changes_;  // when watching, pairs_ need not be walked
    std::vector<PyObject*> pairs_;  // key, value, key, value ...
    struct ListItems {
        PyObject* list;
        Py_ssize_t size;
    };
    std::vector<ListItems> lists_;
    std::vector<PyObject*> items_;  // the items of every list, one list after the other
    std::vector<Ref> refs_;  // everything seen, so that no address is reused
};

}  // namespace vantro::py
