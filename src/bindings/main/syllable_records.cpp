#include "syllable_records.hpp"

#include "records.hpp"

namespace vantro::py {
namespace {

PyObject* group_record(const std::vector<PhonemeRec>& phonemes) {
    PyObject* list = PyList_New(static_cast<Py_ssize_t>(phonemes.size()));
    if (!list) return nullptr;
    for (std::size_t i = 0; i < phonemes.size(); ++i) {
        PyObject* rec = make_record(Rec::Phoneme, {from_text(phonemes[i].ipa), from_text(phonemes[i].grapheme)});
        if (!rec) {
            Py_DECREF(list);
            return nullptr;
        }
        PyList_SET_ITEM(list, static_cast<Py_ssize_t>(i), rec);
    }
    return make_record(Rec::GroupePhonologique, {list});
}

}  // namespace

PyObject* syllabes_to_list(const std::vector<SyllabeRec>& syllabes) {
    PyObject* list = PyList_New(static_cast<Py_ssize_t>(syllabes.size()));
    if (!list) return nullptr;
    for (std::size_t i = 0; i < syllabes.size(); ++i) {
        const SyllabeRec& s = syllabes[i];
        PyObject* rec = make_record(Rec::Syllabe, {from_text(s.phone), from_text(s.ortho), from_span(s.span),
                                                   group_record(s.attaque), group_record(s.noyau),
                                                   group_record(s.coda)});
        if (!rec) {
            Py_DECREF(list);
            return nullptr;
        }
        PyList_SET_ITEM(list, static_cast<Py_ssize_t>(i), rec);
    }
    return list;
}

}  // namespace vantro::py
