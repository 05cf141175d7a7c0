// The arguments of stages E1 and E2, checked alike by the module's functions
// and by the facade's methods of the same name. Each fills a[0], a[1]
// (nullptr when not given); false with TypeError on a bad call.
#pragma once

#include "bindings/common/args.hpp"

namespace vantro::py {

// construire_groupes(mots, options=None): `mots` a list.
inline bool grouping_arguments(PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames, PyObject* (&a)[2]) {
    static const char* const names[] = {"mots", "options", nullptr};
    return parse_args({"construire_groupes", names, 1}, args, nargs, kwnames, a) && check_list(a[0], "mots");
}

// syllabifier_groupes(groupes, lectures_formules=None): a list, and a dict or None.
inline bool syllabifier_arguments(PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames, PyObject* (&a)[2]) {
    static const char* const names[] = {"groupes", "lectures_formules", nullptr};
    return parse_args({"syllabifier_groupes", names, 1}, args, nargs, kwnames, a) && check_list(a[0], "groupes") &&
           (!a[1] || check_dict_or_none(a[1], "lectures_formules"));
}

}  // namespace vantro::py
