// VantroSyllabeur: the analyser's entry point. Word analysis calls the core
// directly (it is the hot path); the sentence operations chain the module's
// own E1 and E2 functions, looked up at call time.

#include "errors.hpp"
#include "frontend_host.hpp"
#include "frontend_types.hpp"
#include "functions.hpp"
#include "linguistic_data.hpp"
#include "phonology/sonority.hpp"
#include "records.hpp"
#include "view_bindings.hpp"
#include "word_syllables.hpp"

namespace vantro::py::front {
namespace {

PyTypeObject* g_facade = nullptr;

enum FacadeSlot { kPhonemizer, kFacadeSlots };

// ---- construction -----------------------------------------------------------------

// The phonemizer the facade keeps for `given`, in the documented order.
PyObject* choose_phonemizer(PyObject* given) {
    if (given == Py_None) {
        PyObject* espeak = module_global(g_names.espeak_phonemizer);
        return espeak ? PyObject_CallNoArgs(espeak) : nullptr;
    }
    PyObject* method = PyObject_GetAttr(given, g_names.phonemize);
    if (method) {
        const bool usable = method != Py_None;
        Py_DECREF(method);
        if (usable) return Py_NewRef(given);
    } else if (PyErr_ExceptionMatches(PyExc_AttributeError)) {
        PyErr_Clear();
    } else {
        return nullptr;
    }
    int has = has_attr(given, g_names.predict);
    if (has < 0) return nullptr;
    if (has) {
        PyObject* adapter = module_global(g_names.g2p_adapter);
        return adapter ? PyObject_CallOneArg(adapter, given) : nullptr;
    }
    has = has_attr(given, g_names.phonemize);
    if (has < 0) return nullptr;
    if (has) return Py_NewRef(given);
    PyErr_SetString(PyExc_TypeError, "Le phonemiseur doit avoir une methode .phonemize(word) ou .predict(word)");
    return nullptr;
}

int facade_init(PyObject* self, PyObject* args, PyObject* kwargs) {
    static const char* kwlist[] = {"phonemizer", nullptr};
    PyObject* given = Py_None;
    if (!PyArg_ParseTupleAndKeywords(args, kwargs, "|O:VantroSyllabeur", const_cast<char**>(kwlist), &given))
        return -1;
    PyObject* chosen = choose_phonemizer(given);
    if (!chosen) return -1;
    Py_XSETREF(slots(self)[kPhonemizer], chosen);
    return 0;
}

VANTRO_FASTCALL(facade_with_espeak) {
    // `self` is the class the method was called on.
    const char* names[] = {"lang", nullptr};
    PyObject* a[1];
    if (!parse_args({"with_espeak", names, 0}, args, nargs, kwnames, a)) return nullptr;
    PyObject* espeak = module_global(g_names.espeak_phonemizer);
    if (!espeak) return nullptr;
    Ref phonemizer;
    if (a[0]) {
        if (!check_str(a[0], "lang")) return nullptr;
        phonemizer = Ref(PyObject_CallOneArg(espeak, a[0]));
    } else {
        phonemizer = Ref(PyObject_CallNoArgs(espeak));
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
    if (log_at(g_names.level_debug, g_names.debug, "analyze() word=%r phone=%r", {word, phone}) < 0) return nullptr;
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
    PyObject* slots = detail::record_slots(result.get())[field::ResultatAnalyse::phone];
    PyObject* syllabes = written_word_syllables(a[0], slots);
    if (!syllabes) return nullptr;
    Py_SETREF(detail::record_slots(result.get())[field::ResultatAnalyse::syllabes], syllabes);
    return result.release();
}

VANTRO_FASTCALL(facade_analyze_text) {
    const char* names[] = {"text", nullptr};
    PyObject* a[1];
    if (!parse_args({"analyze_text", names, 1}, args, nargs, kwnames, a) || !check_str(a[0], "text")) return nullptr;
    Ref words(PyObject_CallMethodOneArg(word_pattern(), g_names.findall, a[0]));
    if (!words) return nullptr;
    if (!PyList_Check(words.get())) {
        raise_expected("list", words.get());
        return nullptr;
    }
    const Py_ssize_t n = PyList_GET_SIZE(words.get());
    Ref out(PyList_New(n));
    if (!out) return nullptr;
    // A subclass that redefines analyze gets its own analyze for every word.
    const bool own = Py_TYPE(self) == g_facade;
    for (Py_ssize_t i = 0; i < n; ++i) {
        PyObject* word = PyList_GET_ITEM(words.get(), i);
        PyObject* r = own ? analyze_word(self, word, nullptr) : PyObject_CallMethodOneArg(self, g_names.analyze, word);
        if (!r) return nullptr;
        PyList_SET_ITEM(out.get(), i, r);
    }
    return out.release();
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
    PyObject* fn = module_global(name);
    if (!fn) return nullptr;
    PyObject* call_args[3];
    std::size_t n = 0;
    for (PyObject* arg : args) call_args[n++] = arg;
    PyObject* r = PyObject_Vectorcall(fn, call_args, n, nullptr);
    if (r && !PyList_Check(r)) {
        raise_expected("list", r);
        Py_CLEAR(r);
    }
    return r;
}

// Moves the readings from word positions to the positions of the groups
// holding those words, and marks those groups as formulas.
PyObject* readings_by_group(PyObject* groupes, PyObject* lectures) {
    Ref by_group(PyDict_New());
    if (!by_group) return nullptr;
    if (lectures == Py_None) return by_group.release();
    const int any = PyObject_IsTrue(lectures);
    if (any <= 0) return any < 0 ? nullptr : by_group.release();
    long long mot_idx = 0;
    // Walked as a Python loop would: the list's length is read at each step.
    for (Py_ssize_t gi = 0; gi < PyList_GET_SIZE(groupes); ++gi) {
        Ref groupe = Ref::borrow(PyList_GET_ITEM(groupes, gi));
        Ref mots(PyObject_GetAttr(groupe.get(), g_names.mots));
        if (!mots) return nullptr;
        Ref it(PyObject_GetIter(mots.get()));
        if (!it) return nullptr;
        Ref key_gi;
        while (PyObject* raw = PyIter_Next(it.get())) {
            Py_DECREF(raw);
            Ref key(PyLong_FromLongLong(mot_idx));
            if (!key) return nullptr;
            const int has = PySequence_Contains(lectures, key.get());
            if (has < 0) return nullptr;
            if (has) {
                Ref lecture(PyObject_GetItem(lectures, key.get()));
                if (!lecture) return nullptr;
                if (!key_gi) key_gi = Ref(PyLong_FromSsize_t(gi));
                if (!key_gi || PyDict_SetItem(by_group.get(), key_gi.get(), lecture.get()) < 0 ||
                    PyObject_SetAttr(groupe.get(), g_names.est_formule, Py_True) < 0)
                    return nullptr;
            }
            ++mot_idx;
        }
        if (PyErr_Occurred()) return nullptr;
    }
    return by_group.release();
}

// The words' texts joined with single spaces.
PyObject* sentence_text(PyObject* mots) {
    Ref texts(PyList_New(0));
    if (!texts) return nullptr;
    for (Py_ssize_t i = 0; i < PyList_GET_SIZE(mots); ++i) {
        Ref mot = Ref::borrow(PyList_GET_ITEM(mots, i));  // the look-up may change the list
        Ref text(PyObject_GetAttr(mot.get(), g_names.text));
        if (!text || PyList_Append(texts.get(), text.get()) < 0) return nullptr;
    }
    Ref space(PyUnicode_FromString(" "));
    if (!space) return nullptr;
    return PyUnicode_Join(space.get(), texts.get());
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
        log_at(g_names.level_debug, g_names.debug, "analyser_complet() called with %s mots", {count.get()}) < 0)
        return nullptr;
    Ref groupes(call_stage(g_names.construire_groupes, {mots, options.get()}));
    if (!groupes) return nullptr;
    Ref by_group(readings_by_group(groupes.get(), lectures));
    if (!by_group) return nullptr;
    Ref resultats(call_stage(g_names.syllabifier_groupes, {groupes.get(), by_group.get()}));
    if (!resultats || write_group_syllables(resultats.get(), options.get()) < 0) return nullptr;
    PyObject* texte = sentence_text(mots);
    if (!texte) return nullptr;
    Ref result(make_record(Rec::ResultatSyllabation, {texte, resultats.release(), Py_NewRef(options.get())}));
    if (!result) return nullptr;
    const int may = log_may_emit(g_names.level_info);
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
    VANTRO_FRONT_HEAD_MEMBERS,
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
