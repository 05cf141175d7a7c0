#include "bindings/data/data_watch.hpp"

#include <cstring>
#include <utility>

namespace vantro::py {

// ---- sets ---------------------------------------------------------------------

bool SetWatch::same(PyObject* set) const { return set == set_.get() && same_items(set); }

bool SetWatch::same_items(PyObject* set) const {
    if (!snapshot_ || !PyAnySet_Check(set)) return false;
    int equal;
    if (only_texts_) {
        if (PySet_GET_SIZE(set) != static_cast<Py_ssize_t>(texts_.size())) return false;
        equal = 1;
        for (PyObject* text : texts_)
            if ((equal = PySet_Contains(set, text)) != 1) break;
    } else {
        equal = PyObject_RichCompareBool(snapshot_.get(), set, Py_EQ);
    }
    if (equal < 0) PyErr_Clear();
    return equal == 1;
}

bool SetWatch::watch(PyObject* set) {
    reset();
    PyObject* snapshot = PyFrozenSet_New(set);
    if (!snapshot) {
        PyErr_Clear();
        return false;
    }
    snapshot_ = Ref(snapshot);
    only_texts_ = for_each_set_item(snapshot, [&](PyObject* item) {
                      texts_.push_back(item);  // held by the copy
                      return PyUnicode_CheckExact(item) != 0;
                  }) == 1;
    PyErr_Clear();
    if (!only_texts_) texts_.clear();
    set_.reset(set);
    return true;
}

void SetWatch::reset() {
    // Released last, once this watch is whole again: a finalizer may use it.
    const Ref old_set = std::move(set_);
    const Ref old_snapshot = std::move(snapshot_);
    texts_.clear();
    only_texts_ = false;
}

// ---- lists and tuples -------------------------------------------------------------

namespace {
// The item array of an exact list or tuple.
PyObject** items_of(PyObject* seq) { return PySequence_Fast_ITEMS(seq); }
}  // namespace

bool SequenceWatch::same(PyObject* seq) const {
    if (seq != seq_ || Py_SIZE(seq) != static_cast<Py_ssize_t>(items_.size())) return false;
    return items_.empty() || std::memcmp(items_of(seq), items_.data(), items_.size() * sizeof(PyObject*)) == 0;
}

bool SequenceWatch::watch(PyObject* seq) {
    SequenceWatch old;
    std::swap(*this, old);
    if (!PyList_CheckExact(seq) && !PyTuple_CheckExact(seq)) return false;
    refs_.push_back(Ref::borrow(seq));
    seq_ = seq;
    PyObject** items = items_of(seq);
    items_.assign(items, items + Py_SIZE(seq));
    for (PyObject* o : items_) refs_.push_back(Ref::borrow(o));
    return true;
}

void SequenceWatch::reset() {
    SequenceWatch old;
    std::swap(*this, old);
}

// ---- dicts ------------------------------------------------------------------------

bool DictWatch::walk_matches(PyObject* dict) const {
    Py_ssize_t pos = 0;
    PyObject *key, *value;
    std::size_t i = 0;
    while (PyDict_Next(dict, &pos, &key, &value)) {
        if (i + 1 >= pairs_.size() || pairs_[i] != key || pairs_[i + 1] != value) return false;
        i += 2;
    }
    return i == pairs_.size();
}

bool DictWatch::same(PyObject* dict) const {
    if (dict != dict_) return false;
    // Where the dict cannot be watched its pairs are walked.
    if (changes_.watching() ? !changes_.unchanged() : !walk_matches(dict)) return false;
    // Lists are short (a few graphemes): differences are gathered without a
    // branch per item or a loop set-up, and one test per list decides.
    const PyObject* const* then = items_.data();
    for (const ListItems& l : lists_) {
        const Py_ssize_t n = l.size;
        if (PyList_GET_SIZE(l.list) != n) return false;
        PyObject* const* now = items_of(l.list);
        auto x = [&](Py_ssize_t k) {
            return reinterpret_cast<std::uintptr_t>(now[k]) ^ reinterpret_cast<std::uintptr_t>(then[k]);
        };
        std::uintptr_t diff = 0;
        switch (n) {
            default:
                for (Py_ssize_t k = 6; k < n; ++k) diff |= x(k);
                [[fallthrough]];
            case 6: diff |= x(5); [[fallthrough]];
            case 5: diff |= x(4); [[fallthrough]];
            case 4: diff |= x(3); [[fallthrough]];
            case 3: diff |= x(2); [[fallthrough]];
            case 2: diff |= x(1); [[fallthrough]];
            case 1: diff |= x(0); [[fallthrough]];
            case 0: break;
        }
        if (diff) return false;
        then += n;
    }
    return true;
}

bool DictWatch::watch(PyObject* dict, bool values_too) {
    reset();
    refs_.push_back(Ref::borrow(dict));
    dict_ = dict;
    Py_ssize_t pos = 0;
    PyObject *key, *value;
    while (PyDict_Next(dict, &pos, &key, &value)) {
        refs_.push_back(Ref::borrow(key));
        refs_.push_back(Ref::borrow(value));
        pairs_.push_back(key);
        pairs_.push_back(value);
        if (!values_too) continue;
        if (PyList_CheckExact(value)) {
            const Py_ssize_t n = PyList_GET_SIZE(value);
            lists_.push_back({value, n});
            for (Py_ssize_t k = 0; k < n; ++k) {
                PyObject* item = PyList_GET_ITEM(value, k);
                refs_.push_back(Ref::borrow(item));
                items_.push_back(item);
            }
        } else if (!PyTuple_CheckExact(value)) {
            reset();  // any other container may change unseen
            return false;
        }
    }
    changes_.watch(dict);
    return true;
}

void DictWatch::reset() {
    // Released last, once this watch is whole again: a finalizer may use it.
    const std::vector<Ref> old = std::move(refs_);
    refs_.clear();
    dict_ = nullptr;
    changes_.unwatch();
    pairs_.clear();
    lists_.clear();
    items_.clear();
}

}  // namespace vantro::py
