// VantroSyllabeur: the analyser's entry point. Word analysis calls the core
// directly (it is the hot path); the sentence operations chain the module's
// own E1 and E2 functions, looked up at call time.

#include "bindings/common/attributes.hpp"
#include "bindings/common/errors.hpp"
#include "bindings/frontend/host.hpp"
#include "bindings/groups/stage_arguments.hpp"
#include "bindings/frontend/types.hpp"
#include "bindings/common/functions.hpp"
#include "bindings/data/linguistic_data.hpp"
#include "frontend/complete_analysis.hpp"
#include "frontend/phonemizer_rules.hpp"
#include "frontend/text_words.hpp"
#include "phonology/sonority.hpp"
#include "bindings/records/record_props.hpp"
#include "bindings/records/records.hpp"
#include "bindings/frontend/word_syllables.hpp"
#include "bindings/reading/text_analysis.hpp"
#include "bindings/view/view_bindings.hpp"

namespace vantro::py::front {
namespace {

PyTypeObject* g_facade = nullptr;

enum FacadeSlot { kPhonemizer, kFacadeSlots };

// ---- construction -----------------------------------------------------------------

// The caller's object as choose_phonemizer asks about it.
struct GivenPhonemizer {
    PyObject* given;
    bool is_none() const { return given == Py_None; }
    bool phonemize_usable() const { return attr_or(given, g_names.phonemize, Py_None).get() != Py_None; }
    bool has_predict() const { return has_attr(given, g_names.predict); }
    bool has_phonemize() const { return has_attr(given, g_names.phonemize); }
};

// The phonemizer the facade keeps for `given`.
PyObject* phonemizer_for(PyObject* given) {
    GivenPhonemizer asked{given};
    switch (choose_phonemizer(asked)) {
        case PhonemizerChoice::Espeak:
            return PyObject_CallNoArgs(need(module_global(&Names::espeak_phonemizer).get()));
        case PhonemizerChoice::Given:
            return Py_NewRef(given);
        case PhonemizerChoice::G2PAdapter:
            return PyObject_CallOneArg(need(module_global(&Names::g2p_adapter).get()), given);
        case PhonemizerChoice::Refused:
            break;
    }
    PyErr_SetString(PyExc_TypeError, "Le phonemiseur doit avoir une methode .phonemize(word) ou .predict(word)");
    return nullptr;
}

int facade_init(PyObject* self, PyObject* args, PyObject* kwargs) {
    static const char* kwlist[] = {"phonemizer", nullptr};
    PyObject* given = Py_None;
    if (!PyArg_ParseTupleAndKeywords(args, kwargs, "|O:VantroSyllabeur", const_cast<char**>(kwlist), &given))
        return -1;
    PyObject* chosen = guarded([&] { return phonemizer_for(given); });
    if (!chosen) return -1;
    Py_XSETREF(object_slots(self)[kPhonemizer], chosen);
    return 0;
}

VANTRO_FASTCALL(facade_with_espeak) {
    // `self` is the class the method was called on.
    const char* names[] = {"lang", nullptr};
    PyObject* a[1];
    if (!parse_args({"with_espeak", names, 0}, args, nargs, kwnames, a) || (a[0] && !check_str(a[0], "lang")))
        return nullptr;
    return guarded([&] {
        Ref espeak = take(module_global(&Names::espeak_phonemizer).release());
        PyObject* phonemizer[] = {a[0] ? need(PyObject_CallOneArg(espeak.get(), a[0]))
                                       : need(PyObject_CallNoArgs(espeak.get()))};
        Ref hold(phonemizer[0]);
        Ref kw = take(PyTuple_Pack(1, g_names.phonemizer));
        return PyObject_Vectorcall(self, phonemizer, 0, kw.get());
    });
}

// ---- word analysis ------------------------------------------------------------------

// The analysis of one word; `phone` is nullptr or None when not given.
PyObject* analyze_word(PyObject* self, PyObject* word, PyObject* phone) {
    if (!phone) phone = Py_None;
    need_status(log_at(g_level_debug, g_names.debug, "analyze() word=%r phone=%r", {word, phone}));
    Ref produced;
    if (phone == Py_None) {
        // Held: the phonemizer's own code may delete the attribute while it runs.
        const Ref phonemizer = Ref::borrow(need(slot_or_raise(self, kPhonemizer, "_phonemizer")));
        produced = take(PyObject_CallMethodOneArg(phonemizer.get(), g_names.phonemize, word));
        if (!PyUnicode_Check(produced.get())) {
            raise_expected("str", produced.get());
            throw PythonError{};
        }
        phone = produced.get();
    }
    // Every table is fetched (which may run Python code) before the core runs.
    // and held until it is done: a nested analysis may compile other tables.
    CheckedClassifier classes;
    need_status(classes.take() ? 0 : -1);
    const Shared<CompiledTable> table = need(current_phone_table());
    const Shared<TextSet> silent = need(current_silent_letters());
    Ref syllabes;
    {
        const ClassifierQueryScope asked(classes.log());
        syllabes = take(word_syllables(word, phone, classes.get(), *table, *silent));
    }
    if (!classes.still_holds()) {
        // A set answers one of the word's questions otherwise now: the word again, on the sets as they are.
        syllabes.reset();
        need_status(classes.compile() ? 0 : -1);
        syllabes = take(word_syllables(word, phone, classes.get(), *table, *silent));
    }
    return make_record(Rec::ResultatAnalyse, {Py_NewRef(word), Py_NewRef(phone), syllabes.release()});
}

VANTRO_FASTCALL(facade_analyze) {
    const char* names[] = {"word", "phone", "syllabes_ecrites", nullptr};
    PyObject* a[3];
    if (!parse_args({"analyze", names, 1, 2}, args, nargs, kwnames, a) || !check_str(a[0], "word")) return nullptr;
    if (a[1] && a[1] != Py_None && !check_str(a[1], "phone")) return nullptr;
    const int written = a[2] ? PyObject_IsTrue(a[2]) : 0;
    if (written < 0) return nullptr;
    return guarded([&] {
        Ref result = take(analyze_word(self, a[0], a[1]));
        if (!written) return result.release();
        // The written syllables take the place of the syllables as heard.
        PyObject** fields = object_slots(result.get());
        PyObject* syllabes = need(written_word_syllables(a[0], fields[field::ResultatAnalyse::phone]));
        Py_SETREF(fields[field::ResultatAnalyse::syllabes], syllabes);
        return result.release();
    });
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
        // Filled by appending: the caller's code runs while each word is analysed.
        Ref out = take(PyList_New(0));
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
            Ref resultat = take(r);
            need_status(PyList_Append(out.get(), resultat.get()));
        }
        return out.release();
    });
}

VANTRO_FASTCALL(facade_syllabify_ipa) {
    const char* names[] = {"phone", nullptr};
    PyObject* a[1];
    if (!parse_args({"syllabify_ipa", names, 1}, args, nargs, kwnames, a) || !check_str(a[0], "phone"))
        return nullptr;
    return guarded([&] {
        const Shared<SonorityClasses> classes = need(current_sonority());
        const Shared<PhonemeSets> sets = need(current_phoneme_sets());
        return texts_to_list(syllabify_ipa(to_text(a[0]), *classes, *sets));
    });
}

// ---- sentences ------------------------------------------------------------------------

// module.<name>(args...), whose result must be a list.
PyObject* call_stage(PyObject* Names::*name, std::initializer_list<PyObject*> args) {
    Ref fn = take(module_global(name).release());
    Ref r = take(PyObject_Vectorcall(fn.get(), std::data(args), args.size(), nullptr));
    if (!PyList_Check(r.get())) {
        raise_expected("list", r.get());
        throw PythonError{};
    }
    return r.release();
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

VANTRO_FASTCALL(facade_analyser_complet) {
    const char* names[] = {"mots", "lectures_formules", "options", nullptr};
    PyObject* a[3];
    if (!parse_args({"analyser_complet", names, 1}, args, nargs, kwnames, a) || !check_list(a[0], "mots") ||
        (a[1] && !check_dict_or_none(a[1], "lectures_formules")))
        return nullptr;
    return guarded([&] {
        PyObject* mots = a[0];
        Ref options = a[2] && a[2] != Py_None ? Ref::borrow(a[2]) : take(make_record(Rec::OptionsGroupes, {}));
        Ref count = take(PyLong_FromSsize_t(PyList_GET_SIZE(mots)));
        need_status(log_at(g_level_debug, g_names.debug, "analyser_complet() called with %s mots", {count.get()}));
        Ref groupes = take(call_stage(&Names::construire_groupes, {mots, options.get()}));
        Ref by_group = take(PyDict_New());
        ReadingsWalk walk(groupes.get(), a[1] ? a[1] : Py_None, by_group.get());
        move_readings_to_groups(walk);
        Ref resultats = take(call_stage(&Names::syllabifier_groupes, {groupes.get(), by_group.get()}));
        need_status(write_group_syllables(resultats.get(), options.get()));
        PyObject* texte = need(words_text(mots));
        Ref result =
            take(make_record(Rec::ResultatSyllabation, {texte, resultats.release(), Py_NewRef(options.get())}));
        if (need_status(log_may_emit(g_level_info))) {
            Ref nb_groupes = take(PyObject_GetAttr(result.get(), g_names.nb_groupes));
            Ref nb_syllabes = take(PyObject_GetAttr(result.get(), g_names.nb_syllabes));
            need_status(log_call(g_names.info, "analyser_complet() produced %s groupes, %s syllabes",
                                 {nb_groupes.get(), nb_syllabes.get()}));
        }
        return result.release();
    });
}

VANTRO_FASTCALL(facade_construire_groupes) {
    PyObject* a[2];
    if (!grouping_arguments(args, nargs, kwnames, a)) return nullptr;
    return guarded([&] { return call_stage(&Names::construire_groupes, {a[0], a[1] ? a[1] : Py_None}); });
}

VANTRO_FASTCALL(facade_syllabifier_groupes) {
    PyObject* a[2];
    if (!syllabifier_arguments(args, nargs, kwnames, a)) return nullptr;
    return guarded([&] { return call_stage(&Names::syllabifier_groupes, {a[0], a[1] ? a[1] : Py_None}); });
}

// ---- text -------------------------------------------------------------------------------

VANTRO_FASTCALL(facade_analyser_texte) {
    const char* names[] = {"texte", "options", "nettoyage", "relecture_francaise", nullptr};
    PyObject* a[4];
    TextCorrections corrections;
    if (!parse_args({"analyser_texte", names, 1, 2}, args, nargs, kwnames, a) || !check_str(a[0], "texte") ||
        !read_corrections(a[2], a[3], corrections))
        return nullptr;
    // Held: reading its `_lang` may run code that deletes the attribute.
    const Ref phonemizer = Ref::borrow(slot_or_raise(self, kPhonemizer, "_phonemizer"));
    if (!phonemizer) return nullptr;
    TextReaderChoice reader;
    if (!reader_for_phonemizer(phonemizer.get(), reader)) return nullptr;
    return analyser_texte(a[0], a[1], reader, corrections);
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
                  "analyser_texte($self, /, texte, options=None, *, nettoyage=True, relecture_francaise=True)\n"
                  "--\n\n"
                  "Groupes de lecture et syllabes d'un texte français brut.\n\n"
                  "Le texte est découpé en mots, chaque phrase est lue en contexte par espeak-ng\n"
                  "(liaisons, h aspiré, élisions, nombres), puis les mots sont regroupés et\n"
                  "syllabés ; les positions renvoient au texte donné. Il faut un phonemiseur\n"
                  "espeak-ng : EspeakLibPhonemizer (bibliothèque, rapide) ou EspeakPhonemizer\n"
                  "(programme, un processus par proposition). `nettoyage` corrige les erreurs\n"
                  "systématiques d'espeak-ng ; `relecture_francaise` relit en français un mot lu\n"
                  "avec les règles d'une autre langue parmi des mots français."),
    VANTRO_METHOD("construire_groupes", facade_construire_groupes,
                  "construire_groupes($self, /, mots, options=None)\n--\n\n"
                  "Étape E1 seule : regroupe les mots en groupes de lecture."),
    VANTRO_METHOD("syllabifier_groupes", facade_syllabifier_groupes,
                  "syllabifier_groupes($self, /, groupes, lectures_formules=None)\n--\n\n"
                  "Étape E2 seule : `lectures_formules` est indexé par la position du groupe."),
    {nullptr, nullptr, 0, nullptr},
};

constexpr const char* kFacadeDoc = "VantroSyllabeur(phonemizer=None)\n--\n\n"
                                   "Analyseur syllabique complet du français.\n\n"
                                   "Phonémisation, syllabation par sonorité, alignement graphèmes-phonèmes et,\n"
                                   "pour une phrase, groupes de lecture (élision, liaison, enchaînement).\n"
                                   "`phonemizer` : None (espeak-ng), un objet offrant phonemize(word) ou\n"
                                   "predict(word).";

PyMemberDef facade_members[] = {
    {"_phonemizer", T_OBJECT_EX, slot_offset(kPhonemizer), 0, "Le phonemiseur consulté quand `phone` manque."},
    VANTRO_HEAD_MEMBERS,
    {nullptr, 0, 0, 0, nullptr},
};


}  // namespace

int add_facade_type(PyObject* module) {
    g_facade = add_type<kFacadeSlots>(module, "vantro_aligneur.vantro_aligneur.VantroSyllabeur", kFacadeDoc,
                                      facade_methods, facade_members, facade_init);
    return g_facade ? 0 : -1;
}

}  // namespace vantro::py::front
