// Syllable builder and the pedagogical final schwa.
#include "bindings/common/errors.hpp"
#include "bindings/common/functions.hpp"
#include "bindings/data/linguistic_data.hpp"
#include "phonology/tokens.hpp"
#include "results/syllable_builder.hpp"
#include "bindings/results/syllable_records.hpp"

namespace vantro::py {
namespace {

VANTRO_FASTCALL(build_syllabes_fn) {
    const char* names[] = {"syll_phones", "dec_ph", "dec_gr", "dec_spans", "word_offset", "alignment_ok", nullptr};
    PyObject* a[6];
    if (!parse_args({"_build_syllabes", names, 6}, args, nargs, kwnames, a) || !check_list(a[0], "syll_phones") ||
        !check_list(a[1], "dec_ph") || !check_list(a[2], "dec_gr") || !check_list(a[3], "dec_spans"))
        return nullptr;
    if (!PyLong_Check(a[4])) {
        raise_arg_type("word_offset", "int", a[4]);
        return nullptr;
    }
    std::int64_t offset;
    if (!to_int64(a[4], offset)) return nullptr;
    const int ok = PyObject_IsTrue(a[5]);
    if (ok < 0) return nullptr;
    std::vector<Text> syll, ph, gr;
    std::vector<Span> spans;
    if (!list_to_texts(a[0], syll) || !list_to_texts(a[1], ph) || !list_to_texts(a[2], gr) ||
        !list_to_spans(a[3], spans))
        return nullptr;
    const PhonemeSets* sets = current_phoneme_sets();
    if (!sets) return nullptr;
    return guarded([&]() -> PyObject* {
        return syllabes_to_list(build_syllabes(syll, ph, gr, spans, offset, ok != 0, *sets));
    });
}

// `pattern.search(text) is not None` with the module's compiled expression.
int regex_finds(const char* pattern_name, PyObject* text) {
    PyObject* pattern = PyDict_GetItemString(PyModule_GetDict(main_module()), pattern_name);
    if (!pattern) {
        PyErr_Format(PyExc_NameError, "name '%s' is not defined", pattern_name);
        return -1;
    }
    PyObject* m = PyObject_CallMethod(pattern, "search", "O", text);
    if (!m) return -1;
    const int found = m != Py_None;
    Py_DECREF(m);
    return found;
}

VANTRO_FASTCALL(ajouter_schwa_final_fn) {
    const char* names[] = {"ortho", "pos", "phone", nullptr};
    PyObject* a[3];
    if (!parse_args({"ajouter_schwa_final", names, 3}, args, nargs, kwnames, a) || !check_str(a[0], "ortho") ||
        !check_str(a[1], "pos") || !check_str(a[2], "phone"))
        return nullptr;
    PyObject* phone = a[2];
    if (PyUnicode_GET_LENGTH(phone) == 0 || PyUnicode_GET_LENGTH(a[0]) == 0) return Py_NewRef(phone);
    int mute = regex_finds("_RE_E_MUET", a[0]);
    if (mute < 0) return nullptr;
    if (!mute) {
        const int ent = regex_finds("_RE_VERB_ENT", a[0]);
        if (ent < 0) return nullptr;
        if (ent) {
            Ref upper(PyObject_CallMethod(a[1], "upper", nullptr));
            if (!upper) return nullptr;
            Ref prefix(PyUnicode_FromString("VER"));
            if (!prefix) return nullptr;
            const Py_ssize_t starts = PyUnicode_Tailmatch(upper.get(), prefix.get(), 0, PY_SSIZE_T_MAX, -1);
            if (starts < 0) return nullptr;
            mute = starts > 0;
        }
    }
    if (!mute) return Py_NewRef(phone);
    const Text ipa = to_text(phone);
    const std::vector<TextView> tokens = iter_phoneme_views(ipa);
    if (!tokens.empty()) {
        const PhonemeSets* sets = current_phoneme_sets();
        if (!sets) return nullptr;
        if (est_voyelle(*sets, tokens.back())) return Py_NewRef(phone);
    }
    Ref schwa(PyUnicode_FromOrdinal(SCHWA));
    if (!schwa) return nullptr;
    return PyUnicode_Concat(phone, schwa.get());
}

PyMethodDef results_methods[] = {
    VANTRO_METHOD("_build_syllabes", build_syllabes_fn,
                  "_build_syllabes($module, /, syll_phones, dec_ph, dec_gr, dec_spans, word_offset, alignment_ok)"
                  "\n--\n\nConstruit les syllabes avec leurs lettres, positions, attaque, noyau et coda."),
    VANTRO_METHOD("ajouter_schwa_final", ajouter_schwa_final_fn,
                  "ajouter_schwa_final($module, /, ortho, pos, phone)\n--\n\n"
                  "Ajoute un schwa pédagogique final aux mots terminés par un e muet ou par -ent verbal."),
    {nullptr, nullptr, 0, nullptr},
};

}  // namespace

int add_results_functions(PyObject* module) { return PyModule_AddFunctions(module, results_methods); }

}  // namespace vantro::py
