// vantro_aligneur._chargeur: owns the linguistic tables of the process.
//
// The document is read once (lazily) from the package data folder through the
// interpreter's resource reader and JSON parser, so that member order is the
// file's order. Tables are handed out shared, never copied; only the
// silent-letter set is fresh on every call, since callers may change it.
#define PY_SSIZE_T_CLEAN
#include <Python.h>

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
        // Another thread may have stored an equal document meanwhile; the later store stands.
        Py_XSETREF(g_donnees, parsed);
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

PyObject* alphabet_ipa(PyObject*, PyObject*) {
    PyObject* v = member("alphabet_ipa");
    return v ? expect_dict(v) : nullptr;
}
PyObject* phone_to_graphemes(PyObject*, PyObject*) {
    PyObject* v = member("phone_to_graphemes");
    return v ? expect_dict(v) : nullptr;
}
PyObject* espeak_to_ipa(PyObject*, PyObject*) {
    PyObject* v = member("espeak_to_ipa");
    return v ? expect_dict(v) : nullptr;
}
PyObject* liaison_consonnes(PyObject*, PyObject*) {
    PyObject* v = member("liaison_consonnes");
    return v ? expect_dict(v) : nullptr;
}

PyObject* lettres_muettes_possibles(PyObject*, PyObject*) {
    PyObject* v = member("lettres_muettes_possibles");
    if (!v) return nullptr;
    PyObject* s = PySet_New(v);
    Py_DECREF(v);
    return s;
}

// entry.get(name) == expected, with Python's own comparison.
int entry_member_equals(PyObject* entry, const char* name, const char* expected) {
    PyObject* value = PyObject_CallMethod(entry, "get", "s", name);
    if (!value) return -1;
    PyObject* want = PyUnicode_FromString(expected);
    if (!want) {
        Py_DECREF(value);
        return -1;
    }
    int eq = PyObject_RichCompareBool(value, want, Py_EQ);
    Py_DECREF(want);
    Py_DECREF(value);
    return eq;
}

enum class Kind { Voyelle, Consonne, SemiVoyelle };

PyObject* derived_set(PyObject** cache, Kind kind) {
    if (*cache) {
        Py_INCREF(*cache);
        return *cache;
    }
    PyObject* alphabet = alphabet_ipa(nullptr, nullptr);
    if (!alphabet) return nullptr;
    PyObject* items = PyObject_CallMethod(alphabet, "items", nullptr);
    Py_DECREF(alphabet);
    if (!items) return nullptr;
    PyObject* it = PyObject_GetIter(items);
    Py_DECREF(items);
    if (!it) return nullptr;
    PyObject* result = PySet_New(nullptr);
    if (!result) {
        Py_DECREF(it);
        return nullptr;
    }
    while (PyObject* pair = PyIter_Next(it)) {
        PyObject *symbol = nullptr, *entry = nullptr;
        if (!PyArg_ParseTuple(pair, "OO", &symbol, &entry)) {
            Py_DECREF(pair);
            goto fail;
        }
        int keep;
        switch (kind) {
            case Kind::Voyelle:
                keep = entry_member_equals(entry, "type", "voyelle");
                if (keep == 1) keep = entry_member_equals(entry, "sous_type", "orale");
                break;
            case Kind::Consonne:
                keep = entry_member_equals(entry, "type", "consonne");
                break;
            default:
                keep = entry_member_equals(entry, "type", "semi-voyelle");
                break;
        }
        if (keep < 0 || (keep == 1 && PySet_Add(result, symbol) < 0)) {
            Py_DECREF(pair);
            goto fail;
        }
        Py_DECREF(pair);
    }
    if (PyErr_Occurred()) goto fail;
    Py_DECREF(it);
    Py_XSETREF(*cache, result);
    Py_INCREF(result);
    return result;
fail:
    Py_DECREF(it);
    Py_DECREF(result);
    return nullptr;
}

PyObject* voyelles(PyObject*, PyObject*) { return derived_set(&g_voyelles, Kind::Voyelle); }
PyObject* consonnes(PyObject*, PyObject*) { return derived_set(&g_consonnes, Kind::Consonne); }
PyObject* semi_voyelles(PyObject*, PyObject*) { return derived_set(&g_semi_voyelles, Kind::SemiVoyelle); }

PyMethodDef methods[] = {
    {"_charger", charger, METH_NOARGS, "Charge et retourne le document complet (une seule lecture)."},
    {"alphabet_ipa", alphabet_ipa, METH_NOARGS, "Table de l'alphabet IPA : symbole -> classe."},
    {"phone_to_graphemes", phone_to_graphemes, METH_NOARGS, "Table phoneme -> graphemes possibles."},
    {"espeak_to_ipa", espeak_to_ipa, METH_NOARGS, "Table de correspondance eSpeak -> IPA."},
    {"liaison_consonnes", liaison_consonnes, METH_NOARGS, "Etiquette de liaison -> consonne entendue."},
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

PyMODINIT_FUNC PyInit__chargeur() { return PyModule_Create(&module_def); }
