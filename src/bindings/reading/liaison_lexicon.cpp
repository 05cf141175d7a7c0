#include "bindings/reading/liaison_lexicon.hpp"

#include <utility>
#include <vector>

namespace vantro::py {
namespace {

PyObject* member(PyObject* dict, const char* key) {
    if (!PyDict_Check(dict)) {
        raise_expected("dict", dict);
        return nullptr;
    }
    PyObject* v = PyDict_GetItemString(dict, key);  // borrowed
    if (!v) PyErr_SetString(PyExc_KeyError, key);
    return v;
}

// The lists the lexicon is made of, in order, and the str items they held
// when it was made: while they are the very same objects, so is the lexicon.
struct Source {
    std::vector<Ref> lists;
    std::vector<Ref> items;

    bool same_as(const std::vector<PyObject*>& now) const {
        if (now.size() != lists.size()) return false;
        std::size_t k = 0;
        for (std::size_t i = 0; i < now.size(); ++i) {
            if (now[i] != lists[i].get() || !PyList_Check(now[i])) return false;
            for (Py_ssize_t j = 0; j < PyList_GET_SIZE(now[i]); ++j, ++k)
                if (k >= items.size() || PyList_GET_ITEM(now[i], j) != items[k].get()) return false;
        }
        return k == items.size();
    }
};

// The lists of the data member: disjonctifs, sans_liaison_apres, then the
// lists of donneurs_de_liaison in order. False with an error set.
bool lists_of(PyObject* lexicon, std::vector<PyObject*>& out) {
    PyObject* disjonctifs = member(lexicon, "disjonctifs");
    PyObject* donneurs = disjonctifs ? member(lexicon, "donneurs_de_liaison") : nullptr;
    PyObject* jamais = donneurs ? member(lexicon, "sans_liaison_apres") : nullptr;
    if (!jamais) return false;
    if (!PyDict_Check(donneurs)) {
        raise_expected("dict", donneurs);
        return false;
    }
    out = {disjonctifs, jamais};
    Py_ssize_t pos = 0;
    PyObject* key;
    PyObject* words;
    while (PyDict_Next(donneurs, &pos, &key, &words)) out.push_back(words);
    for (PyObject* list : out) {
        if (!PyList_Check(list)) {
            PyErr_SetString(PyExc_TypeError, "lecture_en_contexte : chaque liste doit être une liste de mots");
            return false;
        }
    }
    return true;
}

}  // namespace

std::shared_ptr<const reading::LiaisonLexicon> current_liaison_lexicon() {
    // Made once for the process, remade when the data's lists change.
    static Source& source = *new Source();
    static auto& made = *new std::shared_ptr<const reading::LiaisonLexicon>();
    Ref loader(PyImport_ImportModule("vantro_aligneur._chargeur"));
    if (!loader) return nullptr;
    Ref document(PyObject_CallMethod(loader.get(), "_charger", nullptr));
    if (!document) return nullptr;
    PyObject* lexicon = member(document.get(), "lecture_en_contexte");
    std::vector<PyObject*> lists;
    if (!lexicon || !lists_of(lexicon, lists)) return nullptr;
    if (!made || !source.same_as(lists)) {
        // Nothing runs Python code from here on: the lists stay as they are.
        auto fresh = std::make_shared<reading::LiaisonLexicon>();
        Source held;
        for (std::size_t i = 0; i < lists.size(); ++i) {
            std::vector<Text> words;
            if (!list_to_texts(lists[i], words)) return nullptr;
            TextSet& into = i == 0 ? fresh->disjonctifs : i == 1 ? fresh->jamais_apres : fresh->donneurs;
            for (Text& w : words) into.insert(std::move(w));
            held.lists.push_back(Ref::borrow(lists[i]));
            for (Py_ssize_t j = 0; j < PyList_GET_SIZE(lists[i]); ++j)
                held.items.push_back(Ref::borrow(PyList_GET_ITEM(lists[i], j)));
        }
        made = std::move(fresh);
        // The lists last seen are released once `source` is whole again.
        std::swap(source, held);
    }
    return made;
}

}  // namespace vantro::py
