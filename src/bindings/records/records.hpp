// The result records of the main module: C types that behave like the host's
// dataclasses (construction by position or keyword, fresh defaults, field-wise
// equality, dataclass repr, dataclasses.fields/asdict/replace, copy, pickle,
// match by position) and that C++ code can build in a few tens of nanoseconds.
#pragma once

#include "bindings/common/object_head.hpp"

#include <initializer_list>

namespace vantro::py {

enum class Rec : int {
    Phoneme,
    GroupePhonologique,
    Syllabe,
    ResultatAnalyse,
    MotAnalyse,
    EventFormule,
    LectureFormule,
    OptionsGroupes,
    GroupeLecture,
    ResultatGroupe,
    ResultatSyllabation,
    SonorityClasses,  // "_SonorityClasses", frozen
    JetonTexte,       // a token of a text read by analyser_texte
    Count_
};

// Field positions, in declaration order: field::Syllabe::span is the index to
// hand to record_field() or the place of the span in make_record's values.
namespace field {
struct Phoneme { enum : int { ipa, grapheme }; };
struct GroupePhonologique { enum : int { phonemes }; };
struct Syllabe { enum : int { phone, ortho, span, attaque, noyau, coda }; };
struct ResultatAnalyse { enum : int { mot, phone, syllabes }; };
struct MotAnalyse {
    enum : int { token, phone, liaison, pos, ponctuation_avant, elision_avant, est_formule };
};
struct EventFormule { enum : int { ortho, phone, span_source, span_lecture }; };
struct LectureFormule { enum : int { display_fr, events }; };
struct OptionsGroupes {
    enum : int { gerer_elisions, gerer_liaisons, gerer_enchainement, ajouter_schwas_finaux, syllabes_ecrites };
};
struct GroupeLecture { enum : int { mots, phone_groupe, span, jonctions, est_formule, lecture }; };
struct ResultatGroupe { enum : int { groupe, syllabes }; };
struct ResultatSyllabation { enum : int { texte_original, groupes, options }; };
struct SonorityClasses { enum : int { O, N, L, Y, V }; };
struct JetonTexte { enum : int { text, span, nature, aligne, langue, relu_en_francais }; };
}  // namespace field

// Creates every type (tp_name "vantro_aligneur.vantro_aligneur.<Name>"), adds it
// to `module` under its name and attaches the dataclass metadata. Imports
// `dataclasses`. Call once; returns -1 with a Python error set on failure.
int init_record_types(PyObject* module);

// Borrowed; valid after init_record_types succeeded.
PyTypeObject* record_type(Rec r);

// Builds an instance of exactly record_type(r) without running __init__.
// `values` are NEW references, stolen, one per field in declaration order; a
// nullptr value, or a missing trailing value, means "the field's default",
// created afresh (new list, new group, new options, (0, 0), "", False, None,
// "none"). Returns nullptr with an error set when allocation fails, when a
// required field gets no value, or when an error is already pending on entry
// (so that a failed inline conversion among `values` is never mistaken for
// "use the default"); every stolen value is released in all cases.
PyObject* make_record(Rec r, std::initializer_list<PyObject*> values);

// A new instance of exactly record_type(r) with every field unset (nullptr),
// for callers that fill every slot themselves (see object_slots).
// nullptr with an error set when allocation fails.
PyObject* new_record_object(Rec r);

// Borrowed field i of an instance of record_type(r) or of a subclass; nullptr
// (and no error) if the caller deleted that attribute.
inline PyObject* record_field(PyObject* obj, int i);

// Field i of any object, new reference: the slot directly when `obj` is exactly
// of type record_type(r), else attribute access by the field's name (so duck
// typed objects and subclasses work). nullptr with AttributeError when absent.
PyObject* record_attr(PyObject* obj, Rec r, int i);

// isinstance(obj, record_type(r)).
bool is_record(PyObject* obj, Rec r);

// ---------------------------------------------------------------- inline part

inline PyObject* record_field(PyObject* obj, int i) { return object_slots(obj)[i]; }

}  // namespace vantro::py
