// Phonemizer (the interface), EspeakPhonemizer (one espeak-ng process per
// word) and _G2PAdapter (a predict(word) object used as a phonemizer).

#include "bindings/common/attributes.hpp"
#include "bindings/common/errors.hpp"
#include "frontend/espeak_output.hpp"
#include "frontend/phonemizer_rules.hpp"
#include "bindings/frontend/host.hpp"
#include "bindings/frontend/types.hpp"
#include "bindings/common/functions.hpp"
#include "bindings/pronunciation/pronunciation_bindings.hpp"

namespace vantro::py::front {
namespace {

PyTypeObject* g_phonemizer = nullptr;
PyTypeObject* g_espeak = nullptr;

PyObject* g_fr = nullptr;  // "fr", the default voice

constexpr const char* kNotInstalled =
    "eSpeak-NG n'est pas installe. Installez-le (sudo apt install espeak-ng) ou fournissez un phonemiseur custom.";

bool word_arg(const char* function, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames, PyObject*& word) {
    const char* names[] = {"word", nullptr};
    PyObject* a[1];
    if (!parse_args({function, names, 1}, args, nargs, kwnames, a) || !check_str(a[0], "word")) return false;
    word = a[0];
    return true;
}

// ---- Phonemizer ------------------------------------------------------------------

VANTRO_FASTCALL(phonemizer_phonemize) {
    PyObject* word;
    if (!word_arg("phonemize", args, nargs, kwnames, word)) return nullptr;
    Py_RETURN_NONE;
}

PyMethodDef phonemizer_methods[] = {
    VANTRO_METHOD("phonemize", phonemizer_phonemize,
                  "phonemize($self, /, word)\n--\n\nRetourne la prononciation IPA de `word`."),
    {nullptr, nullptr, 0, nullptr},
};

constexpr const char* kPhonemizerDoc = "Phonemizer()\n--\n\n"
                                       "Interface d'un phonemiseur : phonemize(word) -> prononciation IPA.\n\n"
                                       "Tout objet dont l'attribut `phonemize` n'est pas None en tient lieu ;\n"
                                       "hériter de cette classe n'est pas nécessaire.";

PyMemberDef phonemizer_members[] = {
    VANTRO_HEAD_MEMBERS,
    {nullptr, 0, 0, 0, nullptr},
};


// ---- EspeakPhonemizer -------------------------------------------------------------

enum EspeakSlot { kLang, kAvailable, kNettoyage, kEspeakSlots };

int espeak_init(PyObject* self, PyObject* args, PyObject* kwargs) {
    static const char* kwlist[] = {"lang", "nettoyage", nullptr};
    PyObject* lang = g_fr;
    PyObject* nettoyage = Py_False;
    if (!PyArg_ParseTupleAndKeywords(args, kwargs, "|O$O:EspeakPhonemizer", const_cast<char**>(kwlist), &lang,
                                     &nettoyage) ||
        !check_str(lang, "lang"))
        return -1;
    const int clean = PyObject_IsTrue(nettoyage);
    if (clean < 0) return -1;
    set_slot(self, kLang, lang);
    set_slot(self, kAvailable, Py_None);
    set_slot(self, kNettoyage, clean ? Py_True : Py_False);
    return 0;
}

// The availability check of one phonemizer: cached once decided.
PyObject* espeak_is_available_impl(PyObject* self) {
    PyObject* known = slot_or_raise(self, kAvailable, "_available");
    if (!known) return nullptr;
    if (known != Py_None) return Py_NewRef(known);
    Ref argv(texts_to_list(espeak_version_command()));
    if (!argv) return nullptr;
    Ref done(run_captured(argv.get()));
    if (done) {
        set_slot(self, kAvailable, Py_True);
    } else {
        int absent = PyErr_ExceptionMatches(PyExc_FileNotFoundError);
        if (!absent) absent = pending_is_timeout();
        if (absent <= 0) return nullptr;  // any other failure leaves the state undetermined
        PyErr_Clear();
        set_slot(self, kAvailable, Py_False);
        // A logging handler may delete or rebind the slot: what was decided is returned.
        if (log_call(g_names.warning, "eSpeak-NG not available, phonemization will fail", {}) < 0) return nullptr;
        Py_RETURN_FALSE;
    }
    Py_RETURN_TRUE;
}

VANTRO_FASTCALL(espeak_is_available) {
    const char* names[] = {nullptr};
    if (!parse_args({"is_available", names, 0}, args, nargs, kwnames, nullptr)) return nullptr;
    return espeak_is_available_impl(self);
}

// New str from what espeak-ng printed on its standard output for `word`.
PyObject* cleaned_output(PyObject* self, PyObject* word, PyObject* lang, PyObject* raw) {
    Py_buffer view;
    if (PyObject_GetBuffer(raw, &view, PyBUF_SIMPLE) < 0) {
        PyErr_Clear();
        raise_expected("bytes", raw);
        return nullptr;
    }
    const std::string_view bytes(static_cast<const char*>(view.buf), static_cast<std::size_t>(view.len));
    Py_ssize_t n = 0;
    const char* voice = PyUnicode_AsUTF8AndSize(lang, &n);
    PyObject* out = voice ? phonemizer_reading(word, bytes, std::string_view(voice, static_cast<std::size_t>(n)),
                                               nettoyage_flag(object_slots(self)[kNettoyage]))
                          : nullptr;
    PyBuffer_Release(&view);
    return out;
}

VANTRO_FASTCALL(espeak_phonemize) {
    PyObject* word;
    if (!word_arg("phonemize", args, nargs, kwnames, word)) return nullptr;
    // A subclass may decide availability its own way.
    Ref available(Py_TYPE(self) == g_espeak ? espeak_is_available_impl(self)
                                            : PyObject_CallMethodNoArgs(self, g_names.is_available));
    if (!available) return nullptr;
    const int ok = PyObject_IsTrue(available.get());
    if (ok < 0) return nullptr;
    if (!ok) {
        PyErr_SetString(PyExc_RuntimeError, kNotInstalled);
        return nullptr;
    }
    PyObject* lang = slot_or_raise(self, kLang, "_lang");
    if (!lang) return nullptr;
    if (!PyUnicode_Check(lang)) {
        raise_expected("str", lang);
        return nullptr;
    }
    // Held: the program runs Python code, which may rebind `_lang` meanwhile.
    const Ref held = Ref::borrow(lang);
    Ref argv(texts_to_list(espeak_ipa_command(to_text(lang), to_text(word))));
    if (!argv) return nullptr;
    Ref done(run_captured(argv.get()));
    if (!done) return nullptr;
    Ref raw(PyObject_GetAttr(done.get(), g_names.stdout_));
    if (!raw) return nullptr;
    return cleaned_output(self, word, lang, raw.get());
}

PyMethodDef espeak_methods[] = {
    VANTRO_METHOD("is_available", espeak_is_available,
                  "is_available($self, /)\n--\n\n"
                  "Indique si le programme espeak-ng peut être lancé (vérifié une seule fois)."),
    VANTRO_METHOD("phonemize", espeak_phonemize,
                  "phonemize($self, /, word)\n--\n\n"
                  "Prononciation IPA de `word` par espeak-ng, sans accents toniques ni espaces\n"
                  "(corrigée des erreurs systématiques d'espeak-ng si `nettoyage`)."),
    {nullptr, nullptr, 0, nullptr},
};

constexpr const char* kEspeakDoc = "EspeakPhonemizer(lang='fr', *, nettoyage=False)\n--\n\n"
                                   "Phonemiseur qui lance le programme espeak-ng une fois par mot.\n\n"
                                   "Avec `nettoyage`, les erreurs systématiques d'espeak-ng sur les mots\n"
                                   "français sont corrigées (nuit /nɥi/, gagné /ɡaɲe/, rien /ʁjɛ̃/).";

PyMemberDef espeak_members[] = {
    {"_lang", T_OBJECT_EX, slot_offset(kLang), 0, "Voix (langue) passée à espeak-ng avec -v."},
    {"_available", T_OBJECT_EX, slot_offset(kAvailable), 0,
     "Résultat de la vérification de disponibilité : None tant qu'elle n'a pas eu lieu."},
    {"_nettoyage", T_OBJECT_EX, slot_offset(kNettoyage), READONLY,
     "Vrai quand les prononciations sont corrigées des erreurs systématiques d'espeak-ng."},
    {nullptr, 0, 0, 0, nullptr},
};


// ---- _G2PAdapter ------------------------------------------------------------------

enum G2PSlot { kG2P, kG2PSlots };

int g2p_init(PyObject* self, PyObject* args, PyObject* kwargs) {
    static const char* kwlist[] = {"g2p_obj", nullptr};
    PyObject* g2p;
    if (!PyArg_ParseTupleAndKeywords(args, kwargs, "O:_G2PAdapter", const_cast<char**>(kwlist), &g2p)) return -1;
    PyObject* has = guarded([&] { return PyBool_FromLong(has_attr(g2p, g_names.predict)); });
    if (!has) return -1;
    Py_DECREF(has);
    if (has == Py_False) {
        PyErr_SetString(PyExc_TypeError, "L'objet G2P doit avoir une méthode .predict(word) -> str");
        return -1;
    }
    set_slot(self, kG2P, g2p);
    return 0;
}

VANTRO_FASTCALL(g2p_phonemize) {
    PyObject* word;
    if (!word_arg("phonemize", args, nargs, kwnames, word)) return nullptr;
    // Held: predict() may delete the attribute while it runs.
    const Ref g2p = Ref::borrow(slot_or_raise(self, kG2P, "_g2p"));
    if (!g2p) return nullptr;
    PyObject* result = PyObject_CallMethodOneArg(g2p.get(), g_names.predict, word);
    if (!result || result == Py_None || PyUnicode_Check(result)) return result;
    raise_expected("str", result);
    Py_DECREF(result);
    return nullptr;
}

PyMethodDef g2p_methods[] = {
    VANTRO_METHOD("phonemize", g2p_phonemize,
                  "phonemize($self, /, word)\n--\n\nPrononciation de `word` donnée par predict(word), telle quelle."),
    {nullptr, nullptr, 0, nullptr},
};

constexpr const char* kG2PDoc = "_G2PAdapter(g2p_obj)\n--\n\n"
                                "Fait d'un objet offrant predict(word) -> str un phonemiseur.";

PyMemberDef g2p_members[] = {
    {"_g2p", T_OBJECT_EX, slot_offset(kG2P), 0, "L'objet G2P enveloppé."},
    {nullptr, 0, 0, 0, nullptr},
};


}  // namespace

PyTypeObject* phonemizer_type() { return g_phonemizer; }

int add_phonemizer_types(PyObject* module) {
    g_fr = PyUnicode_InternFromString("fr");
    if (!g_fr) return -1;
    g_phonemizer = add_type<0>(module, "vantro_aligneur.vantro_aligneur.Phonemizer", kPhonemizerDoc, phonemizer_methods,
                               phonemizer_members);
    if (!g_phonemizer) return -1;
    g_espeak = add_type<kEspeakSlots>(module, "vantro_aligneur.vantro_aligneur.EspeakPhonemizer", kEspeakDoc,
                                      espeak_methods, espeak_members, espeak_init, g_phonemizer);
    if (!g_espeak) return -1;
    return add_type<kG2PSlots>(module, "vantro_aligneur.vantro_aligneur._G2PAdapter", kG2PDoc, g2p_methods, g2p_members,
                               g2p_init, g_phonemizer)
               ? 0
               : -1;
}

}  // namespace vantro::py::front
