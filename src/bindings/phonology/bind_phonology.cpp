// Tokens, phoneme classes, sonority syllabification, syllable constituents.
#include "bindings/common/functions.hpp"
#include "bindings/common/module_globals.hpp"
#include "bindings/data/linguistic_data.hpp"
#include "phonology/constituents.hpp"
#include "phonology/sonority.hpp"
#include "phonology/tokens.hpp"
#include "bindings/records/records.hpp"

namespace vantro::py {
namespace {

PyObject* bool_result(bool b) { return PyBool_FromLong(b ? 1 : 0); }

// One text argument named `name`, checked.
bool one_text(const char* fn, const char* name, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames,
              PyObject*& arg) {
    const char* names[] = {name, nullptr};
    if (!parse_args({fn, names, 1}, args, nargs, kwnames, &arg)) return false;
    return check_str(arg, name);
}

VANTRO_FASTCALL(iter_phonemes_fn) {
    PyObject* ipa;
    if (!one_text("iter_phonemes", "ipa", args, nargs, kwnames, ipa)) return nullptr;
    return texts_to_list(iter_phonemes(to_text(ipa)));
}

template <bool (*Pred)(const PhonemeSets&, TextView)>
PyObject* set_predicate(const char* fn, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames,
                        const char* name) {
    PyObject* arg;
    if (!one_text(fn, name, args, nargs, kwnames, arg)) return nullptr;
    Text t = to_text(arg);
    // The empty string is decided without consulting the data.
    if (t.empty()) Py_RETURN_FALSE;
    const Shared<PhonemeSets> sets = current_phoneme_sets();
    if (!sets) return nullptr;
    return bool_result(Pred(*sets, t));
}

VANTRO_FASTCALL(est_voyelle_fn) { return set_predicate<est_voyelle>("est_voyelle", args, nargs, kwnames, "phoneme"); }
VANTRO_FASTCALL(est_consonne_fn) {
    return set_predicate<est_consonne>("est_consonne", args, nargs, kwnames, "phoneme");
}
VANTRO_FASTCALL(est_semi_voyelle_fn) {
    return set_predicate<est_semi_voyelle>("est_semi_voyelle", args, nargs, kwnames, "phoneme");
}
VANTRO_FASTCALL(starts_with_vowel_fn) {
    return set_predicate<phone_starts_with_vowel>("_phone_starts_with_vowel", args, nargs, kwnames, "phone");
}
VANTRO_FASTCALL(ends_with_consonne_fn) {
    return set_predicate<phone_ends_with_consonne>("_phone_ends_with_consonne", args, nargs, kwnames, "phone");
}
VANTRO_FASTCALL(ends_with_schwa_fn) {
    PyObject* arg;
    if (!one_text("_phone_ends_with_schwa", "phone", args, nargs, kwnames, arg)) return nullptr;
    return bool_result(phone_ends_with_schwa(to_text(arg)));
}

VANTRO_FASTCALL(build_sonority_classes_fn) {
    const char* names[] = {nullptr};
    PyObject* unused[1];
    if (!parse_args({"_build_sonority_classes", names, 0}, args, nargs, kwnames, unused)) return nullptr;
    Ref fn = module_global(&Names::alphabet_global);
    if (!fn) return nullptr;
    Ref alphabet(PyObject_CallNoArgs(fn.get()));
    if (!alphabet) return nullptr;
    Alphabet entries;
    if (!alphabet_from_object(alphabet.get(), entries)) return nullptr;
    SonorityClasses classes = build_sonority_classes(entries);
    return make_record(Rec::SonorityClasses, {set_of_texts(classes.O), set_of_texts(classes.N), set_of_texts(classes.L),
                                              set_of_texts(classes.Y), set_of_texts(classes.V)});
}

// The classes argument: the module's own _SONORITY is compiled once; any
// other object is read afresh.
Shared<SonorityClasses> classes_arg(PyObject* classes) {
    Ref module_classes = module_global(&Names::sonority_global);
    if (!module_classes) PyErr_Clear();
    if (classes == module_classes.get()) return current_sonority();
    auto read = std::make_shared<SonorityClasses>();
    if (!sonority_from_object(classes, *read)) return nullptr;
    return read;
}

VANTRO_FASTCALL(class_of_fn) {
    const char* names[] = {"token", "classes", nullptr};
    PyObject* a[2];
    if (!parse_args({"_class_of", names, 2}, args, nargs, kwnames, a) || !check_str(a[0], "token")) return nullptr;
    const Shared<SonorityClasses> classes = classes_arg(a[1]);
    if (!classes) return nullptr;
    const Shared<PhonemeSets> sets = current_phoneme_sets();
    if (!sets) return nullptr;
    const char c = class_of(to_text(a[0]), *classes, *sets);
    return PyUnicode_FromStringAndSize(&c, 1);
}

VANTRO_FASTCALL(merge_compounds_fn) {
    const char* names[] = {"tokens", nullptr};
    PyObject* a[1];
    if (!parse_args({"_merge_compounds_ipa", names, 1}, args, nargs, kwnames, a) || !check_list(a[0], "tokens"))
        return nullptr;
    std::vector<Text> tokens;
    if (!list_to_texts(a[0], tokens)) return nullptr;
    return texts_to_list(merge_compounds_ipa(tokens));
}

VANTRO_FASTCALL(split_central_cluster_fn) {
    const char* names[] = {"cluster", "classes", "s_liquid_in_attack", nullptr};
    PyObject* a[3];
    if (!parse_args({"_split_central_cluster", names, 2, 2}, args, nargs, kwnames, a) ||
        !check_list(a[0], "cluster"))
        return nullptr;
    int s_liquid = 1;
    if (a[2]) {
        s_liquid = PyObject_IsTrue(a[2]);
        if (s_liquid < 0) return nullptr;
    }
    std::vector<Text> cluster;
    if (!list_to_texts(a[0], cluster)) return nullptr;
    const Shared<SonorityClasses> classes = classes_arg(a[1]);
    if (!classes) return nullptr;
    const Shared<PhonemeSets> sets = current_phoneme_sets();
    if (!sets) return nullptr;
    return PyLong_FromSize_t(split_central_cluster(cluster, *classes, *sets, s_liquid != 0));
}

VANTRO_FASTCALL(syllabify_ipa_fn) {
    PyObject* phone;
    if (!one_text("_syllabify_ipa", "phone", args, nargs, kwnames, phone)) return nullptr;
    const Shared<SonorityClasses> classes = current_sonority();
    if (!classes) return nullptr;
    const Shared<PhonemeSets> sets = current_phoneme_sets();
    if (!sets) return nullptr;
    return texts_to_list(syllabify_ipa(to_text(phone), *classes, *sets));
}

VANTRO_FASTCALL(decouper_syllabe_fn) {
    PyObject* syll;
    if (!one_text("_decouper_syllabe", "syll_phone", args, nargs, kwnames, syll)) return nullptr;
    const Shared<PhonemeSets> sets = current_phoneme_sets();
    if (!sets) return nullptr;
    auto parts = decouper_syllabe(to_text(syll), *sets);
    if (!parts) Py_RETURN_NONE;
    return tuple_of({from_text((*parts)[0]), from_text((*parts)[1]), from_text((*parts)[2])});
}

}  // namespace

PyMethodDef phonology_functions[] = {
    VANTRO_METHOD("iter_phonemes", iter_phonemes_fn,
                  "iter_phonemes($module, /, ipa)\n--\n\n"
                  "Découpe une chaîne IPA en phonèmes, regroupant les combining marks Unicode."),
    VANTRO_METHOD("est_voyelle", est_voyelle_fn,
                  "est_voyelle($module, /, phoneme)\n--\n\nVrai si le phonème est une voyelle IPA (orale ou nasale)."),
    VANTRO_METHOD("est_consonne", est_consonne_fn,
                  "est_consonne($module, /, phoneme)\n--\n\nVrai si le phonème est une consonne IPA."),
    VANTRO_METHOD("est_semi_voyelle", est_semi_voyelle_fn,
                  "est_semi_voyelle($module, /, phoneme)\n--\n\nVrai si le phonème est une semi-voyelle IPA."),
    VANTRO_METHOD("_phone_starts_with_vowel", starts_with_vowel_fn,
                  "_phone_starts_with_vowel($module, /, phone)\n--\n\nVrai si le premier phonème est une voyelle."),
    VANTRO_METHOD("_phone_ends_with_consonne", ends_with_consonne_fn,
                  "_phone_ends_with_consonne($module, /, phone)\n--\n\nVrai si le dernier phonème est une consonne."),
    VANTRO_METHOD("_phone_ends_with_schwa", ends_with_schwa_fn,
                  "_phone_ends_with_schwa($module, /, phone)\n--\n\nVrai si le dernier phonème est exactement ə."),
    VANTRO_METHOD("_build_sonority_classes", build_sonority_classes_fn,
                  "_build_sonority_classes($module, /)\n--\n\n"
                  "Construit les classes de sonorité à partir de l'alphabet IPA."),
    VANTRO_METHOD("_class_of", class_of_fn,
                  "_class_of($module, /, token, classes)\n--\n\nClasse de sonorité d'un phonème : V, Y, L, N ou O."),
    VANTRO_METHOD("_merge_compounds_ipa", merge_compounds_fn,
                  "_merge_compounds_ipa($module, /, tokens)\n--\n\nRegroupe les phonèmes composés (tʃ, dʒ, ts, ɡz)."),
    VANTRO_METHOD("_split_central_cluster", split_central_cluster_fn,
                  "_split_central_cluster($module, /, cluster, classes, *, s_liquid_in_attack=True)\n--\n\n"
                  "Nombre de consonnes du groupe qui ferment la syllabe de gauche."),
    VANTRO_METHOD("_syllabify_ipa", syllabify_ipa_fn,
                  "_syllabify_ipa($module, /, phone)\n--\n\n"
                  "Découpe une chaîne IPA en syllabes par le modèle de sonorité."),
    VANTRO_METHOD("_decouper_syllabe", decouper_syllabe_fn,
                  "_decouper_syllabe($module, /, syll_phone)\n--\n\n"
                  "Décompose une syllabe en (attaque, noyau, coda)."),
    {nullptr, nullptr, 0, nullptr},
};

}  // namespace vantro::py
