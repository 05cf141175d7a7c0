// The one table of interned names: the attributes read on the caller's
// objects and the module globals the bindings look up, each made once when
// the module loads (a name made afresh at every read costs its hashing and a
// new slot of the interpreter's attribute cache).
#pragma once

#include "bindings/common/convert.hpp"

namespace vantro::py {

// X(field, "text"): the field holds the interned str "text".
#define VANTRO_NAMES(X)                                                                                        \
    /* caller's objects */                                                                                    \
    X(display_fr, "display_fr") X(elision_avant, "elision_avant") X(est_formule, "est_formule")               \
    X(events, "events") X(gerer_elisions, "gerer_elisions") X(gerer_enchainement, "gerer_enchainement")        \
    X(gerer_liaisons, "gerer_liaisons") X(lecture, "lecture") X(liaison, "liaison") X(mots, "mots")            \
    X(ortho, "ortho") X(phone, "phone") X(phone_groupe, "phone_groupe") X(ponctuation_avant, "ponctuation_avant") \
    X(span, "span") X(span_source, "span_source") X(text, "text")                                              \
    X(pos, "pos") X(jonctions, "jonctions") X(syllabes, "syllabes") X(attaque, "attaque") X(noyau, "noyau")    \
    X(coda, "coda") X(phonemes, "phonemes") X(ipa, "ipa") X(grapheme, "grapheme") X(mot, "mot")                \
    X(groupe, "groupe") X(groupes, "groupes") X(texte_original, "texte_original") X(options, "options")        \
    X(syllabes_ecrites, "syllabes_ecrites") X(ajouter_schwas_finaux, "ajouter_schwas_finaux")                   \
    /* properties and methods of the records and of the facade */                                            \
    X(nb_groupes, "nb_groupes") X(nb_syllabes, "nb_syllabes") X(format_ligne1, "format_ligne1")                \
    X(format_ligne2, "format_ligne2") X(analyze, "analyze") X(phonemize, "phonemize") X(predict, "predict")    \
    X(is_available, "is_available") X(phonemizer, "phonemizer") X(lang, "lang")                               \
    /* module globals */                                                                                       \
    X(alphabet_global, "_ALPHABET_IPA") X(voyelles_global, "_VOYELLES") X(consonnes_global, "_CONSONNES")      \
    X(semi_voyelles_global, "_SEMI_VOYELLES") X(phone_table_global, "_PHONE_TO_GRAPHEMES")                     \
    X(silent_letters_global, "_LETTRES_MUETTES_POSSIBLES") X(liaisons_global, "_LIAISON_CONSONNES")            \
    X(sonority_global, "_SONORITY") X(logger, "logger") X(espeak_phonemizer, "EspeakPhonemizer")               \
    X(g2p_adapter, "_G2PAdapter") X(espeak_lib_phonemizer, "EspeakLibPhonemizer") X(lang_slot, "_lang")        \
    X(construire_groupes, "construire_groupes") X(syllabifier_groupes, "syllabifier_groupes")                  \
    /* the sonority classes, and the loader's module and members */                                          \
    X(class_O, "O") X(class_N, "N") X(class_L, "L") X(class_Y, "Y") X(class_V, "V")                           \
    X(loader_module, "vantro_aligneur._chargeur") X(silent_letters_member, "lettres_muettes_possibles")        \
    /* the host's logging, subprocess and collector */                                                        \
    X(is_enabled_for, "isEnabledFor") X(debug, "debug") X(info, "info") X(warning, "warning") X(run, "run")                   \
    X(timeout_expired, "TimeoutExpired") X(stdout_, "stdout") X(stop, "stop") X(generation, "generation")

struct Names {
#define VANTRO_NAME_FIELD(field, text) PyObject* field;
    VANTRO_NAMES(VANTRO_NAME_FIELD)
#undef VANTRO_NAME_FIELD
};
extern Names g_names;

// Fills g_names; -1 with an error set on failure. Called first when the module loads.
int init_names();

}  // namespace vantro::py
