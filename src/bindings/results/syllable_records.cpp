#include "bindings/results/syllable_records.hpp"

#include <cstring>

#include "bindings/common/owned.hpp"
#include "bindings/records/records.hpp"

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
    std::memcpy(object_slots(obj), values, sizeof values);
    return obj;
}

// New list holding the references of `items` (stolen), which is emptied.
PyObject* take_list(std::vector<PyObject*>& items) {
    PyObject* list = PyList_New(static_cast<Py_ssize_t>(items.size()));
    if (list) {
        for (std::size_t i = 0; i < items.size(); ++i) PyList_SET_ITEM(list, static_cast<Py_ssize_t>(i), items[i]);
    } else {
        release_all(items);
    }
    items.clear();
    return list;
}

PyObject* group_of(std::vector<PyObject*>& phonemes) {
    PyObject* list = take_list(phonemes);
    return list ? filled_record(Rec::GroupePhonologique, {list}) : nullptr;
}

}  // namespace

SyllableRecords::~SyllableRecords() { reset(); }

void SyllableRecords::reset() {
    release_all(syllabes_);
    for (auto& g : groups_) release_all(g);
    Py_CLEAR(phone_);
    ortho_.clear();
    span_ = Span{};
    open_ = false;
    failed_ = false;
}

void SyllableRecords::close() {
    open_ = false;
    if (failed_) return;
    PyObject* rec = filled_record(Rec::Syllabe, {phone_, from_text(ortho_), from_span(span_),
                                                 group_of(groups_[0]), group_of(groups_[1]), group_of(groups_[2])});
    phone_ = nullptr;  // stolen by the record (or released)
    if (!rec) {
        failed_ = true;
        return;
    }
    syllabes_.push_back(rec);
}

void SyllableRecords::begin(TextView phone) {
    if (open_) close();
    open_ = true;
    ortho_.clear();
    span_ = Span{};
    if (failed_) return;
    phone_ = from_text(phone);
    if (!phone_) failed_ = true;
}

void SyllableRecords::phoneme(Group group, TextView ipa, TextView letters) {
    if (failed_) return;
    PyObject* rec = filled_record(Rec::Phoneme, {from_text(ipa), from_text(letters)});
    if (!rec) {
        failed_ = true;
        return;
    }
    groups_[static_cast<int>(group)].push_back(rec);
}

PyObject* SyllableRecords::finish() {
    if (open_) close();
    PyObject* list = failed_ ? nullptr : take_list(syllabes_);
    reset();
    return list;
}

PyObject* syllabes_to_list(const std::vector<SyllabeRec>& syllabes) {
    SyllableRecords records;
    auto group = [&](SyllableSink::Group g, const std::vector<PhonemeRec>& phonemes) {
        for (const PhonemeRec& p : phonemes) records.phoneme(g, p.ipa, p.grapheme);
    };
    for (const SyllabeRec& s : syllabes) {
        records.begin(s.phone);
        group(SyllableSink::Group::Attaque, s.attaque);
        group(SyllableSink::Group::Noyau, s.noyau);
        group(SyllableSink::Group::Coda, s.coda);
        records.ortho() = s.ortho;
        records.span() = s.span;
    }
    return records.finish();
}

}  // namespace vantro::py
