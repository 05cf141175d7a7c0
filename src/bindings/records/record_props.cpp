// Derived properties. Items of the record lists are read by attribute, so any
// object with the right attributes will do; exact record types take a direct
// path that gives the same result without the attribute machinery.
#include "bindings/records/record_props.hpp"

#include "bindings/records/record_internal.hpp"
#include "frontend/complete_analysis.hpp"

namespace vantro::py {

using detail::g_const;
using detail::join_each;

namespace {

// 1 with *out set, 0 when the attribute is absent (AttributeError swallowed),
// -1 on any other error.
int lookup_optional(PyObject* obj, PyObject* name, PyObject** out) {
#if PY_VERSION_HEX >= 0x030D0000
    return PyObject_GetOptionalAttr(obj, name, out);
#else
    *out = PyObject_GetAttr(obj, name);
    if (*out) return 1;
    if (!PyErr_ExceptionMatches(PyExc_AttributeError)) return -1;
    PyErr_Clear();
    return 0;
#endif
}

PyObject* concat_phonemes(PyObject* self, int phoneme_field) {
    Ref phonemes(record_attr(self, Rec::GroupePhonologique, field::GroupePhonologique::phonemes));
    if (!phonemes) return nullptr;
    return join_each(phonemes.get(), g_const.empty,
                     [&](PyObject* p) { return record_attr(p, Rec::Phoneme, phoneme_field); });
}

// self.token.<name>: 1 with *out set, 0 without a token or that attribute, -1 on error.
int token_attribute(PyObject* self, PyObject* name, PyObject** out) {
    *out = nullptr;
    Ref token(record_attr(self, Rec::MotAnalyse, field::MotAnalyse::token));
    if (!token) return -1;
    if (token.get() == Py_None) return 0;
    return lookup_optional(token.get(), name, out);
}

PyObject* get_phone(PyObject* self, void*) { return groupe_phonologique_phone(self); }
PyObject* get_grapheme(PyObject* self, void*) { return groupe_phonologique_grapheme(self); }
PyObject* get_mot_text(PyObject* self, void*) { return mot_analyse_text(self); }
PyObject* get_mot_span(PyObject* self, void*) { return mot_analyse_span(self); }
PyObject* get_groupe_text(PyObject* self, void*) { return groupe_lecture_text(self); }
PyObject* get_syllabation_nb_syllabes(PyObject* self, void*) { return resultat_syllabation_nb_syllabes(self); }

PyObject* len_of_field(PyObject* self, Rec r, int i) {
    Ref value(record_attr(self, r, i));
    if (!value) return nullptr;
    const Py_ssize_t n = PyObject_Size(value.get());
    return n < 0 ? nullptr : PyLong_FromSsize_t(n);
}

PyObject* get_analyse_nb_syllabes(PyObject* self, void*) {
    return len_of_field(self, Rec::ResultatAnalyse, field::ResultatAnalyse::syllabes);
}
PyObject* get_syllabation_nb_groupes(PyObject* self, void*) {
    return len_of_field(self, Rec::ResultatSyllabation, field::ResultatSyllabation::groupes);
}

}  // namespace

PyObject* groupe_phonologique_phone(PyObject* self) { return concat_phonemes(self, field::Phoneme::ipa); }

PyObject* groupe_phonologique_grapheme(PyObject* self) { return concat_phonemes(self, field::Phoneme::grapheme); }

PyObject* mot_analyse_text(PyObject* self) {
    PyObject* text;
    const int found = token_attribute(self, g_names.text, &text);
    if (found < 0) return nullptr;
    if (found == 0) return Py_NewRef(g_const.empty);
    if (text == Py_None || PyUnicode_Check(text)) return text;
    PyErr_Format(PyExc_TypeError, "Expected str, got %.200s", Py_TYPE(text)->tp_name);
    Py_DECREF(text);
    return nullptr;
}

PyObject* mot_analyse_span(PyObject* self) {
    PyObject* span;
    const int found = token_attribute(self, g_names.span, &span);
    if (found < 0) return nullptr;
    return found ? span : Py_NewRef(g_const.empty_span);
}

PyObject* groupe_lecture_text(PyObject* self) {
    Ref mots(record_attr(self, Rec::GroupeLecture, field::GroupeLecture::mots));
    if (!mots) return nullptr;
    return words_text(mots.get());
}

PyObject* words_text(PyObject* words) {
    Ref it(PyObject_GetIter(words));
    if (!it) return nullptr;
    std::vector<Text> texts;
    Ref refused;  // the first text that is no str
    while (PyObject* word = PyIter_Next(it.get())) {
        Ref hold(word);
        Ref text(read_word_text(word));
        if (!text) return nullptr;
        if (refused) continue;
        if (PyUnicode_Check(text.get()))
            assign_text(text.get(), texts.emplace_back());
        else
            refused = std::move(text);
    }
    if (PyErr_Occurred()) return nullptr;
    if (refused && !joined_item(refused.get(), texts.size(), texts.emplace_back())) return nullptr;
    return from_text(sentence_text(texts));
}

PyObject* resultat_syllabation_nb_syllabes(PyObject* self) {
    Ref groupes(record_attr(self, Rec::ResultatSyllabation, field::ResultatSyllabation::groupes));
    if (!groupes) return nullptr;
    Ref it(PyObject_GetIter(groupes.get()));
    if (!it) return nullptr;
    Py_ssize_t total = 0;
    Ref big;  // takes over if the count outgrows Py_ssize_t
    while (PyObject* raw = PyIter_Next(it.get())) {
        Ref rg(raw);
        Ref syllabes(record_attr(rg.get(), Rec::ResultatGroupe, field::ResultatGroupe::syllabes));
        if (!syllabes) return nullptr;
        const Py_ssize_t n = PyObject_Size(syllabes.get());
        if (n < 0) return nullptr;
        if (!big && !__builtin_add_overflow(total, n, &total)) continue;
        if (!big && !(big = Ref(PyLong_FromSsize_t(total)))) return nullptr;
        Ref count(PyLong_FromSsize_t(n));
        if (!count) return nullptr;
        big = Ref(PyNumber_Add(big.get(), count.get()));
        if (!big) return nullptr;
    }
    if (PyErr_Occurred()) return nullptr;
    return big ? big.release() : PyLong_FromSsize_t(total);
}

PyObject* read_group_phone(PyObject* obj) {
    if (detail::is_exact(obj, Rec::GroupePhonologique)) return groupe_phonologique_phone(obj);
    return PyObject_GetAttr(obj, g_names.phone);
}

PyObject* read_word_text(PyObject* obj) {
    if (detail::is_exact(obj, Rec::MotAnalyse)) return mot_analyse_text(obj);
    return PyObject_GetAttr(obj, g_names.text);
}

PyObject* read_reading_group_text(PyObject* obj) {
    if (detail::is_exact(obj, Rec::GroupeLecture)) return groupe_lecture_text(obj);
    return PyObject_GetAttr(obj, g_names.text);
}

namespace detail {

PyGetSetDef groupe_phonologique_getset[] = {
    {"phone", get_phone, nullptr, "Les ipa des phonèmes, concaténés.", nullptr},
    {"grapheme", get_grapheme, nullptr, "Les graphèmes des phonèmes, concaténés.", nullptr},
    {nullptr, nullptr, nullptr, nullptr, nullptr},
};

PyGetSetDef resultat_analyse_getset[] = {
    {"nb_syllabes", get_analyse_nb_syllabes, nullptr, "Nombre de syllabes.", nullptr},
    {nullptr, nullptr, nullptr, nullptr, nullptr},
};

PyGetSetDef mot_analyse_getset[] = {
    {"text", get_mot_text, nullptr, "Texte du jeton (\"\" sans jeton ou sans texte).", nullptr},
    {"span", get_mot_span, nullptr, "Span du jeton ((0, 0) sans jeton ou sans span).", nullptr},
    {nullptr, nullptr, nullptr, nullptr, nullptr},
};

PyGetSetDef groupe_lecture_getset[] = {
    {"text", get_groupe_text, nullptr, "Textes des mots joints par une espace.", nullptr},
    {nullptr, nullptr, nullptr, nullptr, nullptr},
};

PyGetSetDef resultat_syllabation_getset[] = {
    {"nb_syllabes", get_syllabation_nb_syllabes, nullptr, "Nombre total de syllabes des groupes.", nullptr},
    {"nb_groupes", get_syllabation_nb_groupes, nullptr, "Nombre de groupes.", nullptr},
    {nullptr, nullptr, nullptr, nullptr, nullptr},
};

}  // namespace detail

}  // namespace vantro::py
