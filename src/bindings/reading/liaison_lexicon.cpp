#include "bindings/reading/liaison_lexicon.hpp"

namespace vantro::py {
namespace {

// Adds the str items of a list to `out`.
bool add_words(PyObject* list, const char* what, TextSet& out) {
    if (!PyList_Check(list)) {
        PyErr_Format(PyExc_TypeError, "lecture_en_contexte: %s doit être une liste de mots", what);
        return false;
    }
    std::vector<Text> words;
    if (!list_to_texts(list, words)) return false;
    for (Text& w : words) out.insert(std::move(w));
    return true;
}

PyObject* member(PyObject* dict, const char* key) {
    if (!PyDict_Check(dict)) {
        raise_expected("dict", dict);
        return nullptr;
    }
    PyObject* v = PyDict_GetItemString(dict, key);  // borrowed
    if (!v) PyErr_SetString(PyExc_KeyError, key);
    return v;
}

}  // namespace

bool read_liaison_lexicon(reading::LiaisonLexicon& out) {
    Ref loader(PyImport_ImportModule("vantro_aligneur._chargeur"));
    if (!loader) return false;
    Ref document(PyObject_CallMethod(loader.get(), "_charger", nullptr));
    if (!document) return false;
    // Every list is read while the document holds it: nothing runs in between.
    PyObject* lexicon = member(document.get(), "lecture_en_contexte");
    if (!lexicon) return false;
    PyObject* disjonctifs = member(lexicon, "disjonctifs");
    PyObject* donneurs = disjonctifs ? member(lexicon, "donneurs_de_liaison") : nullptr;
    PyObject* jamais = donneurs ? member(lexicon, "sans_liaison_apres") : nullptr;
    if (!jamais) return false;
    if (!add_words(disjonctifs, "disjonctifs", out.disjonctifs) ||
        !add_words(jamais, "sans_liaison_apres", out.jamais_apres))
        return false;
    if (!PyDict_Check(donneurs)) {
        raise_expected("dict", donneurs);
        return false;
    }
    Py_ssize_t pos = 0;
    PyObject* key;
    PyObject* words;
    while (PyDict_Next(donneurs, &pos, &key, &words))
        if (!add_words(words, "donneurs_de_liaison", out.donneurs)) return false;
    return true;
}

}  // namespace vantro::py
