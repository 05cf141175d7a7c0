#include "bindings/data/linguistic_data.hpp"

#include <array>
#include <memory>
#include <utility>

#include "bindings/common/module_globals.hpp"
#include "bindings/common/names.hpp"
#include "bindings/data/data_watch.hpp"
#include "phonology/classifier.hpp"
#include "bindings/records/records.hpp"

namespace vantro::py {
namespace {

// ---- the loader's accessors ------------------------------------------------------------
// A data name may be rebound to any callable, which is then called at every
// use. While it is still the loader's own accessor, whose result depends only
// on the loaded document, the call is skipped as long as the document is the
// same, unchanged object: the accessor would hand back the very same table.

PyObject* g_loader = nullptr;         // vantro_aligneur._chargeur, owned
PyObject* g_loader_charger = nullptr;  // its `_charger`, owned

bool is_loader_function(PyObject* fn, const char* name) {
    if (!g_loader || !PyCFunction_CheckExact(fn) || PyCFunction_GetSelf(fn) != g_loader) return false;
    // A built-in function's __name__ is the name it was defined under.
    PyObject* defined_as = PyObject_GetAttrString(fn, "__name__");
    const bool same = defined_as && PyUnicode_Check(defined_as) && PyUnicode_CompareWithASCIIString(defined_as, name) == 0;
    Py_XDECREF(defined_as);
    PyErr_Clear();
    return same;
}

void find_loader() {
    if (g_loader) return;
    PyObject* m = PyImport_GetModule(g_names.loader_module);
    if (!m) {
        PyErr_Clear();
        return;
    }
    g_loader = m;
    PyObject* fn = PyObject_GetAttrString(m, "_charger");
    if (fn && is_loader_function(fn, "_charger")) {
        g_loader_charger = fn;
    } else {
        Py_XDECREF(fn);
        PyErr_Clear();
    }
}

// The loaded document (borrowed, the loader keeps it), or nullptr without an
// error when it cannot be had cheaply.
PyObject* loader_document() {
    if (!g_loader_charger) return nullptr;
    PyObject* doc = PyObject_CallNoArgs(g_loader_charger);
    if (!doc) {
        PyErr_Clear();
        return nullptr;
    }
    Py_DECREF(doc);  // still referenced by the loader
    return PyDict_Check(doc) ? doc : nullptr;
}

struct Accessor {
    Accessor(PyObject* Names::*g, const char* name, bool document, bool shared_result = true)
        : global(g), loader_name(name), reads_document(document), shared_result(shared_result) {}

    PyObject* Names::*global;  // the data name
    const char* loader_name;  // the loader's function of this name is pure
    bool reads_document;      // its result is a member of the document, or built from one
    bool shared_result;       // the loader hands out the same object every time (never a copy)
    Ref fn;                   // the callable last called
    Ref result;               // what it returned
    bool pure = false;
    PyObject* doc = nullptr;  // held through `doc_ref`
    Ref doc_ref;
    DictWatch doc_watch;  // its members (the tables) are the same objects

    bool document_unchanged() const {
        if (!reads_document) return true;
        PyObject* d = loader_document();
        return d && d == doc && doc_watch.same(d);
    }

    // New reference to what the data name gives now.
    PyObject* call() {
        Ref hold = module_global(global);
        PyObject* f = hold.get();
        if (!f) return nullptr;
        if (shared_result && pure && f == fn.get() && result.get() && document_unchanged())
            return Py_NewRef(result.get());
        PyObject* r = PyObject_CallNoArgs(f);
        if (!r) return nullptr;
        find_loader();
        // What was held before is released once the new state is whole: its
        // finalizer may call this accessor again.
        const Ref old_fn = std::exchange(fn, Ref::borrow(f));
        const Ref old_result = std::exchange(result, Ref::borrow(r));
        const Ref old_doc = std::move(doc_ref);
        pure = is_loader_function(f, loader_name);
        doc = nullptr;
        doc_ref.reset();
        doc_watch.reset();
        if (pure && reads_document) {
            doc = loader_document();
            doc_ref.reset(doc);
            pure = doc != nullptr && doc_watch.watch(doc, false);
        }
        return r;
    }
};

// ---- sets of str ----------------------------------------------------------------------

// Reads any container of str into `out`: sets through their table, other
// iterables through iter(). Items that are not str are skipped.
bool read_texts(PyObject* container, TextSet& out) {
    out.clear();
    if (PyAnySet_Check(container)) {
        const int rc = for_each_set_item(container, [&](PyObject* item) {
            if (PyUnicode_Check(item)) out.insert(to_text(item));
            return true;
        });
        return rc == 1;
    }
    PyObject* it = PyObject_GetIter(container);
    if (!it) return false;
    while (PyObject* item = PyIter_Next(it)) {
        if (PyUnicode_Check(item)) out.insert(to_text(item));
        Py_DECREF(item);
    }
    Py_DECREF(it);
    return !PyErr_Occurred();
}

// A compiled set, compiled anew when its Python container changed.
struct CompiledSet {
    Shared<TextSet> texts = std::make_shared<const TextSet>();
    SetWatch watch;
    bool valid = false;

    // `fresh_ok`: a different set holding the same item objects also counts
    // as unchanged (the silent letters come in a new set on every call).
    bool refresh(PyObject* container, bool fresh_ok = false) {
        if (valid && (watch.same(container) || (fresh_ok && watch.same_items(container)))) return true;
        valid = false;
        watch.reset();
        auto fresh = std::make_shared<TextSet>();
        if (!read_texts(container, *fresh)) return false;
        texts = std::move(fresh);
        // Only a set can be watched; any other container is read at every use.
        if (PyAnySet_Check(container)) valid = watch.watch(container);
        return true;
    }
};

struct PhonemeSetSource {
    Accessor accessor;
    CompiledSet compiled;
};
// The loader computes each derived set once and then always hands out that set.
struct PhonemeSetSources {
    PhonemeSetSource sources[3] = {
        {Accessor(&Names::voyelles_global, "voyelles", false), CompiledSet()},
        {Accessor(&Names::consonnes_global, "consonnes", false), CompiledSet()},
        {Accessor(&Names::semi_voyelles_global, "semi_voyelles", false), CompiledSet()},
    };
    Shared<PhonemeSets> sets;
    Shared<TextSet> made_of[3];  // the compiled sets `sets` copies
};
PhonemeSetSources& g_set_sources = for_the_process<PhonemeSetSources>();

template <std::size_t N>
bool same_sets(const Shared<TextSet> (&a)[N], const Shared<TextSet> (&b)[N]) {
    for (std::size_t k = 0; k < N; ++k)
        if (a[k] != b[k]) return false;
    return true;
}

}  // namespace

namespace {
// The phoneme sets made of the sets as last compiled.
Shared<PhonemeSets> phoneme_sets_as_compiled() {
    PhonemeSetSources& g = g_set_sources;
    // Compiled sets are never changed in place, so equal pointers mean equal sets.
    const Shared<TextSet> now[3] = {g.sources[0].compiled.texts, g.sources[1].compiled.texts,
                                    g.sources[2].compiled.texts};
    if (!g.sets || !same_sets(now, g.made_of)) {
        g.sets = std::make_shared<const PhonemeSets>(PhonemeSets{*now[0], *now[1], *now[2]});
        for (int k = 0; k < 3; ++k) g.made_of[k] = now[k];
    }
    return g.sets;
}
}  // namespace

Shared<PhonemeSets> current_phoneme_sets() {
    for (PhonemeSetSource& src : g_set_sources.sources) {
        PyObject* obj = src.accessor.call();
        if (!obj) return nullptr;
        Ref hold(obj);
        if (!src.compiled.refresh(obj)) return nullptr;
    }
    return phoneme_sets_as_compiled();
}

namespace {

// ---- silent letters -----------------------------------------------------------------
// The loader's accessor builds a new set from the document's list on every
// call; while that list is the same, unchanged object, the set would hold
// the same letters, so it is not built at all.

bool only_exact_str(PyObject* seq) {
    if (!PyList_CheckExact(seq)) return false;
    for (Py_ssize_t i = 0; i < PyList_GET_SIZE(seq); ++i)
        if (!PyUnicode_CheckExact(PyList_GET_ITEM(seq, i))) return false;
    return true;
}

struct SilentLetters {
    // A new set on every call, whose letters follow the document's list.
    Accessor accessor{Accessor(&Names::silent_letters_global, "lettres_muettes_possibles", true, false)};
    CompiledSet compiled;
    SequenceWatch member;  // the document's list, when the accessor is the loader's

    bool fast_path_holds() {
        Ref f = module_global(&Names::silent_letters_global);
        if (!f) {
            PyErr_Clear();
            return false;
        }
        if (!accessor.pure || f.get() != accessor.fn.get() || !compiled.valid || !accessor.document_unchanged())
            return false;
        PyObject* list = PyDict_GetItemWithError(accessor.doc, g_names.silent_letters_member);
        return list && member.same(list);
    }

    Shared<TextSet> get() {
        if (fast_path_holds()) return compiled.texts;
        member.reset();
        PyObject* obj = accessor.call();
        if (!obj) return nullptr;
        Ref hold(obj);
        if (!compiled.refresh(obj, true)) return nullptr;
        if (accessor.pure) {
            // Only plain str items: building a set of them runs no code of the
            // caller's (no __hash__ or __eq__), so skipping it changes nothing.
            PyObject* list = PyDict_GetItemWithError(accessor.doc, g_names.silent_letters_member);
            if (list && only_exact_str(list)) member.watch(list);
            PyErr_Clear();
        }
        return compiled.texts;
    }
};

SilentLetters& g_silent = for_the_process<SilentLetters>();

}  // namespace

Shared<TextSet> current_silent_letters() { return g_silent.get(); }

// ---- the phoneme table ------------------------------------------------------------------

Shared<CompiledTable> TableCache::get(PyObject* dict) {
    if (table_ && watch_.same(dict)) return table_;
    watch_.reset();
    const Ref held = Ref::borrow(dict);
    PhoneTable table;
    bool ran_code = false;  // a value's __iter__ may have changed the dict
    Py_ssize_t pos = 0;
    PyObject *raw_key, *raw_value;
    while (PyDict_Next(dict, &pos, &raw_key, &raw_value)) {
        // Reading a value may run its __iter__, which may take the pair out of the dict.
        const Ref key = Ref::borrow(raw_key), value = Ref::borrow(raw_value);
        if (!PyUnicode_Check(key.get())) {
            raise_expected("str", key.get());
            return nullptr;
        }
        ran_code |= !PyList_CheckExact(value.get()) && !PyTuple_CheckExact(value.get());
        Ref seq(PySequence_Fast(value.get(), "phoneme table values must be sequences of str"));
        if (!seq) return nullptr;
        std::vector<Text> graphemes;
        if (!list_to_texts(seq.get(), graphemes)) return nullptr;
        table.entries.emplace_back(to_text(key.get()), std::move(graphemes));
    }
    // A new table each time: whoever fetched the previous one keeps it intact.
    table_ = std::make_shared<const CompiledTable>(table);
    // When only lists and tuples were read, no Python code ran, so they are
    // still what was compiled and can be watched.
    if (ran_code || !watch_.watch(dict, true)) watch_.reset();
    return table_;
}

namespace {
Accessor& g_table_accessor = for_the_process<Accessor>(&Names::phone_table_global, "phone_to_graphemes", true);
}  // namespace

Shared<CompiledTable> current_phone_table() {
    static TableCache& cache = for_the_process<TableCache>();
    PyObject* dict = g_table_accessor.call();
    if (!dict) return nullptr;
    Ref hold(dict);
    if (!PyDict_Check(dict)) {
        raise_arg_type("phone_to_graphs", "dict", dict);
        return nullptr;
    }
    return cache.get(dict);
}

// ---- liaison consonants ---------------------------------------------------------------------

namespace {
Accessor& g_liaison_accessor = for_the_process<Accessor>(&Names::liaisons_global, "liaison_consonnes", true);
}  // namespace

Shared<TextMap<Text>> current_liaisons() {
    static Shared<TextMap<Text>>& liaisons = for_the_process<Shared<TextMap<Text>>>();
    static DictWatch& watch = for_the_process<DictWatch>();
    static bool valid = false;
    PyObject* dict = g_liaison_accessor.call();
    if (!dict) return nullptr;
    Ref hold(dict);
    if (valid && watch.same(dict)) return liaisons;
    valid = false;
    watch.reset();
    if (dict == Py_None) {
        PyErr_SetString(PyExc_AttributeError, "'NoneType' object has no attribute 'get'");
        return nullptr;
    }
    if (!PyDict_Check(dict)) {
        PyErr_Format(PyExc_TypeError, "Expected %s, got %.200s", "dict", Py_TYPE(dict)->tp_name);
        return nullptr;
    }
    auto fresh = std::make_shared<TextMap<Text>>();
    Py_ssize_t pos = 0;
    PyObject *key, *value;
    while (PyDict_Next(dict, &pos, &key, &value)) {
        if (PyUnicode_Check(key) && PyUnicode_Check(value)) fresh->emplace(to_text(key), to_text(value));
    }
    liaisons = std::move(fresh);
    // Keys and values are str, which never change: watching the dict covers them.
    valid = watch.watch(dict, false);
    return liaisons;
}

// ---- the alphabet and the sonority classes -------------------------------------------------

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

namespace {
// New reference to class k of a _SonorityClasses-like object.
PyObject* class_set(PyObject* classes, int k) {
    static PyObject* Names::* const names[5] = {&Names::class_O, &Names::class_N, &Names::class_L, &Names::class_Y,
                                                &Names::class_V};
    if (Py_TYPE(classes) == record_type(Rec::SonorityClasses)) {
        if (PyObject* v = record_field(classes, k)) return Py_NewRef(v);
    }
    return PyObject_GetAttr(classes, g_names.*names[k]);
}
}  // namespace

bool sonority_from_object(PyObject* classes, SonorityClasses& out) {
    TextSet* targets[] = {&out.O, &out.N, &out.L, &out.Y, &out.V};
    for (int k = 0; k < 5; ++k) {
        PyObject* s = class_set(classes, k);
        if (!s) return false;
        Ref hold(s);
        if (!read_texts(s, *targets[k])) return false;
    }
    return true;
}

namespace {
struct CompiledSonority {
    CompiledSet sets[5];
    Shared<SonorityClasses> classes;
    Shared<TextSet> made_of[5];
};
CompiledSonority& g_sonority = for_the_process<CompiledSonority>();
}  // namespace

namespace {
Shared<SonorityClasses> sonority_as_compiled() {
    CompiledSonority& c = g_sonority;
    const Shared<TextSet> now[5] = {c.sets[0].texts, c.sets[1].texts, c.sets[2].texts, c.sets[3].texts,
                                    c.sets[4].texts};
    if (!c.classes || !same_sets(now, c.made_of)) {
        c.classes = std::make_shared<const SonorityClasses>(SonorityClasses{*now[0], *now[1], *now[2], *now[3], *now[4]});
        for (int k = 0; k < 5; ++k) c.made_of[k] = now[k];
    }
    return c.classes;
}
}  // namespace

Shared<SonorityClasses> current_sonority() {
    Ref obj = module_global(&Names::sonority_global);
    if (!obj) return nullptr;
    for (int k = 0; k < 5; ++k) {
        PyObject* s = class_set(obj.get(), k);
        if (!s) return nullptr;
        Ref hold(s);
        if (!g_sonority.sets[k].refresh(s)) return nullptr;
    }
    return sonority_as_compiled();
}

namespace {
// The classifier points into the classes and sets it was built on: it keeps them.
struct HeldClassifier {
    HeldClassifier(Shared<SonorityClasses> c, Shared<PhonemeSets> s)
        : classes(std::move(c)), sets(std::move(s)), classifier(*classes, *sets) {}
    Shared<SonorityClasses> classes;
    Shared<PhonemeSets> sets;
    PhonemeClassifier classifier;
};
std::shared_ptr<const HeldClassifier>& g_held = for_the_process<std::shared_ptr<const HeldClassifier>>();

Shared<PhonemeClassifier> classifier_for(Shared<SonorityClasses> classes, Shared<PhonemeSets> sets) {
    if (!g_held || g_held->classes != classes || g_held->sets != sets)
        g_held = std::make_shared<const HeldClassifier>(std::move(classes), std::move(sets));
    return Shared<PhonemeClassifier>(g_held, &g_held->classifier);
}
}  // namespace

Shared<PhonemeClassifier> current_classifier() {
    Shared<SonorityClasses> classes = current_sonority();
    if (!classes) return nullptr;
    Shared<PhonemeSets> sets = current_phoneme_sets();
    if (!sets) return nullptr;
    return classifier_for(std::move(classes), std::move(sets));
}

// ---- the classifier, checked on the questions it was asked ----------------------------

namespace {
// One-code-point str objects, made once: most tokens are one code point.
PyObject* code_point_text(char32_t c) {
    static std::array<PyObject*, 0x300>& texts = for_the_process<std::array<PyObject*, 0x300>>();
    if (c >= texts.size()) return from_text(TextView(&c, 1));
    if (!texts[c]) texts[c] = from_text(TextView(&c, 1));  // kept for the process
    return Py_XNewRef(texts[c]);
}
}  // namespace

bool CheckedClassifier::take() {
    classifier_.reset();
    checked_ = false;
    // The same accessors, in the same order, as current_classifier(); the
    // sets are read in full only when they cannot be checked afterwards.
    Ref obj = module_global(&Names::sonority_global);
    if (!obj) return false;
    for (int k = 0; k < 5; ++k) {
        objects_[k] = Ref(class_set(obj.get(), k));
        if (!objects_[k]) return false;
    }
    for (int k = 0; k < 3; ++k) {
        objects_[5 + k] = Ref(g_set_sources.sources[k].accessor.call());
        if (!objects_[5 + k]) return false;
    }
    bool all_sets = g_held != nullptr;
    for (const Ref& set : objects_) all_sets = all_sets && PyAnySet_Check(set.get());
    if (!all_sets) return compile();
    classifier_ = Shared<PhonemeClassifier>(g_held, &g_held->classifier);
    checked_ = true;
    return true;
}

bool CheckedClassifier::compile() {
    classifier_.reset();
    checked_ = false;
    for (int k = 0; k < 5; ++k)
        if (!g_sonority.sets[k].refresh(objects_[k].get())) return false;
    for (int k = 0; k < 3; ++k)
        if (!g_set_sources.sources[k].compiled.refresh(objects_[5 + k].get())) return false;
    classifier_ = classifier_for(sonority_as_compiled(), phoneme_sets_as_compiled());
    return true;
}

namespace {
// What the sets, as they are now, answer about one token: each question
// as the classifier defines it, each set asked at most once. A set that
// cannot be asked (an error, cleared) makes `failed`.
class LiveAnswers {
public:
    // The sets in CheckedClassifier's order: O, N, L, Y, V, voyelles, consonnes, semi_voyelles.
    LiveAnswers(const Ref* sets, TextView token) : sets_(sets), token_(token) {}

    bool failed = false;

    bool in(int set) {
        if (known_[set] < 0) known_[set] = ask(sets_[set].get(), token_, text_);
        return known_[set] == 1;
    }
    bool est_voyelle() {
        if (token_.empty()) return false;
        if (in(kVoyelles)) return true;
        Ref first;
        return token_.size() > 1 && ask(sets_[kVoyelles].get(), token_.substr(0, 1), first) == 1;
    }
    char class_of() {
        if (in(kV) || est_voyelle()) return 'V';
        if (in(kY) || (!token_.empty() && in(kSemi))) return 'Y';
        if (in(kL)) return 'L';
        if (in(kN)) return 'N';
        return 'O';
    }

    static constexpr int kN = 1, kL = 2, kY = 3, kV = 4, kVoyelles = 5, kSemi = 7;

private:
    // `t in set`, with `text` made for `t` once.
    int ask(PyObject* set, TextView t, Ref& text) {
        if (failed) return 0;
        if (!text) text = Ref(t.size() == 1 ? code_point_text(t[0]) : from_text(t));
        const int r = text ? PySet_Contains(set, text.get()) : -1;
        failed = r < 0;
        return r;
    }

    const Ref* sets_;
    TextView token_;
    Ref text_;
    int known_[8] = {-1, -1, -1, -1, -1, -1, -1, -1};
};
}  // namespace

bool CheckedClassifier::still_holds() {
    if (!checked_) return true;
    const PhonemeClassifier& c = *classifier_;
    bool same = true;
    log_.for_each([&](TextView t, std::uint8_t asked) {
        if (!same) return;
        LiveAnswers now(objects_, t);
        if (asked & ClassifierQueries::kEstVoyelle) same = now.est_voyelle() == c.est_voyelle(t);
        if (same && (asked & ClassifierQueries::kClassOf)) same = now.class_of() == c.class_of(t);
        for (int k = 0; same && k < 5; ++k)
            if (asked & (ClassifierQueries::kInO << k)) same = now.in(k) == c.in_class("ONLYV"[k], t);
        same = same && !now.failed;
    });
    PyErr_Clear();
    return same;
}

}  // namespace vantro::py
