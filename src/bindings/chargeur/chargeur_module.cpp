// vantro_aligneur._chargeur: owns the linguistic tables of the process.
//
// The document is read once (lazily) from the package data folder through the
// interpreter's resource reader and JSON parser, so that member order is the
// file's order. Tables are handed out shared, never copied; only the
// silent-letter set is fresh on every call, since callers may change it.
#include "bindings/common/errors.hpp"
#include "phonology/phoneme_sets.hpp"

namespace vantro::py {
namespace {

PyObject* g_donnees = nullptr;        // the parsed document, once loaded
PyObject* g_voyelles = nullptr;       // derived sets, each filled on first use
PyObject* g_consonnes = nullptr;
PyObject* g_semi_voyelles = nullptr;

constexpr const char* kMissingFile =
    "Fichier de donnees donnees_aligneur.json introuvable. "
    "Installez le package complet : pip install vantro-aligneur";

PyObject* expect_dict(PyObject* value) {
    // Mirrors a typed return: a dict or None passes, anything else is refused.
    if (value == Py_None || PyDict_Check(value)) return value;
    PyErr_Format(PyExc_TypeError, "Expected %s, got %.200s", "dict", Py_TYPE(value)->tp_name);
    Py_DECREF(value);
    return nullptr;
}

PyObject* read_document_text() {
    PyObject* resources = PyImport_ImportModule("importlib.resources");
    if (!resources) return nullptr;
    PyObject* folder = PyObject_CallMethod(resources, "files", "s", "vantro_aligneur.data");
    Py_DECREF(resources);
    if (!folder) return nullptr;
    PyObject* entry = PyObject_CallMethod(folder, "joinpath", "s", "donnees_aligneur.json");
    Py_DECREF(folder);
    if (!entry) return nullptr;
    PyObject* read_text = PyObject_GetAttrString(entry, "read_text");
    Py_DECREF(entry);
    if (!read_text) return nullptr;
    PyObject* kwargs = Py_BuildValue("{s:s}", "encoding", "utf-8");
    if (!kwargs) {
        Py_DECREF(read_text);
        return nullptr;
    }
    PyObject* empty = PyTuple_New(0);
    PyObject* text = empty ? PyObject_Call(read_text, empty, kwargs) : nullptr;
    Py_XDECREF(empty);
    Py_DECREF(kwargs);
    Py_DECREF(read_text);
    if (!text && PyErr_ExceptionMatches(PyExc_FileNotFoundError)) {
        // The underlying error is dropped entirely: no cause, no context.
        PyErr_Clear();
        PyErr_SetString(PyExc_FileNotFoundError, kMissingFile);
    }
    return text;
}

// Borrowed reference to the document (loading it on first use), or nullptr.
PyObject* document() {
    if (!g_donnees) {
        PyObject* text = read_document_text();
        if (!text) return nullptr;
        PyObject* json = PyImport_ImportModule("json");
        if (!json) {
            Py_DECREF(text);
            return nullptr;
        }
        PyObject* parsed = PyObject_CallMethod(json, "loads", "O", text);
        Py_DECREF(json);
        Py_DECREF(text);
        if (!parsed) return nullptr;
        // Another thread, or code run by the reading, may have stored an equal
        // document meanwhile: that one stands, as tables of it may be in use.
        if (g_donnees) Py_DECREF(parsed);
        else g_donnees = parsed;
    }
    if (!PyDict_Check(g_donnees)) {
        PyErr_Format(PyExc_TypeError, "Expected %s, got %.200s", "dict", Py_TYPE(g_donnees)->tp_name);
        return nullptr;
    }
    return g_donnees;
}

PyObject* member(const char* name) {
    PyObject* doc = document();
    if (!doc) return nullptr;
    PyObject* key = PyUnicode_FromString(name);
    if (!key) return nullptr;
    PyObject* value = PyDict_GetItemWithError(doc, key);
    if (!value) {
        if (!PyErr_Occurred()) PyErr_SetObject(PyExc_KeyError, key);
        Py_DECREF(key);
        return nullptr;
    }
    Py_DECREF(key);
    Py_INCREF(value);
    return value;
}

PyObject* charger(PyObject*, PyObject*) {
    PyObject* doc = document();
    Py_XINCREF(doc);
    return doc;
}

// The accessor of a member that must be an object (a dict).
template <const char* Name>
PyObject* dict_member(PyObject*, PyObject*) {
    PyObject* v = member(Name);
    return v ? expect_dict(v) : nullptr;
}
constexpr char kAlphabet[] = "alphabet_ipa";
constexpr char kPhoneToGraphemes[] = "phone_to_graphemes";
constexpr char kEspeakToIpa[] = "espeak_to_ipa";
constexpr char kLiaisonConsonnes[] = "liaison_consonnes";

PyObject* lettres_muettes_possibles(PyObject*, PyObject*) {
    PyObject* v = member("lettres_muettes_possibles");
    if (!v) return nullptr;
    PyObject* s = PySet_New(v);
    Py_DECREF(v);
    return s;
}

// One entry of the alphabet, read with entry.get() as the derived sets need it.
struct EntryReader {
    PyObject* entry;
    std::optional<Text> get(const char* name) const {
        Ref v = take(PyObject_CallMethod(entry, "get", "s", name));
        if (!PyUnicode_Check(v.get())) return std::nullopt;
        return to_text(v.get());
    }
    std::optional<Text> type() const { return get("type"); }
    std::optional<Text> sous_type() const { return get("sous_type"); }
};

// The symbols of the alphabet that belong to `which`, computed on first use.
PyObject* derived_set(PyObject** cache, DerivedSet which) {
    if (*cache) return Py_NewRef(*cache);
    return guarded([&]() -> PyObject* {
        Ref alphabet = take(dict_member<kAlphabet>(nullptr, nullptr));
        Ref items = take(PyObject_CallMethod(alphabet.get(), "items", nullptr));
        Ref it = take(PyObject_GetIter(items.get()));
        Ref result = take(PySet_New(nullptr));
        while (PyObject* raw = PyIter_Next(it.get())) {
            Ref pair(raw);
            PyObject *symbol, *entry;
            if (!PyArg_ParseTuple(pair.get(), "OO", &symbol, &entry)) throw PythonError{};
            EntryReader reader{entry};
            if (belongs_to(which, reader)) need_status(PySet_Add(result.get(), symbol));
        }
        if (PyErr_Occurred()) throw PythonError{};
        Py_XSETREF(*cache, Py_NewRef(result.get()));
        return result.release();
    });
}

PyObject* voyelles(PyObject*, PyObject*) { return derived_set(&g_voyelles, DerivedSet::Voyelles); }
PyObject* consonnes(PyObject*, PyObject*) { return derived_set(&g_consonnes, DerivedSet::Consonnes); }
PyObject* semi_voyelles(PyObject*, PyObject*) { return derived_set(&g_semi_voyelles, DerivedSet::SemiVoyelles); }

PyMethodDef methods[] = {
    {"_charger", charger, METH_NOARGS, "Charge et retourne le document complet (une seule lecture)."},
    {"alphabet_ipa", dict_member<kAlphabet>, METH_NOARGS, "Table de l'alphabet IPA : symbole -> classe."},
    {"phone_to_graphemes", dict_member<kPhoneToGraphemes>, METH_NOARGS, "Table phoneme -> graphemes possibles."},
    {"espeak_to_ipa", dict_member<kEspeakToIpa>, METH_NOARGS, "Table de correspondance eSpeak -> IPA."},
    {"liaison_consonnes", dict_member<kLiaisonConsonnes>, METH_NOARGS, "Etiquette de liaison -> consonne entendue."},
    {"lettres_muettes_possibles", lettres_muettes_possibles, METH_NOARGS,
     "Lettres pouvant etre muettes (nouvel ensemble a chaque appel)."},
    {"voyelles", voyelles, METH_NOARGS, "Ensemble des voyelles orales."},
    {"consonnes", consonnes, METH_NOARGS, "Ensemble des consonnes."},
    {"semi_voyelles", semi_voyelles, METH_NOARGS, "Ensemble des semi-voyelles."},
    {nullptr, nullptr, 0, nullptr},
};

PyModuleDef module_def = {
    PyModuleDef_HEAD_INIT,
    "vantro_aligneur._chargeur",
    "Chargeur paresseux des donnees metier de l'Aligneur.\n\n"
    "Charge le fichier donnees_aligneur.json une seule fois (singleton)\n"
    "et expose les constantes derivees : alphabet IPA, tables phoneme-grapheme,\n"
    "mappings eSpeak, consonnes de liaison, lettres muettes, et les sets\n"
    "voyelles/consonnes/semi-voyelles.\n",
    -1,
    methods,
    nullptr, nullptr, nullptr, nullptr,
};

}  // namespace
}  // namespace vantro::py

PyMODINIT_FUNC PyInit__chargeur() { return PyModule_Create(&vantro::py::module_def); }
