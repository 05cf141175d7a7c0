// vantro_aligneur.vantro_aligneur: module set-up, in the documented order.
#include <string>

#include "bindings/common/functions.hpp"
#include "bindings/common/module_globals.hpp"
#include "bindings/common/names.hpp"
#include "bindings/data/linguistic_data.hpp"
#include "phonology/tokens.hpp"
#include "bindings/records/records.hpp"

namespace vantro::py {
namespace {

const char* const kAccessors[] = {"alphabet_ipa", "phone_to_graphemes", "espeak_to_ipa", "liaison_consonnes",
                                  "lettres_muettes_possibles", "voyelles", "consonnes", "semi_voyelles"};

int add_object(PyObject* module, const char* name, PyObject* value) {
    if (!value) return -1;
    const int rc = PyModule_AddObjectRef(module, name, value);
    Py_DECREF(value);
    return rc;
}

int alias(PyObject* module, const char* name, const char* existing) {
    PyObject* v = PyObject_GetAttrString(module, existing);
    return add_object(module, name, v);
}

int compile_regex(PyObject* module, PyObject* re, const char* name, const char* pattern) {
    PyObject* flag = PyObject_GetAttrString(re, "IGNORECASE");
    if (!flag) return -1;
    PyObject* compiled = PyObject_CallMethod(re, "compile", "sO", pattern, flag);
    Py_DECREF(flag);
    return add_object(module, name, compiled);
}

int exec_module(PyObject* m) {
    // 1. Host facilities, and the names the bindings read.
    if (init_names() < 0) return -1;
    Ref logging(PyImport_ImportModule("logging"));
    Ref re(PyImport_ImportModule("re"));
    if (!logging || !re) return -1;
    set_main_module(m);

    // 2. The eight accessors of the loader, as `from ... import` would bind them.
    Ref chargeur(PyImport_ImportModule("vantro_aligneur._chargeur"));
    if (!chargeur) return -1;
    for (const char* name : kAccessors) {
        PyObject* fn = PyObject_GetAttrString(chargeur.get(), name);
        if (!fn) {
            PyErr_Format(PyExc_ImportError, "cannot import name '%s' from 'vantro_aligneur._chargeur'", name);
            return -1;
        }
        std::string alias_name = std::string("_get_") + name;
        if (add_object(m, alias_name.c_str(), fn) < 0) return -1;
    }

    // 3. Logger and version.
    PyObject* module_name = PyModule_GetNameObject(m);
    if (!module_name) return -1;
    PyObject* logger = PyObject_CallMethod(logging.get(), "getLogger", "O", module_name);
    Py_DECREF(module_name);
    if (add_object(m, "logger", logger) < 0) return -1;
    if (add_object(m, "__version__", PyUnicode_FromString(VANTRO_VERSION)) < 0) return -1;

    // 4. Data names: the accessors themselves, called at every use.
    if (alias(m, "_ALPHABET_IPA", "_get_alphabet_ipa") < 0 ||
        alias(m, "_PHONE_TO_GRAPHEMES", "_get_phone_to_graphemes") < 0 ||
        alias(m, "_ESPEAK_TO_IPA", "_get_espeak_to_ipa") < 0 || alias(m, "_VOYELLES", "_get_voyelles") < 0 ||
        alias(m, "_CONSONNES", "_get_consonnes") < 0 || alias(m, "_SEMI_VOYELLES", "_get_semi_voyelles") < 0)
        return -1;

    // 5. Records, phoneme operations, phonemizers.
    PyObject* tuple_type = reinterpret_cast<PyObject*>(&PyTuple_Type);
    if (PyModule_AddObjectRef(m, "Span", tuple_type) < 0) return -1;
    if (init_record_types(m) < 0 || PyModule_AddFunctions(m, phonology_functions) < 0) return -1;

    // 6. Compound phonemes, then the sonority classes: the first read of the data file.
    if (add_object(m, "COMPOUND_PHONEMES", set_of_texts(COMPOUND_PHONEMES)) < 0) return -1;
    PyObject* build = PyObject_GetAttrString(m, "_build_sonority_classes");
    if (!build) return -1;
    PyObject* sonority = PyObject_CallNoArgs(build);
    Py_DECREF(build);
    if (add_object(m, "_SONORITY", sonority) < 0) return -1;

    // 7. The remaining data names, constants, expressions and operations.
    if (alias(m, "_LETTRES_MUETTES_POSSIBLES", "_get_lettres_muettes_possibles") < 0) return -1;
    std::vector<Text> ignored;
    for (char32_t c : IGNORED_CHARS) ignored.emplace_back(1, c);
    if (add_object(m, "_IGNORED_CHARS", set_of_texts(ignored)) < 0) return -1;
    if (alias(m, "_LIAISON_CONSONNES", "_get_liaison_consonnes") < 0) return -1;
    if (compile_regex(m, re.get(), "_RE_E_MUET", "(?<![\xC3\xA9\xC3\xA8\xC3\xAA\xC3\xAB])es?$") < 0 ||
        compile_regex(m, re.get(), "_RE_VERB_ENT", "ent$") < 0)
        return -1;
    for (PyMethodDef* table : {alignment_functions, results_functions, grouping_functions, formula_functions,
                               group_syllabifier_functions, text_functions, reading_functions, view_functions,
                               pronunciation_functions})
        if (PyModule_AddFunctions(m, table) < 0) return -1;
    if (add_frontend(m) < 0) return -1;
    return 0;
}

PyModuleDef module_def = {
    PyModuleDef_HEAD_INIT,
    "vantro_aligneur.vantro_aligneur",
    "Analyseur syllabique du français pour l'aide à la lecture.\n\n"
    "Syllabes (attaque, noyau, coda) avec leurs lettres et leurs positions,\n"
    "groupes de lecture (élision, liaison, enchaînement) syllabés d'un seul tenant.\n",
    -1,
    nullptr,
    nullptr, nullptr, nullptr, nullptr,
};

}  // namespace
}  // namespace vantro::py

PyMODINIT_FUNC PyInit_vantro_aligneur() {
    PyObject* m = PyModule_Create(&vantro::py::module_def);
    if (!m) return nullptr;
    if (vantro::py::exec_module(m) < 0) {
        vantro::py::set_main_module(nullptr);
        Py_DECREF(m);
        return nullptr;
    }
    return m;
}
