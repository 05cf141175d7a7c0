#include "linguistic_data.hpp"

#include <cstdint>
#include <memory>

namespace vantro::py {
namespace {

PyObject* g_module = nullptr;  // borrowed: the module outlives every call

// Strong references to the exact items a compiled form was built from.
// A Python container is "unchanged" when a walk meets the same objects in
// the same order; holding the references keeps their addresses from being
// reused by other objects.
class Fingerprint {
public:
    // Static caches die after the interpreter has finalized: their
    // references must not be released then.
    ~Fingerprint() {
        if (Py_IsInitialized()) clear();
    }
    void clear() {
        for (std::size_t i = 0; i < refs_.size(); ++i)
            if (owned_[i]) Py_DECREF(reinterpret_cast<PyObject*>(refs_[i]));
        refs_.clear();
        owned_.clear();
    }
    void push(PyObject* o) {
        Py_INCREF(o);
        refs_.push_back(reinterpret_cast<std::uintptr_t>(o));
        owned_.push_back(true);
    }
    void push_size(Py_ssize_t n) {
        refs_.push_back(static_cast<std::uintptr_t>(n));
        owned_.push_back(false);
    }
    // Walk helpers: compare, in order, against what was captured.
    bool same_at(std::size_t i, PyObject* o) const {
        return i < refs_.size() && owned_[i] && refs_[i] == reinterpret_cast<std::uintptr_t>(o);
    }
    bool same_size_at(std::size_t i, Py_ssize_t n) const {
        return i < refs_.size() && !owned_[i] && refs_[i] == static_cast<std::uintptr_t>(n);
    }
    std::size_t size() const { return refs_.size(); }
    bool valid = false;

private:
    std::vector<std::uintptr_t> refs_;
    std::vector<bool> owned_;
};

PyObject* call_global(const char* name) {
    PyObject* dict = PyModule_GetDict(g_module);
    PyObject* fn = PyDict_GetItemString(dict, name);
    if (!fn) {
        PyErr_Format(PyExc_NameError, "name '%s' is not defined", name);
        return nullptr;
    }
    return PyObject_CallNoArgs(fn);
}

// ---- sets of str ------------------------------------------------------------

// Walks any set-like container: sets directly, other iterables through iter().
bool set_matches(PyObject* container, const Fingerprint& fp) {
    // Only the items count: the silent letters come in a fresh set every call.
    if (!fp.valid || !PyAnySet_Check(container)) return false;
    Py_ssize_t pos = 0;
    PyObject* key;
    Py_hash_t hash;
    std::size_t i = 1;
    while (_PySet_NextEntry(container, &pos, &key, &hash)) {
        if (!fp.same_at(i++, key)) return false;
    }
    return i == fp.size();
}

bool capture_set(PyObject* container, Fingerprint& fp, TextSet& out) {
    fp.clear();
    fp.valid = false;
    out.clear();
    fp.push(container);
    if (PyAnySet_Check(container)) {
        Py_ssize_t pos = 0;
        PyObject* key;
        Py_hash_t hash;
        while (_PySet_NextEntry(container, &pos, &key, &hash)) {
            fp.push(key);
            if (PyUnicode_Check(key)) out.insert(to_text(key));
        }
        fp.valid = true;
        return true;
    }
    // Any other container is read afresh every time (never cached).
    PyObject* it = PyObject_GetIter(container);
    if (!it) return false;
    while (PyObject* item = PyIter_Next(it)) {
        if (PyUnicode_Check(item)) out.insert(to_text(item));
        Py_DECREF(item);
    }
    Py_DECREF(it);
    return !PyErr_Occurred();
}

struct CachedSet {
    Fingerprint fp;
    TextSet* target;
    const char* accessor;
    bool refresh() {
        PyObject* obj = call_global(accessor);
        if (!obj) return false;
        Ref hold(obj);
        if (set_matches(obj, fp)) return true;
        return capture_set(obj, fp, *target);
    }
};

PhonemeSets g_sets;
CachedSet g_voyelles{{}, &g_sets.voyelles, "_VOYELLES"};
CachedSet g_consonnes{{}, &g_sets.consonnes, "_CONSONNES"};
CachedSet g_semi{{}, &g_sets.semi_voyelles, "_SEMI_VOYELLES"};

TextSet g_silent;
CachedSet g_silent_cache{{}, &g_silent, "_LETTRES_MUETTES_POSSIBLES"};

}  // namespace

void set_main_module(PyObject* module) { g_module = module; }
PyObject* main_module() { return g_module; }

const PhonemeSets* current_phoneme_sets() {
    if (!g_voyelles.refresh() || !g_consonnes.refresh() || !g_semi.refresh()) return nullptr;
    return &g_sets;
}

const TextSet* current_silent_letters() {
    if (!g_silent_cache.refresh()) return nullptr;
    return &g_silent;
}

namespace {

bool table_matches(PyObject* dict, const Fingerprint& fp) {
    if (!fp.valid || !fp.same_at(0, dict)) return false;
    std::size_t i = 1;
    Py_ssize_t pos = 0;
    PyObject *key, *value;
    while (PyDict_Next(dict, &pos, &key, &value)) {
        if (!fp.same_at(i++, key) || !fp.same_at(i++, value)) return false;
        if (PyList_Check(value)) {
            const Py_ssize_t n = PyList_GET_SIZE(value);
            if (!fp.same_size_at(i++, n)) return false;
            for (Py_ssize_t k = 0; k < n; ++k)
                if (!fp.same_at(i++, PyList_GET_ITEM(value, k))) return false;
        }
    }
    return i == fp.size();
}

}  // namespace

struct TableCache::Impl {
    Fingerprint fp;
    std::unique_ptr<CompiledTable> table;
};

TableCache::TableCache() : impl_(std::make_unique<Impl>()) {}
TableCache::~TableCache() = default;

const CompiledTable* TableCache::get(PyObject* dict) {
    if (impl_->table && table_matches(dict, impl_->fp)) return impl_->table.get();

    PhoneTable table;
    Fingerprint& fp = impl_->fp;
    fp.clear();
    fp.valid = false;
    fp.push(dict);
    Py_ssize_t pos = 0;
    PyObject *key, *value;
    bool cacheable = true;
    while (PyDict_Next(dict, &pos, &key, &value)) {
        if (!PyUnicode_Check(key)) {
            raise_expected("str", key);
            return nullptr;
        }
        fp.push(key);
        fp.push(value);
        if (PyList_Check(value)) {
            const Py_ssize_t n = PyList_GET_SIZE(value);
            fp.push_size(n);
            for (Py_ssize_t k = 0; k < n; ++k) fp.push(PyList_GET_ITEM(value, k));
        } else if (!PyTuple_Check(value)) {
            cacheable = false;  // an arbitrary iterable may change unseen
        }
        PyObject* seq = PySequence_Fast(value, "phoneme table values must be sequences of str");
        if (!seq) return nullptr;
        Ref hold_seq(seq);
        const Py_ssize_t n = PySequence_Fast_GET_SIZE(seq);
        std::vector<Text> graphemes;
        graphemes.reserve(static_cast<std::size_t>(n));
        for (Py_ssize_t k = 0; k < n; ++k) {
            PyObject* g = PySequence_Fast_GET_ITEM(seq, k);
            if (!PyUnicode_Check(g)) {
                raise_expected("str", g);
                return nullptr;
            }
            graphemes.push_back(to_text(g));
        }
        table.entries.emplace_back(to_text(key), std::move(graphemes));
    }
    impl_->table = std::make_unique<CompiledTable>(table);
    fp.valid = cacheable;
    return impl_->table.get();
}

const CompiledTable* current_phone_table() {
    static TableCache cache;
    PyObject* dict = call_global("_PHONE_TO_GRAPHEMES");
    if (!dict) return nullptr;
    Ref hold(dict);
    if (!PyDict_Check(dict)) {
        raise_arg_type("phone_to_graphs", "dict", dict);
        return nullptr;
    }
    return cache.get(dict);
}

const TextMap<Text>* current_liaisons() {
    static TextMap<Text> liaisons;
    PyObject* dict = call_global("_LIAISON_CONSONNES");
    if (!dict) return nullptr;
    Ref hold(dict);
    liaisons.clear();
    if (dict == Py_None) {
        PyErr_SetString(PyExc_AttributeError, "'NoneType' object has no attribute 'get'");
        return nullptr;
    }
    if (!PyDict_Check(dict)) {
        PyErr_Format(PyExc_TypeError, "Expected %s, got %.200s", "dict", Py_TYPE(dict)->tp_name);
        return nullptr;
    }
    Py_ssize_t pos = 0;
    PyObject *key, *value;
    while (PyDict_Next(dict, &pos, &key, &value)) {
        if (PyUnicode_Check(key) && PyUnicode_Check(value)) liaisons.emplace(to_text(key), to_text(value));
    }
    return &liaisons;
}

bool alphabet_from_object(PyObject* alphabet, Alphabet& out) {
    out.clear();
    PyObject* items = PyObject_CallMethod(alphabet, "items", nullptr);
    if (!items) return false;
    Ref hold_items(items);
    PyObject* it = PyObject_GetIter(items);
    if (!it) return false;
    Ref hold_it(it);
    while (PyObject* pair = PyIter_Next(it)) {
        Ref hold_pair(pair);
        PyObject *symbol, *entry;
        if (!PyArg_ParseTuple(pair, "OO", &symbol, &entry)) return false;
        AlphabetEntry e;
        for (int k = 0; k < 2; ++k) {
            PyObject* v = PyObject_CallMethod(entry, "get", "s", k == 0 ? "type" : "sous_type");
            if (!v) return false;
            if (PyUnicode_Check(v)) (k == 0 ? e.type : e.sous_type) = to_text(v);
            Py_DECREF(v);
        }
        if (!PyUnicode_Check(symbol)) continue;  // can never equal a phoneme token
        out.emplace_back(to_text(symbol), std::move(e));
    }
    return !PyErr_Occurred();
}

bool sonority_from_object(PyObject* classes, SonorityClasses& out) {
    static const char* names[] = {"O", "N", "L", "Y", "V"};
    TextSet* targets[] = {&out.O, &out.N, &out.L, &out.Y, &out.V};
    for (int k = 0; k < 5; ++k) {
        PyObject* s = PyObject_GetAttrString(classes, names[k]);
        if (!s) return false;
        Ref hold(s);
        Fingerprint scratch;
        if (!capture_set(s, scratch, *targets[k])) return false;
    }
    return true;
}

const SonorityClasses* current_sonority() {
    static SonorityClasses compiled;
    static Fingerprint fps[5];
    static const char* names[] = {"O", "N", "L", "Y", "V"};
    TextSet* targets[] = {&compiled.O, &compiled.N, &compiled.L, &compiled.Y, &compiled.V};

    PyObject* obj = PyDict_GetItemString(PyModule_GetDict(g_module), "_SONORITY");
    if (!obj) {
        PyErr_SetString(PyExc_NameError, "name '_SONORITY' is not defined");
        return nullptr;
    }
    for (int k = 0; k < 5; ++k) {
        PyObject* s = PyObject_GetAttrString(obj, names[k]);
        if (!s) return nullptr;
        Ref hold(s);
        if (set_matches(s, fps[k])) continue;
        if (!capture_set(s, fps[k], *targets[k])) return nullptr;
    }
    return &compiled;
}

}  // namespace vantro::py
