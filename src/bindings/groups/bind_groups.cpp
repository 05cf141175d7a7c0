// Reading groups: stage E1, formula readings, stage E2.
#include <utility>
#include <vector>

#include "bindings/common/errors.hpp"
#include "bindings/common/functions.hpp"
#include "groups/group_builder.hpp"
#include "groups/group_syllabifier.hpp"
#include "bindings/data/linguistic_data.hpp"
#include "bindings/records/records.hpp"
#include "bindings/results/syllable_records.hpp"

namespace vantro::py {
namespace {

// The attribute names, made once and interned: a name made afresh at every
// read costs its hashing, and takes a new slot of the interpreter's
// attribute cache each time (the cache keeps the names it has seen).
PyObject* name_object(const char* name) {
    static std::vector<std::pair<const char*, PyObject*>> names;
    for (const auto& [text, object] : names)
        if (text == name) return object;
    PyObject* object = PyUnicode_InternFromString(name);
    if (object) names.emplace_back(name, object);
    return object;
}

PyObject* get_attr(PyObject* obj, const char* name) {
    PyObject* key = name_object(name);
    return key ? PyObject_GetAttr(obj, key) : nullptr;
}

Ref attr(PyObject* obj, const char* name) { return Ref(get_attr(obj, name)); }

// getattr(obj, name, default) where only AttributeError selects the default.
Ref attr_or(PyObject* obj, const char* name, PyObject* fallback) {
    PyObject* v = get_attr(obj, name);
    if (v) return Ref(v);
    if (!PyErr_ExceptionMatches(PyExc_AttributeError)) return Ref();
    PyErr_Clear();
    return Ref::borrow(fallback);
}

int truth_attr(PyObject* obj, const char* name) {
    Ref v = attr(obj, name);
    if (!v) return -1;
    return PyObject_IsTrue(v.get());
}

bool text_attr(PyObject* obj, const char* name, Text& out) {
    Ref v = attr(obj, name);
    if (!v) return false;
    if (!PyUnicode_Check(v.get())) {
        raise_expected("str", v.get());
        return false;
    }
    assign_text(v.get(), out);
    return true;
}

PyObject* zero_span() {
    static PyObject* zero = nullptr;
    if (!zero) zero = Py_BuildValue("(ii)", 0, 0);
    return Py_XNewRef(zero);
}

// ---- E1 ---------------------------------------------------------------------

VANTRO_FASTCALL(construire_groupes_fn) {
    const char* names[] = {"mots", "options", nullptr};
    PyObject* a[2];
    if (!parse_args({"construire_groupes", names, 1}, args, nargs, kwnames, a) || !check_list(a[0], "mots"))
        return nullptr;
    PyObject* mots = a[0];
    Ref options;
    if (!a[1] || a[1] == Py_None) {
        options = Ref(make_record(Rec::OptionsGroupes, {nullptr, nullptr, nullptr, nullptr}));
        if (!options) return nullptr;
    } else {
        if (!is_record(a[1], Rec::OptionsGroupes)) {
            raise_arg_type("options", "OptionsGroupes", a[1]);
            return nullptr;
        }
        options = Ref::borrow(a[1]);
    }
    // The list is read once: later changes by a callee cannot shift the walk.
    Ref snapshot(PyList_GetSlice(mots, 0, PyList_GET_SIZE(mots)));
    if (!snapshot) return nullptr;
    const Py_ssize_t n = PyList_GET_SIZE(snapshot.get());
    if (n == 0) return PyList_New(0);

    GroupingOptions opts;
    int v;
    if ((v = truth_attr(options.get(), "gerer_elisions")) < 0) return nullptr;
    opts.gerer_elisions = v;
    if ((v = truth_attr(options.get(), "gerer_liaisons")) < 0) return nullptr;
    opts.gerer_liaisons = v;
    if ((v = truth_attr(options.get(), "gerer_enchainement")) < 0) return nullptr;
    opts.gerer_enchainement = v;

    std::vector<WordForGrouping> words(static_cast<std::size_t>(n));
    for (Py_ssize_t i = 0; i < n; ++i) {
        PyObject* mot = PyList_GET_ITEM(snapshot.get(), i);
        WordForGrouping& w = words[static_cast<std::size_t>(i)];
        if (!text_attr(mot, "phone", w.phone)) return nullptr;
        Ref liaison = attr(mot, "liaison");
        if (!liaison) return nullptr;
        if (PyUnicode_Check(liaison.get())) w.liaison = to_text(liaison.get());
        if ((v = truth_attr(mot, "ponctuation_avant")) < 0) return nullptr;
        w.ponctuation_avant = v;
        if ((v = truth_attr(mot, "elision_avant")) < 0) return nullptr;
        w.elision_avant = v;
        if ((v = truth_attr(mot, "est_formule")) < 0) return nullptr;
        w.est_formule = v;
        Ref text = attr(mot, "text");
        if (!text) return nullptr;
        if (PyUnicode_Check(text.get())) assign_text(text.get(), w.text);
    }
    const PhonemeSets* sets = current_phoneme_sets();
    if (!sets) return nullptr;
    const TextMap<Text>* liaisons = current_liaisons();
    if (!liaisons) return nullptr;
    std::vector<GroupPlan> plans;
    PyObject* failed = guarded([&]() -> PyObject* {
        plans = construire_groupes(words, opts, *liaisons, *sets);
        return Py_NewRef(Py_None);
    });
    if (!failed) return nullptr;
    Py_DECREF(failed);

    Ref result(PyList_New(static_cast<Py_ssize_t>(plans.size())));
    if (!result) return nullptr;
    for (std::size_t g = 0; g < plans.size(); ++g) {
        const GroupPlan& plan = plans[g];
        Ref group_mots(PyList_GetSlice(snapshot.get(), static_cast<Py_ssize_t>(plan.first),
                                       static_cast<Py_ssize_t>(plan.first + plan.count)));
        if (!group_mots) return nullptr;
        Ref first_span = attr(PyList_GET_ITEM(group_mots.get(), 0), "span");
        if (!first_span) return nullptr;
        Ref last_span = attr(PyList_GET_ITEM(group_mots.get(), static_cast<Py_ssize_t>(plan.count - 1)), "span");
        if (!last_span) return nullptr;
        Ref start(PySequence_GetItem(first_span.get(), 0));
        if (!start) return nullptr;
        Ref end(PySequence_GetItem(last_span.get(), 1));
        if (!end) return nullptr;
        PyObject* span = PyTuple_Pack(2, start.get(), end.get());
        PyObject* group = make_record(Rec::GroupeLecture,
                                      {group_mots.release(), from_text(plan.phone_groupe), span,
                                       texts_to_list(plan.jonctions), PyBool_FromLong(plan.est_formule), nullptr});
        if (!group) return nullptr;
        PyList_SET_ITEM(result.get(), static_cast<Py_ssize_t>(g), group);
    }
    return result.release();
}

// ---- formula readings -------------------------------------------------------

VANTRO_FASTCALL(lecture_depuis_g2p_fn) {
    const char* names[] = {"result", nullptr};
    PyObject* a[1];
    if (!parse_args({"lecture_depuis_g2p", names, 1}, args, nargs, kwnames, a)) return nullptr;
    Ref empty_list(PyList_New(0));
    Ref empty_str(PyUnicode_FromString(""));
    Ref zero(zero_span());
    if (!empty_list || !empty_str || !zero) return nullptr;
    Ref events = attr_or(a[0], "events", empty_list.get());
    if (!events) return nullptr;
    Ref steps(PyList_New(0));
    if (!steps) return nullptr;
    Ref it(PyObject_GetIter(events.get()));
    if (!it) return nullptr;
    while (PyObject* raw = PyIter_Next(it.get())) {
        Ref step(raw);
        Ref ortho = attr_or(step.get(), "ortho", empty_str.get());
        if (!ortho) return nullptr;
        Ref phone = attr_or(step.get(), "phone", empty_str.get());
        if (!phone) return nullptr;
        Ref span = attr_or(step.get(), "span_source", zero.get());
        if (!span) return nullptr;
        Ref ev(make_record(Rec::EventFormule, {ortho.release(), phone.release(), span.release(), zero_span()}));
        if (!ev || PyList_Append(steps.get(), ev.get()) < 0) return nullptr;
    }
    if (PyErr_Occurred()) return nullptr;
    Ref display = attr_or(a[0], "display_fr", empty_str.get());
    if (!display) return nullptr;
    return make_record(Rec::LectureFormule, {display.release(), steps.release()});
}

// Raises on the first step whose source span starts after it ends.
bool valider_spans(PyObject* lecture) {
    Ref events = attr(lecture, "events");
    if (!events) return false;
    Ref it(PyObject_GetIter(events.get()));
    if (!it) return false;
    Py_ssize_t i = 0;
    while (PyObject* raw = PyIter_Next(it.get())) {
        Ref step(raw);
        Ref span = attr(step.get(), "span_source");
        if (!span) return false;
        Ref seq(PySequence_Fast(span.get(), "cannot unpack non-iterable object"));
        if (!seq) {
            if (PyErr_ExceptionMatches(PyExc_TypeError)) {
                PyErr_Clear();
                PyErr_Format(PyExc_TypeError, "cannot unpack non-iterable %.200s object", Py_TYPE(span.get())->tp_name);
            }
            return false;
        }
        const Py_ssize_t n = PySequence_Fast_GET_SIZE(seq.get());
        if (n != 2) {
            if (n < 2)
                PyErr_Format(PyExc_ValueError, "not enough values to unpack (expected 2, got %zd)", n);
            else
                PyErr_SetString(PyExc_ValueError, "too many values to unpack (expected 2)");
            return false;
        }
        PyObject* start = PySequence_Fast_GET_ITEM(seq.get(), 0);
        PyObject* end = PySequence_Fast_GET_ITEM(seq.get(), 1);
        const int bad = PyObject_RichCompareBool(start, end, Py_GT);
        if (bad < 0) return false;
        if (bad) {
            Ref ortho = attr(step.get(), "ortho");
            if (!ortho) return false;
            // The format itself must be ASCII: the accented words come in as objects.
            Ref incoherent(PyUnicode_FromString("incohérent"));
            Ref dash(PyUnicode_FromString("—"));
            if (!incoherent || !dash) return false;
            Ref message(PyUnicode_FromFormat("EventFormule #%zd (%R) : span_source %U (%S, %S) %U start > end", i,
                                             ortho.get(), incoherent.get(), start, end, dash.get()));
            if (message) PyErr_SetObject(PyExc_ValueError, message.get());
            return false;
        }
        ++i;
    }
    return !PyErr_Occurred();
}

VANTRO_FASTCALL(valider_spans_formule_fn) {
    const char* names[] = {"lecture", nullptr};
    PyObject* a[1];
    if (!parse_args({"_valider_spans_formule", names, 1}, args, nargs, kwnames, a)) return nullptr;
    if (!valider_spans(a[0])) return nullptr;
    Py_RETURN_NONE;
}

PyObject* syllabes_depuis_lecture(PyObject* lecture) {
    Ref events = attr(lecture, "events");
    if (!events) return nullptr;
    Ref it(PyObject_GetIter(events.get()));
    if (!it) return nullptr;
    Ref out(PyList_New(0));
    if (!out) return nullptr;
    while (PyObject* raw = PyIter_Next(it.get())) {
        Ref step(raw);
        Ref phone = attr(step.get(), "phone");
        if (!phone) return nullptr;
        Ref ortho = attr(step.get(), "ortho");
        if (!ortho) return nullptr;
        Ref span = attr(step.get(), "span_source");
        if (!span) return nullptr;
        PyObject* nucleus = make_record(Rec::Phoneme, {Py_NewRef(phone.get()), nullptr});
        PyObject* nucleus_list = nucleus ? PyList_New(1) : nullptr;
        if (!nucleus_list) {
            Py_XDECREF(nucleus);
            return nullptr;
        }
        PyList_SET_ITEM(nucleus_list, 0, nucleus);
        Ref syll(make_record(Rec::Syllabe, {phone.release(), ortho.release(), span.release(),
                                            make_record(Rec::GroupePhonologique, {nullptr}),
                                            make_record(Rec::GroupePhonologique, {nucleus_list}),
                                            make_record(Rec::GroupePhonologique, {nullptr})}));
        if (!syll || PyList_Append(out.get(), syll.get()) < 0) return nullptr;
    }
    if (PyErr_Occurred()) return nullptr;
    return out.release();
}

VANTRO_FASTCALL(syllabes_depuis_lecture_fn) {
    const char* names[] = {"lecture", nullptr};
    PyObject* a[1];
    if (!parse_args({"_syllabes_depuis_lecture", names, 1}, args, nargs, kwnames, a)) return nullptr;
    return syllabes_depuis_lecture(a[0]);
}

// ---- E2 ---------------------------------------------------------------------

// Syllables of one group of words (non-empty IPA), or nullptr with an error set.
PyObject* syllables_of_words(PyObject* groupe, PyObject* phone_groupe) {
    Ref mots = attr(groupe, "mots");
    if (!mots) return nullptr;
    Ref seq(PySequence_Fast(mots.get(), "mots must be a sequence"));
    if (!seq) return nullptr;
    const Py_ssize_t n = PySequence_Fast_GET_SIZE(seq.get());
    std::vector<GroupWord> words(static_cast<std::size_t>(n));
    for (Py_ssize_t i = 0; i < n; ++i) {
        PyObject* mot = PySequence_Fast_GET_ITEM(seq.get(), i);
        GroupWord& w = words[static_cast<std::size_t>(i)];
        if (!text_attr(mot, "text", w.text)) return nullptr;
        Ref span = attr(mot, "span");
        if (!span) return nullptr;
        Ref start(PySequence_GetItem(span.get(), 0));
        if (!start || !to_int64(start.get(), w.span_start)) return nullptr;
    }
    const PhonemeSets* sets = current_phoneme_sets();
    if (!sets) return nullptr;
    const SonorityClasses* sonority = current_sonority();
    if (!sonority) return nullptr;
    const CompiledTable* table = current_phone_table();
    if (!table) return nullptr;
    const TextSet* silent = current_silent_letters();
    if (!silent) return nullptr;
    const Text phone = to_text(phone_groupe);
    return guarded([&]() -> PyObject* {
        LinguisticContext ctx{*sets, *sonority, *table, *silent};
        return syllabes_to_list(syllabifier_groupe(phone, words, ctx));
    });
}

VANTRO_FASTCALL(syllabifier_groupes_fn) {
    const char* names[] = {"groupes", "lectures_formules", nullptr};
    PyObject* a[2];
    if (!parse_args({"syllabifier_groupes", names, 1}, args, nargs, kwnames, a) || !check_list(a[0], "groupes") ||
        (a[1] && !check_dict_or_none(a[1], "lectures_formules")))
        return nullptr;
    PyObject* lectures = (a[1] && a[1] != Py_None) ? a[1] : nullptr;
    Ref groupes(PyList_GetSlice(a[0], 0, PyList_GET_SIZE(a[0])));
    if (!groupes) return nullptr;
    const Py_ssize_t n = PyList_GET_SIZE(groupes.get());
    Ref out(PyList_New(n));
    if (!out) return nullptr;
    for (Py_ssize_t gi = 0; gi < n; ++gi) {
        PyObject* groupe = PyList_GET_ITEM(groupes.get(), gi);
        Ref syllabes;
        const int formule = truth_attr(groupe, "est_formule");
        if (formule < 0) return nullptr;
        Ref lecture;
        if (formule) {
            lecture = attr(groupe, "lecture");
            if (!lecture) return nullptr;
            if (lecture.get() == Py_None) {
                lecture = Ref();
                if (lectures) {
                    Ref key(PyLong_FromSsize_t(gi));
                    if (!key) return nullptr;
                    PyObject* found = PyDict_GetItemWithError(lectures, key.get());
                    if (!found && PyErr_Occurred()) return nullptr;
                    if (found) {
                        lecture = Ref::borrow(found);
                        if (!valider_spans(lecture.get())) return nullptr;
                        PyObject* key = name_object("lecture");
                        if (!key || PyObject_SetAttr(groupe, key, lecture.get()) < 0) return nullptr;
                        syllabes = Ref(syllabes_depuis_lecture(lecture.get()));
                        if (!syllabes) return nullptr;
                    }
                }
            } else {
                if (!valider_spans(lecture.get())) return nullptr;
                syllabes = Ref(syllabes_depuis_lecture(lecture.get()));
                if (!syllabes) return nullptr;
            }
        }
        if (!syllabes) {
            Ref phone = attr(groupe, "phone_groupe");
            if (!phone) return nullptr;
            if (!PyUnicode_Check(phone.get())) {
                raise_arg_type("phone", "str", phone.get());
                return nullptr;
            }
            if (PyUnicode_GET_LENGTH(phone.get()) == 0)
                syllabes = Ref(PyList_New(0));
            else
                syllabes = Ref(syllables_of_words(groupe, phone.get()));
            if (!syllabes) return nullptr;
        }
        PyObject* rg = make_record(Rec::ResultatGroupe, {Py_NewRef(groupe), syllabes.release()});
        if (!rg) return nullptr;
        PyList_SET_ITEM(out.get(), gi, rg);
    }
    return out.release();
}

PyMethodDef groups_methods[] = {
    VANTRO_METHOD("construire_groupes", construire_groupes_fn,
                  "construire_groupes($module, /, mots, options=None)\n--\n\n"
                  "Étape E1 : regroupe les mots en groupes de lecture (élision, liaison, enchaînement)."),
    VANTRO_METHOD("syllabifier_groupes", syllabifier_groupes_fn,
                  "syllabifier_groupes($module, /, groupes, lectures_formules=None)\n--\n\n"
                  "Étape E2 : syllabe chaque groupe de lecture d'un seul tenant."),
    VANTRO_METHOD("lecture_depuis_g2p", lecture_depuis_g2p_fn,
                  "lecture_depuis_g2p($module, /, result)\n--\n\n"
                  "Convertit un résultat de lecture de formule en LectureFormule."),
    VANTRO_METHOD("_valider_spans_formule", valider_spans_formule_fn,
                  "_valider_spans_formule($module, /, lecture)\n--\n\n"
                  "Vérifie que chaque cran a un span_source cohérent (start <= end)."),
    VANTRO_METHOD("_syllabes_depuis_lecture", syllabes_depuis_lecture_fn,
                  "_syllabes_depuis_lecture($module, /, lecture)\n--\n\n"
                  "Chaque EventFormule = 1 syllabe (mode progressif)."),
    {nullptr, nullptr, 0, nullptr},
};

}  // namespace

int add_groups_functions(PyObject* module) { return PyModule_AddFunctions(module, groups_methods); }

}  // namespace vantro::py
