// Derived read-only properties of the records, computed from the current
// field values at each call. Each returns a new reference, or nullptr with a
// Python error set. `self` is an instance of the record named or of a subclass.
#pragma once

#include "bindings/records/records.hpp"

namespace vantro::py {

// "".join(p.ipa for p in self.phonemes) / the same with p.grapheme.
PyObject* groupe_phonologique_phone(PyObject* self);
PyObject* groupe_phonologique_grapheme(PyObject* self);
// self.token.text ("" without a token or without that attribute; str or None,
// else TypeError) and self.token.span ((0, 0) when absent).
PyObject* mot_analyse_text(PyObject* self);
PyObject* mot_analyse_span(PyObject* self);
// " ".join(m.text for m in self.mots).
PyObject* groupe_lecture_text(PyObject* self);
// The `text` of each word of `words` (any iterable), joined as a sentence's
// words are (sentence_text of the core); every text is read before one that
// is not a str is refused, as str.join does.
PyObject* words_text(PyObject* words);
// sum(len(rg.syllabes) for rg in self.groupes).
PyObject* resultat_syllabation_nb_syllabes(PyObject* self);

// obj.phone, obj.text, obj.text for any object: computed directly when `obj` is
// exactly a GroupePhonologique, MotAnalyse or GroupeLecture, otherwise read as
// an attribute (caller objects and subclasses).
PyObject* read_group_phone(PyObject* obj);
PyObject* read_word_text(PyObject* obj);
PyObject* read_reading_group_text(PyObject* obj);

}  // namespace vantro::py
