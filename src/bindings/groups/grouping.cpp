// Stage E1 (construire_groupes): the words read into the core, the groups
// made of the caller's own word objects.
#include "bindings/common/attributes.hpp"
#include "bindings/common/errors.hpp"
#include "bindings/common/functions.hpp"
#include "bindings/data/linguistic_data.hpp"
#include "bindings/groups/stage_arguments.hpp"
#include "bindings/records/records.hpp"
#include "groups/group_builder.hpp"

namespace vantro::py {
namespace {

WordForGrouping word_of(PyObject* mot) {
    WordForGrouping w;
    w.phone = text_attr(mot, g_names.phone);
    Ref liaison = attr(mot, g_names.liaison);
    if (PyUnicode_Check(liaison.get())) w.liaison = to_text(liaison.get());
    w.ponctuation_avant = truth_attr(mot, g_names.ponctuation_avant);
    w.elision_avant = truth_attr(mot, g_names.elision_avant);
    w.est_formule = truth_attr(mot, g_names.est_formule);
    Ref text = attr(mot, g_names.text);
    if (PyUnicode_Check(text.get())) w.text = to_text(text.get());
    return w;
}

// GroupeLecture of the words [first, first + count) of `mots`; its span
// runs from the start of its first word's span to the end of its last one's.
PyObject* group_record(PyObject* mots, const GroupPlan& plan) {
    Ref group_mots = take(PyList_GetSlice(mots, static_cast<Py_ssize_t>(plan.first),
                                          static_cast<Py_ssize_t>(plan.first + plan.count)));
    Ref first_span = attr(PyList_GET_ITEM(group_mots.get(), 0), g_names.span);
    Ref last_span = attr(PyList_GET_ITEM(group_mots.get(), static_cast<Py_ssize_t>(plan.count - 1)), g_names.span);
    Ref start = take(PySequence_GetItem(first_span.get(), 0));
    Ref end = take(PySequence_GetItem(last_span.get(), 1));
    PyObject* span = need(PyTuple_Pack(2, start.get(), end.get()));
    return need(make_record(Rec::GroupeLecture, {group_mots.release(), from_text(plan.phone_groupe), span,
                                                 texts_to_list(plan.jonctions), PyBool_FromLong(plan.est_formule)}));
}

VANTRO_FASTCALL(construire_groupes_fn) {
    PyObject* a[2];
    if (!grouping_arguments(args, nargs, kwnames, a)) return nullptr;
    if (a[1] && a[1] != Py_None && !is_record(a[1], Rec::OptionsGroupes)) {
        raise_arg_type("options", "OptionsGroupes", a[1]);
        return nullptr;
    }
    return guarded([&]() -> PyObject* {
        Ref options = a[1] && a[1] != Py_None ? Ref::borrow(a[1]) : take(make_record(Rec::OptionsGroupes, {}));
        // The list is read once: later changes by a callee cannot shift the walk.
        Ref mots = take(PyList_GetSlice(a[0], 0, PyList_GET_SIZE(a[0])));
        const Py_ssize_t n = PyList_GET_SIZE(mots.get());
        if (n == 0) return PyList_New(0);
        GroupingOptions opts;
        opts.gerer_elisions = truth_attr(options.get(), g_names.gerer_elisions);
        opts.gerer_liaisons = truth_attr(options.get(), g_names.gerer_liaisons);
        opts.gerer_enchainement = truth_attr(options.get(), g_names.gerer_enchainement);
        std::vector<WordForGrouping> words;
        words.reserve(static_cast<std::size_t>(n));
        for (Py_ssize_t i = 0; i < n; ++i) words.push_back(word_of(PyList_GET_ITEM(mots.get(), i)));
        const Shared<PhonemeSets> sets = need(current_phoneme_sets());
        const Shared<TextMap<Text>> liaisons = need(current_liaisons());
        const std::vector<GroupPlan> plans = construire_groupes(words, opts, *liaisons, *sets);
        // Filled by appending: the caller's code runs while each group is made.
        Ref result = take(PyList_New(0));
        for (const GroupPlan& plan : plans) {
            Ref groupe = take(group_record(mots.get(), plan));
            need_status(PyList_Append(result.get(), groupe.get()));
        }
        return result.release();
    });
}

}  // namespace

PyMethodDef grouping_functions[] = {
    VANTRO_METHOD("construire_groupes", construire_groupes_fn,
                  "construire_groupes($module, /, mots, options=None)\n--\n\n"
                  "Étape E1 : regroupe les mots en groupes de lecture (élision, liaison, enchaînement)."),
    {nullptr, nullptr, 0, nullptr},
};

}  // namespace vantro::py
