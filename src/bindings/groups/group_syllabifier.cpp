// Stage E2 (syllabifier_groupes): the core's steps over the caller's groups,
// read only as far as each step needs.
#include "groups/group_syllabifier.hpp"

#include "bindings/common/attributes.hpp"
#include "bindings/common/errors.hpp"
#include "bindings/common/functions.hpp"
#include "bindings/common/owned.hpp"
#include "bindings/data/linguistic_data.hpp"
#include "bindings/groups/host_readings.hpp"
#include "bindings/groups/stage_arguments.hpp"
#include "bindings/records/records.hpp"
#include "bindings/results/syllable_records.hpp"

namespace vantro::py {
namespace {

// The words of a group as the core aligns them: each one's text and where it starts.
std::vector<GroupWord> words_of(PyObject* groupe) {
    Ref mots = attr(groupe, g_names.mots);
    // A word's `text` or `span` may change the caller's list: the walk is over a snapshot.
    Snapshot seq;
    if (!seq.take(mots.get(), "mots must be a sequence")) throw PythonError{};
    const Py_ssize_t n = seq.size();
    std::vector<GroupWord> words(static_cast<std::size_t>(n));
    for (Py_ssize_t i = 0; i < n; ++i) {
        PyObject* mot = seq[i];
        GroupWord& w = words[static_cast<std::size_t>(i)];
        w.text = text_attr(mot, g_names.text);
        Ref span = attr(mot, g_names.span);
        Ref start = take(PySequence_GetItem(span.get(), 0));
        if (!to_int64(start.get(), w.span_start)) throw PythonError{};
    }
    return words;
}

// The caller's groups (a snapshot of the list) and readings by position, as
// syllabifier_groupes asks for them; the results go into `out`, one per group.
class HostGroups {
public:
    HostGroups(PyObject* groupes, PyObject* lectures, PyObject* out)
        : groupes_(groupes), lectures_(lectures), out_(out) {}

    std::size_t size() const { return static_cast<std::size_t>(PyTuple_GET_SIZE(groupes_)); }
    bool est_formule(std::size_t gi) const { return truth_attr(group(gi), g_names.est_formule); }
    bool own_reading(std::size_t gi) {
        reading_ = attr(group(gi), g_names.lecture);
        if (reading_.get() != Py_None) return true;
        reading_ = Ref();
        return false;
    }
    bool reading_by_position(std::size_t gi) {
        if (!lectures_) return false;
        Ref key = take(PyLong_FromSize_t(gi));
        PyObject* found = PyDict_GetItemWithError(lectures_, key.get());
        if (!found && PyErr_Occurred()) throw PythonError{};
        reading_ = Ref::borrow(found);
        return found != nullptr;
    }
    void check_reading() const { py::check_reading(reading_.get()); }
    void store_reading(std::size_t gi) const {
        need_status(PyObject_SetAttr(group(gi), g_names.lecture, reading_.get()));
    }
    void syllables_of_reading(std::size_t gi) { put(gi, reading_syllables(reading_.get())); }
    bool phone_empty(std::size_t gi) {
        phone_ = attr(group(gi), g_names.phone_groupe);
        if (!PyUnicode_Check(phone_.get())) {
            raise_arg_type("phone", "str", phone_.get());
            throw PythonError{};
        }
        return PyUnicode_GET_LENGTH(phone_.get()) == 0;
    }
    void no_syllables(std::size_t gi) { put(gi, need(PyList_New(0))); }
    void syllables_of_words(std::size_t gi) {
        const std::vector<GroupWord> words = words_of(group(gi));
        // Held until the group is done: a nested analysis may compile other tables.
        const Shared<PhonemeClassifier> classes = need(current_classifier());
        const Shared<CompiledTable> table = need(current_phone_table());
        const Shared<TextSet> silent = need(current_silent_letters());
        const LinguisticContext ctx{classes->sets(), classes->classes(), *table, *silent, classes.get()};
        SyllableRecords records;  // the records are made as the syllables are built
        syllabifier_groupe(to_text(phone_.get()), words, ctx, records);
        put(gi, need(records.finish()));
    }

private:
    PyObject* group(std::size_t gi) const { return PyTuple_GET_ITEM(groupes_, static_cast<Py_ssize_t>(gi)); }
    // out[gi] = ResultatGroupe(group, syllabes), `syllabes` stolen. Groups
    // come in order; the list only ever holds finished records, since the
    // caller's code runs between two groups.
    void put(std::size_t gi, PyObject* syllabes) {
        Ref rg = take(make_record(Rec::ResultatGroupe, {Py_NewRef(group(gi)), syllabes}));
        if (static_cast<Py_ssize_t>(gi) != PyList_GET_SIZE(out_)) {
            PyErr_SetString(PyExc_SystemError, "syllabifier_groupes: groups out of order");
            throw PythonError{};
        }
        need_status(PyList_Append(out_, rg.get()));
    }

    PyObject* groupes_;   // a tuple of our own
    PyObject* lectures_;  // a dict, or nullptr
    PyObject* out_;
    Ref reading_;  // the reading at hand
    Ref phone_;    // the IPA of the group at hand
};

VANTRO_FASTCALL(syllabifier_groupes_fn) {
    PyObject* a[2];
    if (!syllabifier_arguments(args, nargs, kwnames, a)) return nullptr;
    return guarded([&]() -> PyObject* {
        // The list is read once: later changes by a callee cannot shift the walk.
        Ref groupes = take(PyList_AsTuple(a[0]));
        Ref out = take(PyList_New(0));
        HostGroups groups(groupes.get(), a[1] && a[1] != Py_None ? a[1] : nullptr, out.get());
        syllabifier_groupes(groups);
        return out.release();
    });
}

}  // namespace

PyMethodDef group_syllabifier_functions[] = {
    VANTRO_METHOD("syllabifier_groupes", syllabifier_groupes_fn,
                  "syllabifier_groupes($module, /, groupes, lectures_formules=None)\n--\n\n"
                  "Étape E2 : syllabe chaque groupe de lecture d'un seul tenant."),
    {nullptr, nullptr, 0, nullptr},
};

}  // namespace vantro::py
