#include "syllable_records.hpp"

#include <cstring>

#include "records.hpp"

namespace vantro::py {
namespace {

// A record of type `r` from one new reference per field, in field order (all
// fields given). Every value is released when anything fails.
template <std::size_t N>
PyObject* filled_record(Rec r, PyObject* const (&values)[N]) {
    PyObject* obj = nullptr;
    bool complete = true;
    for (PyObject* v : values) complete &= v != nullptr;
    if (complete) obj = new_record_object(r);
    if (!obj) {
        for (PyObject* v : values) Py_XDECREF(v);
        return nullptr;
    }
    std::memcpy(detail::record_slots(obj), values, sizeof values);
    return obj;
}

PyObject* group_record(const std::vector<PhonemeRec>& phonemes) {
    PyObject* list = PyList_New(static_cast<Py_ssize_t>(phonemes.size()));
    if (!list) return nullptr;
    for (std::size_t i = 0; i < phonemes.size(); ++i) {
        PyObject* rec = filled_record(Rec::Phoneme, {from_text(phonemes[i].ipa), from_text(phonemes[i].grapheme)});
        if (!rec) {
            Py_DECREF(list);
            return nullptr;
        }
        PyList_SET_ITEM(list, static_cast<Py_ssize_t>(i), rec);
    }
    return filled_record(Rec::GroupePhonologique, {list});
}

}  // namespace

PyObject* syllabes_to_list(const std::vector<SyllabeRec>& syllabes) {
    PyObject* list = PyList_New(static_cast<Py_ssize_t>(syllabes.size()));
    if (!list) return nullptr;
    for (std::size_t i = 0; i < syllabes.size(); ++i) {
        const SyllabeRec& s = syllabes[i];
        PyObject* rec = filled_record(Rec::Syllabe, {from_text(s.phone), from_text(s.ortho), from_span(s.span),
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
