// Cheap, exact "is this Python container still as I compiled it?" checks.
//
// The compiled forms of the linguistic tables are reused while the Python
// objects they came from hold the very same items. A watch keeps strong
// references to everything it saw (so no address can be reused by another
// object) and compares raw storage: the item array of a list, the hash table
// of a set, the version tag that CPython 3.11 bumps on every change of a
// dict. Any change a caller makes is therefore seen by the next check.
// Watches live in caches that last as long as the process: they are never
// destroyed (see Ref).
#pragma once

#include <cstdint>
#include <vector>

#include "bindings/common/convert.hpp"
#include "bindings/common/module_globals.hpp"

namespace vantro::py {

// A set (or frozenset), item by item, through its hash table.
class SetWatch {
public:
    // True when `set` is the watched object and holds the same items.
    bool same(PyObject* set) const;
    // True when `set`, any set, holds the same item objects as the watched one.
    bool same_items(PyObject* set) const;
    // Starts watching `set` (must satisfy PyAnySet_Check).
    void watch(PyObject* set);
    void reset();

private:
    PyObject* set_ = nullptr;  // held in refs_
    Py_ssize_t mask_ = -1, used_ = 0;
    struct Slot {
        std::size_t index;  // into the set's hash table
        PyObject* key;
    };
    std::vector<Slot> slots_;  // the items and where they lie
    std::vector<PyObject*> sorted_keys_;
    std::vector<Ref> refs_;  // everything seen, so that no address is reused
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
    std::uint64_t version_ = 0;
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
