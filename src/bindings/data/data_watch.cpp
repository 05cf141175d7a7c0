#include "bindings/data/data_watch.hpp"

#include <algorithm>
#include <cstring>
#include <utility>

namespace vantro::py {

// ---- sets ---------------------------------------------------------------------

namespace {
const PySetObject* as_set(PyObject* o) { return reinterpret_cast<const PySetObject*>(o); }
}  // namespace

bool SetWatch::same(PyObject* set) const {
    if (set != set_) return false;
    const PySetObject* s = as_set(set);
    // The same number of items, and each item seen last time still in its
    // slot: then the set holds exactly those items. Slots left empty or
    // dummy do not matter.
    if (s->mask != mask_ || s->used != used_) return false;
    const setentry* table = s->table;
    for (const Slot& slot : slots_)
        if (table[slot.index].key != slot.key) return false;
    return true;
}

bool SetWatch::same_items(PyObject* set) const {
    if (!set_ || !PyAnySet_Check(set)) return false;
    if (same(set)) return true;
    if (as_set(set)->used != used_) return false;
    // A fresh set built from the same objects: compare the items as sets of pointers.
    std::vector<PyObject*> keys;
    keys.reserve(static_cast<std::size_t>(used_));
    Py_ssize_t pos = 0;
    PyObject* key;
    Py_hash_t hash;
    while (_PySet_NextEntry(set, &pos, &key, &hash)) keys.push_back(key);
    std::sort(keys.begin(), keys.end());
    return keys == sorted_keys_;
}

void SetWatch::watch(PyObject* set) {
    SetWatch old;
    std::swap(*this, old);  // released last, once this watch is whole: a finalizer may use it
    const PySetObject* s = as_set(set);
    refs_.push_back(Ref::borrow(set));
    set_ = set;
    mask_ = s->mask;
    used_ = s->used;
    for (Py_ssize_t i = 0; i <= s->mask; ++i) {
        PyObject* key = s->table[i].key;
        if (!key || s->table[i].hash == -1) continue;  // unused or dummy
        refs_.push_back(Ref::borrow(key));
        slots_.push_back({static_cast<std::size_t>(i), key});
        sorted_keys_.push_back(key);
    }
    std::sort(sorted_keys_.begin(), sorted_keys_.end());
}

void SetWatch::reset() {
    SetWatch old;
    std::swap(*this, old);
}

// ---- lists and tuples -------------------------------------------------------------

namespace {
PyObject** items_of(PyObject* seq) {
    return PyList_CheckExact(seq) ? reinterpret_cast<PyListObject*>(seq)->ob_item
                                  : reinterpret_cast<PyTupleObject*>(seq)->ob_item;
}
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
    // Without a version tag (CPython 3.12 on) the dict's pairs are walked.
    if (version_ != 0 ? dict_version(dict) != version_ : !walk_matches(dict)) return false;
    // Lists are short (a few graphemes): differences are gathered without a
    // branch per item or a loop set-up, and one test per list decides.
    const PyObject* const* then = items_.data();
    for (const ListItems& l : lists_) {
        auto* list = reinterpret_cast<PyListObject*>(l.list);
        const Py_ssize_t n = l.size;
        if (Py_SIZE(list) != n) return false;
        PyObject* const* now = list->ob_item;
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
    DictWatch old;
    std::swap(*this, old);
    refs_.push_back(Ref::borrow(dict));
    dict_ = dict;
    version_ = dict_version(dict);
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
            DictWatch unwatched;  // any other container may change unseen
            std::swap(*this, unwatched);
            return false;
        }
    }
    return true;
}

void DictWatch::reset() {
    DictWatch old;
    std::swap(*this, old);
}

}  // namespace vantro::py
