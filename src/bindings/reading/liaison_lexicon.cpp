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

    bool same_as(const std::vector<Ref>& now) const {
        if (now.size() != lists.size()) return false;
        std::size_t k = 0;
        for (std::size_t i = 0; i < now.size(); ++i) {
            PyObject* list = now[i].get();
            if (list != lists[i].get() || !PyList_Check(list)) return false;
            for (Py_ssize_t j = 0; j < PyList_GET_SIZE(list); ++j, ++k)
                if (k >= items.size() || PyList_GET_ITEM(list, j) != items[k].get()) return false;
        }
        return k == items.size();
    }
};

// The lists of the data member: disjonctifs, sans_liaison_apres, then the
// lists of donneurs_de_liaison in order, each held (a caller's key may run
// code while the document is searched). False with an error set.
bool lists_of(PyObject* lexicon, std::vector<Ref>& out) {
    const Ref disjonctifs = Ref::borrow(member(lexicon, "disjonctifs"));
    const Ref donneurs = Ref::borrow(disjonctifs ? member(lexicon, "donneurs_de_liaison") : nullptr);
    const Ref jamais = Ref::borrow(donneurs ? member(lexicon, "sans_liaison_apres") : nullptr);
    if (!jamais) return false;
    if (!PyDict_Check(donneurs.get())) {
        raise_expected("dict", donneurs.get());
        return false;
    }
    out = {disjonctifs, jamais};
    Py_ssize_t pos = 0;
    PyObject* key;
    PyObject* words;
    while (PyDict_Next(donneurs.get(), &pos, &key, &words)) out.push_back(Ref::borrow(words));
    for (const Ref& held : out) {
        PyObject* list = held.get();
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
    const Ref lexicon = Ref::borrow(member(document.get(), "lecture_en_contexte"));
    std::vector<Ref> lists;
    if (!lexicon || !lists_of(lexicon.get(), lists)) return nullptr;
    if (!made || !source.same_as(lists)) {
        // Nothing runs Python code from here on: the lists stay as they are.
        auto fresh = std::make_shared<reading::LiaisonLexicon>();
        Source held;
        for (std::size_t i = 0; i < lists.size(); ++i) {
            std::vector<Text> words;
            if (!list_to_texts(lists[i].get(), words)) return nullptr;
            TextSet& into = i == 0 ? fresh->disjonctifs : i == 1 ? fresh->jamais_apres : fresh->donneurs;
            for (Text& w : words) into.insert(std::move(w));
            held.lists.push_back(lists[i]);
            for (Py_ssize_t j = 0; j < PyList_GET_SIZE(lists[i].get()); ++j)
                held.items.push_back(Ref::borrow(PyList_GET_ITEM(lists[i].get(), j)));
        }
        made = std::move(fresh);
        // The lists last seen are released once `source` is whole again.
        std::swap(source, held);
    }
    return made;
}

}  // namespace vantro::py
