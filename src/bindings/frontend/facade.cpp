// VantroSyllabeur: the analyser's entry point. Word analysis calls the core
// directly (it is the hot path); the sentence operations chain the module's
// own E1 and E2 functions, looked up at call time.

#include "bindings/common/attributes.hpp"
#include "bindings/common/errors.hpp"
#include "bindings/frontend/host.hpp"
#include "bindings/frontend/types.hpp"
#include "bindings/common/functions.hpp"
#include "bindings/data/linguistic_data.hpp"
#include "frontend/complete_analysis.hpp"
#include "frontend/text_words.hpp"
#include "phonology/sonority.hpp"
#include "bindings/records/records.hpp"
#include "bindings/frontend/word_syllables.hpp"
#include "bindings/reading/text_analysis.hpp"
#include "bindings/view/view_bindings.hpp"

namespace vantro::py::front {
namespace {

PyTypeObject* g_facade = nullptr;

enum FacadeSlot { kPhonemizer, kFacadeSlots };

// ---- construction -----------------------------------------------------------------

// The phonemizer the facade keeps for `given`, in the documented order.
PyObject* choose_phonemizer(PyObject* given) {
    if (given == Py_None) return PyObject_CallNoArgs(need(module_global(g_names.espeak_phonemizer).get()));
    // An attribute `phonemize` that is not None makes a phonemizer.
    if (attr_or(given, g_names.phonemize, Py_None).get() != Py_None) return Py_NewRef(given);
    if (has_attr(given, g_names.predict))
        return PyObject_CallOneArg(need(module_global(g_names.g2p_adapter).get()), given);
    if (has_attr(given, g_names.phonemize)) return Py_NewRef(given);
    PyErr_SetString(PyExc_TypeError, "Le phonemiseur doit avoir une methode .phonemize(word) ou .predict(word)");
    return nullptr;
}

int facade_init(PyObject* self, PyObject* args, PyObject* kwargs) {
    static const char* kwlist[] = {"phonemizer", nullptr};
    PyObject* given = Py_None;
    if (!PyArg_ParseTupleAndKeywords(args, kwargs, "|O:VantroSyllabeur", const_cast<char**>(kwlist), &given))
        return -1;
    PyObject* chosen = guarded([&] { return choose_phonemizer(given); });
    if (!chosen) return -1;
    Py_XSETREF(object_slots(self)[kPhonemizer], chosen);
    return 0;
}

VANTRO_FASTCALL(facade_with_espeak) {
    // `self` is the class the method was called on.
    const char* names[] = {"lang", nullptr};
    PyObject* a[1];
    if (!parse_args({"with_espeak", names, 0}, args, nargs, kwnames, a)) return nullptr;
    Ref espeak = module_global(g_names.espeak_phonemizer);
    if (!espeak) return nullptr;
    Ref phonemizer;
    if (a[0]) {
        if (!check_str(a[0], "lang")) return nullptr;
        phonemizer = Ref(PyObject_CallOneArg(espeak.get(), a[0]));
    } else {
        phonemizer = Ref(PyObject_CallNoArgs(espeak.get()));
    }
    if (!phonemizer) return nullptr;
    PyObject* call_args[] = {phonemizer.get()};
    Ref kw(PyTuple_Pack(1, g_names.phonemizer));
    if (!kw) return nullptr;
    return PyObject_Vectorcall(self, call_args, 0, kw.get());
}

// ---- word analysis ------------------------------------------------------------------

// The analysis of one word; `phone` is nullptr or None when not given.
PyObject* analyze_word(PyObject* self, PyObject* word, PyObject* phone) {
    if (!phone) phone = Py_None;
    if (log_at(g_level_debug, g_names.debug, "analyze() word=%r phone=%r", {word, phone}) < 0) return nullptr;
    Ref produced;
    if (phone == Py_None) {
        PyObject* phonemizer = slot_or_raise(self, kPhonemizer, "_phonemizer");
        if (!phonemizer) return nullptr;
        produced = Ref(PyObject_CallMethodOneArg(phonemizer, g_names.phonemize, word));
        if (!produced) return nullptr;
        if (!PyUnicode_Check(produced.get())) {
            raise_expected("str", produced.get());
            return nullptr;
        }
        phone = produced.get();
    }
    // Every table is fetched (which may run Python code) before the core runs.
    const PhonemeClassifier* classes = current_classifier();
    if (!classes) return nullptr;
    const CompiledTable* table = current_phone_table();
    if (!table) return nullptr;
    const TextSet* silent = current_silent_letters();
    if (!silent) return nullptr;
    PyObject* syllabes = word_syllables(word, phone, *classes, *table, *silent);
    if (!syllabes) return nullptr;
    return make_record(Rec::ResultatAnalyse, {Py_NewRef(word), Py_NewRef(phone), syllabes});
}

VANTRO_FASTCALL(facade_analyze) {
    const char* names[] = {"word", "phone", "syllabes_ecrites", nullptr};
    PyObject* a[3];
    if (!parse_args({"analyze", names, 1, 2}, args, nargs, kwnames, a) || !check_str(a[0], "word")) return nullptr;
    if (a[1] && a[1] != Py_None && !check_str(a[1], "phone")) return nullptr;
    const int written = a[2] ? PyObject_IsTrue(a[2]) : 0;
    if (written < 0) return nullptr;
    Ref result(analyze_word(self, a[0], a[1]));
    if (!result || !written) return result.release();
    // The written syllables take the place of the syllables as heard.
    PyObject** fields = object_slots(result.get());
    PyObject* syllabes = written_word_syllables(a[0], fields[field::ResultatAnalyse::phone]);
    if (!syllabes) return nullptr;
    Py_SETREF(fields[field::ResultatAnalyse::syllabes], syllabes);
    return result.release();
}

PyObject* modifier_apostrophe() {
    static PyObject* s = PyUnicode_FromOrdinal(0x02BC);  // kept for the process
    return need(s);
}
PyObject* typographic_apostrophe() {
    static PyObject* s = PyUnicode_FromOrdinal(0x2019);
    return need(s);
}

VANTRO_FASTCALL(facade_analyze_text) {
    const char* names[] = {"text", nullptr};
    PyObject* a[1];
    if (!parse_args({"analyze_text", names, 1}, args, nargs, kwnames, a) || !check_str(a[0], "text")) return nullptr;
    return guarded([&]() -> PyObject* {
        const std::vector<Span> words = find_words(to_text(a[0]));
        Ref out = take(PyList_New(static_cast<Py_ssize_t>(words.size())));
        // A subclass that redefines analyze gets its own analyze for every word.
        const bool own = Py_TYPE(self) == g_facade;
        for (std::size_t i = 0; i < words.size(); ++i) {
            Ref word = take(PyUnicode_Substring(a[0], words[i].start, words[i].end));
            // The modifier-letter apostrophe joins a word as the typographic one
            // does, and is read and aligned as it: espeak-ng spells it out.
            if (PyUnicode_FindChar(word.get(), 0x02BC, 0, PyUnicode_GET_LENGTH(word.get()), 1) >= 0)
                word = take(PyUnicode_Replace(word.get(), modifier_apostrophe(), typographic_apostrophe(), -1));
            PyObject* r = own ? analyze_word(self, word.get(), nullptr)
                              : PyObject_CallMethodOneArg(self, g_names.analyze, word.get());
            PyList_SET_ITEM(out.get(), static_cast<Py_ssize_t>(i), need(r));
        }
        return out.release();
    });
}

VANTRO_FASTCALL(facade_syllabify_ipa) {
    const char* names[] = {"phone", nullptr};
    PyObject* a[1];
    if (!parse_args({"syllabify_ipa", names, 1}, args, nargs, kwnames, a) || !check_str(a[0], "phone"))
        return nullptr;
    const SonorityClasses* classes = current_sonority();
    if (!classes) return nullptr;
    const PhonemeSets* sets = current_phoneme_sets();
    if (!sets) return nullptr;
    return guarded([&]() -> PyObject* { return texts_to_list(syllabify_ipa(to_text(a[0]), *classes, *sets)); });
}

// ---- sentences ------------------------------------------------------------------------

// module.<name>(args...), whose result must be a list.
PyObject* call_stage(PyObject* name, std::initializer_list<PyObject*> args) {
    Ref fn = module_global(name);
    if (!fn) return nullptr;
    PyObject* call_args[3];
    std::size_t n = 0;
    for (PyObject* arg : args) call_args[n++] = arg;
    PyObject* r = PyObject_Vectorcall(fn.get(), call_args, n, nullptr);
    if (r && !PyList_Check(r)) {
        raise_expected("list", r);
        Py_CLEAR(r);
    }
    return r;
}

// The groups E1 returned and the caller's readings by word position, as
// move_readings_to_groups walks them: the groups are counted as the walk
// goes, as a Python loop over the list would.
class ReadingsWalk {
public:
    ReadingsWalk(PyObject* groupes, PyObject* lectures, PyObject* by_group)
        : groupes_(groupes), lectures_(lectures), by_group_(by_group) {}

    bool any_reading() const { return lectures_ != Py_None && truth(lectures_); }
    bool has_group(std::size_t gi) const { return static_cast<Py_ssize_t>(gi) < PyList_GET_SIZE(groupes_); }
    template <class F>
    void for_each_word(std::size_t gi, F&& f) {
        groupe_ = Ref::borrow(PyList_GET_ITEM(groupes_, static_cast<Py_ssize_t>(gi)));
        Ref it = take(PyObject_GetIter(attr(groupe_.get(), g_names.mots).get()));
        while (PyObject* word = PyIter_Next(it.get())) {
            Py_DECREF(word);
            f();
        }
        if (PyErr_Occurred()) throw PythonError{};
    }
    bool has_reading(std::size_t word) {
        key_ = take(PyLong_FromSize_t(word));
        return need_status(PySequence_Contains(lectures_, key_.get())) != 0;
    }
    void give_reading(std::size_t gi, std::size_t) {
        Ref lecture = take(PyObject_GetItem(lectures_, key_.get()));
        Ref group_key = take(PyLong_FromSize_t(gi));
        need_status(PyDict_SetItem(by_group_, group_key.get(), lecture.get()));
        need_status(PyObject_SetAttr(groupe_.get(), g_names.est_formule, Py_True));
    }

private:
    PyObject* groupes_;
    PyObject* lectures_;
    PyObject* by_group_;
    Ref groupe_;  // the group being walked
    Ref key_;     // the word position last asked
};

// The words' texts, joined into the sentence's text. All are read before a
// text that is no str is refused, as str.join would.
PyObject* sentence_text(PyObject* mots) {
    std::vector<Text> words;
    words.reserve(static_cast<std::size_t>(PyList_GET_SIZE(mots)));
    Ref refused;
    for (Py_ssize_t i = 0; i < PyList_GET_SIZE(mots); ++i) {
        Ref mot = Ref::borrow(PyList_GET_ITEM(mots, i));  // the look-up may change the list
        Ref text = take(PyObject_GetAttr(mot.get(), g_names.text));
        if (refused) continue;
        if (PyUnicode_Check(text.get()))
            words.push_back(to_text(text.get()));
        else
            refused = text;
    }
    if (refused) {
        PyErr_Format(PyExc_TypeError, "sequence item %zd: expected str instance, %.80s found",
                     static_cast<Py_ssize_t>(words.size()), Py_TYPE(refused.get())->tp_name);
        throw PythonError{};
    }
    return from_text(vantro::sentence_text(words));
}

VANTRO_FASTCALL(facade_analyser_complet) {
    const char* names[] = {"mots", "lectures_formules", "options", nullptr};
    PyObject* a[3];
    if (!parse_args({"analyser_complet", names, 1}, args, nargs, kwnames, a) || !check_list(a[0], "mots") ||
        (a[1] && !check_dict_or_none(a[1], "lectures_formules")))
        return nullptr;
    PyObject* mots = a[0];
    PyObject* lectures = a[1] ? a[1] : Py_None;
    Ref options = Ref::borrow(a[2] ? a[2] : Py_None);
    if (options.get() == Py_None) {
        options = Ref(make_record(Rec::OptionsGroupes, {}));
        if (!options) return nullptr;
    }
    Ref count(PyLong_FromSsize_t(PyList_GET_SIZE(mots)));
    if (!count ||
        log_at(g_level_debug, g_names.debug, "analyser_complet() called with %s mots", {count.get()}) < 0)
        return nullptr;
    Ref groupes(call_stage(g_names.construire_groupes, {mots, options.get()}));
    if (!groupes) return nullptr;
    Ref by_group(PyDict_New());
    if (!by_group) return nullptr;
    PyObject* texte = guarded([&] {
        ReadingsWalk walk(groupes.get(), lectures, by_group.get());
        move_readings_to_groups(walk);
        return Py_NewRef(Py_None);
    });
    if (!texte) return nullptr;
    Py_DECREF(texte);
    Ref resultats(call_stage(g_names.syllabifier_groupes, {groupes.get(), by_group.get()}));
    if (!resultats || write_group_syllables(resultats.get(), options.get()) < 0) return nullptr;
    texte = guarded([&] { return sentence_text(mots); });
    if (!texte) return nullptr;
    Ref result(make_record(Rec::ResultatSyllabation, {texte, resultats.release(), Py_NewRef(options.get())}));
    if (!result) return nullptr;
    const int may = log_may_emit(g_level_info);
    if (may < 0) return nullptr;
    if (may) {
        Ref nb_groupes(PyObject_GetAttr(result.get(), g_names.nb_groupes));
        if (!nb_groupes) return nullptr;
        Ref nb_syllabes(PyObject_GetAttr(result.get(), g_names.nb_syllabes));
        if (!nb_syllabes ||
            log_call(g_names.info, "analyser_complet() produced %s groupes, %s syllabes",
                     {nb_groupes.get(), nb_syllabes.get()}) < 0)
            return nullptr;
    }
    return result.release();
}

VANTRO_FASTCALL(facade_construire_groupes) {
    const char* names[] = {"mots", "options", nullptr};
    PyObject* a[2];
    if (!parse_args({"construire_groupes", names, 1}, args, nargs, kwnames, a) || !check_list(a[0], "mots"))
        return nullptr;
    return call_stage(g_names.construire_groupes, {a[0], a[1] ? a[1] : Py_None});
}

VANTRO_FASTCALL(facade_syllabifier_groupes) {
    const char* names[] = {"groupes", "lectures_formules", nullptr};
    PyObject* a[2];
    if (!parse_args({"syllabifier_groupes", names, 1}, args, nargs, kwnames, a) || !check_list(a[0], "groupes") ||
        (a[1] && !check_dict_or_none(a[1], "lectures_formules")))
        return nullptr;
    return call_stage(g_names.syllabifier_groupes, {a[0], a[1] ? a[1] : Py_None});
}

// ---- text -------------------------------------------------------------------------------

VANTRO_FASTCALL(facade_analyser_texte) {
    const char* names[] = {"texte", "options", nullptr};
    PyObject* a[2];
    if (!parse_args({"analyser_texte", names, 1}, args, nargs, kwnames, a) || !check_str(a[0], "texte"))
        return nullptr;
    PyObject* phonemizer = slot_or_raise(self, kPhonemizer, "_phonemizer");
    if (!phonemizer) return nullptr;
    TextReaderChoice reader;
    if (!reader_for_phonemizer(phonemizer, reader)) return nullptr;
    return analyser_texte(a[0], a[1], reader);
}

// ---- the type ---------------------------------------------------------------------------

PyMethodDef facade_methods[] = {
    {"with_espeak", reinterpret_cast<PyCFunction>(reinterpret_cast<void (*)(void)>(facade_with_espeak)),
     METH_FASTCALL | METH_KEYWORDS | METH_CLASS,
     "with_espeak($type, /, lang='fr')\n--\n\n"
     "Crée un syllabeur dont le phonemiseur est espeak-ng pour la langue `lang`."},
    VANTRO_METHOD("analyze", facade_analyze,
                  "analyze($self, /, word, phone=None, *, syllabes_ecrites=False)\n--\n\n"
                  "Analyse un mot : syllabes, lettres, positions, attaque/noyau/coda.\n\n"
                  "Sans `phone`, la prononciation est demandée au phonemiseur. Avec\n"
                  "`syllabes_ecrites`, les syllabes sont celles de l'écrit (ta-ble, pas-sant)."),
    VANTRO_METHOD("analyze_text", facade_analyze_text,
                  "analyze_text($self, /, text)\n--\n\nAnalyse chaque mot d'un texte, dans l'ordre."),
    VANTRO_METHOD("syllabify_ipa", facade_syllabify_ipa,
                  "syllabify_ipa($self, /, phone)\n--\n\n"
                  "Découpe une chaîne IPA en syllabes (ʃɔkɔla -> ['ʃɔ', 'kɔ', 'la'])."),
    VANTRO_METHOD("analyser_complet", facade_analyser_complet,
                  "analyser_complet($self, /, mots, lectures_formules=None, options=None)\n--\n\n"
                  "Groupes de lecture (E1) puis syllabation des groupes (E2) d'une phrase.\n\n"
                  "`lectures_formules` est indexé par la position du mot dans `mots`."),
    VANTRO_METHOD("analyser_texte", facade_analyser_texte,
                  "analyser_texte($self, /, texte, options=None)\n--\n\n"
                  "Groupes de lecture et syllabes d'un texte français brut.\n\n"
                  "Le texte est découpé en mots, chaque phrase est lue en contexte par espeak-ng\n"
                  "(liaisons, h aspiré, élisions, nombres), puis les mots sont regroupés et\n"
                  "syllabés ; les positions renvoient au texte donné. Il faut un phonemiseur\n"
                  "espeak-ng : EspeakLibPhonemizer (bibliothèque, rapide) ou EspeakPhonemizer\n"
                  "(programme, un processus par proposition)."),
    VANTRO_METHOD("construire_groupes", facade_construire_groupes,
                  "construire_groupes($self, /, mots, options=None)\n--\n\n"
                  "Étape E1 seule : regroupe les mots en groupes de lecture."),
    VANTRO_METHOD("syllabifier_groupes", facade_syllabifier_groupes,
                  "syllabifier_groupes($self, /, groupes, lectures_formules=None)\n--\n\n"
                  "Étape E2 seule : `lectures_formules` est indexé par la position du groupe."),
    {nullptr, nullptr, 0, nullptr},
};

PyMemberDef facade_members[] = {
    {"_phonemizer", T_OBJECT_EX, slot_offset(kPhonemizer), 0, "Le phonemiseur consulté quand `phone` manque."},
    VANTRO_HEAD_MEMBERS,
    {nullptr, 0, 0, 0, nullptr},
};

PyType_Slot facade_slots[] = {
    {Py_tp_doc, const_cast<char*>(
                    "VantroSyllabeur(phonemizer=None)\n--\n\n"
                    "Analyseur syllabique complet du français.\n\n"
                    "Phonémisation, syllabation par sonorité, alignement graphèmes-phonèmes et,\n"
                    "pour une phrase, groupes de lecture (élision, liaison, enchaînement).\n"
                    "`phonemizer` : None (espeak-ng), un objet offrant phonemize(word) ou\n"
                    "predict(word).")},
    {Py_tp_new, reinterpret_cast<void*>(PyType_GenericNew)},
    {Py_tp_init, reinterpret_cast<void*>(facade_init)},
    {Py_tp_dealloc, reinterpret_cast<void*>(dealloc_slots<kFacadeSlots>)},
    {Py_tp_traverse, reinterpret_cast<void*>(traverse_slots<kFacadeSlots>)},
    {Py_tp_clear, reinterpret_cast<void*>(clear_slots<kFacadeSlots>)},
    {Py_tp_methods, facade_methods},
    {Py_tp_members, facade_members},
    {0, nullptr},
};

PyType_Spec facade_spec = {
    "vantro_aligneur.vantro_aligneur.VantroSyllabeur", basic_size(kFacadeSlots), 0,
    Py_TPFLAGS_DEFAULT | Py_TPFLAGS_BASETYPE | Py_TPFLAGS_HAVE_GC, facade_slots,
};

}  // namespace

int add_facade_type(PyObject* module) {
    g_facade = add_type(module, &facade_spec, nullptr, "VantroSyllabeur");
    return g_facade ? 0 : -1;
}

}  // namespace vantro::py::front
