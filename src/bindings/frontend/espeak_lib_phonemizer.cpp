// EspeakLibPhonemizer: the pronunciations of EspeakPhonemizer from the
// espeak-ng library inside the process, without a child process per word.

#include <new>
#include <string>

#include "bindings/common/errors.hpp"
#include "frontend/espeak_library.hpp"
#include "frontend/espeak_output.hpp"
#include "pronunciation/french_reading.hpp"
#include "pronunciation/language_switch.hpp"
#include "bindings/frontend/host.hpp"
#include "bindings/frontend/types.hpp"
#include "bindings/common/functions.hpp"
#include "bindings/pronunciation/pronunciation_bindings.hpp"

namespace vantro::py::front {
namespace {

enum LibSlot { kLang, kNettoyage, kRelecture, kLibSlots };

// Runs `body` on the library without the interpreter lock, so that other
// threads run while one waits for the library's mutex. `body` touches no
// Python object. False with RuntimeError / MemoryError set on failure.
template <class Body>
bool without_gil(Body&& body) {
    std::string error;
    bool no_memory = false;
    Py_BEGIN_ALLOW_THREADS
    try {
        body();
    } catch (const std::bad_alloc&) {
        no_memory = true;
    } catch (const std::exception& e) {
        error = e.what();
        if (error.empty()) error = "eSpeak-NG : erreur inattendue";
    }
    Py_END_ALLOW_THREADS
    if (no_memory) {
        PyErr_NoMemory();
        return false;
    }
    if (!error.empty()) {
        PyErr_SetString(PyExc_RuntimeError, error.c_str());
        return false;
    }
    return true;
}

bool utf8_of(PyObject* str, std::string& out) {
    Py_ssize_t n;
    const char* p = PyUnicode_AsUTF8AndSize(str, &n);
    if (!p) return false;
    out.assign(p, static_cast<std::size_t>(n));
    return true;
}

int lib_init(PyObject* self, PyObject* args, PyObject* kwargs) {
    static const char* kwlist[] = {"lang", "nettoyage", "relecture_francaise", nullptr};
    PyObject* lang = nullptr;
    PyObject* nettoyage = Py_False;
    PyObject* relecture = Py_False;
    if (!PyArg_ParseTupleAndKeywords(args, kwargs, "|O$OO:EspeakLibPhonemizer", const_cast<char**>(kwlist), &lang,
                                     &nettoyage, &relecture))
        return -1;
    const int clean = PyObject_IsTrue(nettoyage);
    if (clean < 0) return -1;
    const int reread = PyObject_IsTrue(relecture);
    if (reread < 0) return -1;
    Ref fr;
    if (!lang) {
        fr = Ref(PyUnicode_FromString("fr"));
        if (!fr) return -1;
        lang = fr.get();
    }
    if (!check_str(lang, "lang")) return -1;
    std::string voice;
    if (!utf8_of(lang, voice)) return -1;
    // Loading fails here, with a clear message, rather than at the first word.
    if (!without_gil([&] { EspeakLibrary::shared().check_voice(voice); })) return -1;
    set_slot(self, kLang, lang);
    set_slot(self, kNettoyage, clean ? Py_True : Py_False);
    set_slot(self, kRelecture, reread ? Py_True : Py_False);
    return 0;
}

VANTRO_FASTCALL(lib_phonemize) {
    const char* names[] = {"word", nullptr};
    PyObject* a[1];
    if (!parse_args({"phonemize", names, 1}, args, nargs, kwnames, a) || !check_str(a[0], "word")) return nullptr;
    PyObject* lang = slot_or_raise(self, kLang, "_lang");
    if (!lang) return nullptr;
    if (!PyUnicode_Check(lang)) {
        raise_expected("str", lang);
        return nullptr;
    }
    std::string voice;
    if (!utf8_of(lang, voice)) return nullptr;
    // The word's bytes are those the program would receive as its argument.
    Ref encoded(PyUnicode_EncodeFSDefault(a[0]));
    if (!encoded) return nullptr;
    const std::string word(PyBytes_AS_STRING(encoded.get()), static_cast<std::size_t>(PyBytes_GET_SIZE(encoded.get())));
    if (word.find('\0') != std::string::npos) {
        PyErr_SetString(PyExc_ValueError, "embedded null byte");
        return nullptr;
    }
    std::string raw;
    if (!without_gil([&] { raw = EspeakLibrary::shared().ipa(voice, word); })) return nullptr;
    std::optional<Text> reread;
    if (nettoyage_flag(object_slots(self)[kRelecture]) && !pronunciation::foreign_language(raw, voice).empty()) {
        const Text letters = to_text(a[0]);
        if (!without_gil([&] { reread = pronunciation::french_reading(EspeakLibrary::shared(), voice, letters); }))
            return nullptr;
    }
    return phonemizer_reading(a[0], raw, voice, nettoyage_flag(object_slots(self)[kNettoyage]), reread);
}

VANTRO_FASTCALL(lib_is_available) {
    const char* names[] = {nullptr};
    if (!parse_args({"is_available", names, 0}, args, nargs, kwnames, nullptr)) return nullptr;
    Py_RETURN_TRUE;  // construction already loaded the library
}

PyMethodDef lib_methods[] = {
    VANTRO_METHOD("is_available", lib_is_available,
                  "is_available($self, /)\n--\n\nToujours vrai : la bibliothèque est chargée dès la construction."),
    VANTRO_METHOD("phonemize", lib_phonemize,
                  "phonemize($self, /, word)\n--\n\n"
                  "Prononciation IPA de `word` par la bibliothèque espeak-ng, nettoyée comme celle du programme\n"
                  "(et corrigée des erreurs systématiques d'espeak-ng si `nettoyage`)."),
    {nullptr, nullptr, 0, nullptr},
};

constexpr const char* kLibDoc = "EspeakLibPhonemizer(lang='fr', *, nettoyage=False, relecture_francaise=False)\n"
                                "--\n\n"
                                "Phonemiseur qui appelle la bibliothèque espeak-ng dans le processus.\n\n"
                                "Mêmes prononciations qu'EspeakPhonemizer, sans lancer un programme par mot.\n"
                                "La bibliothèque (libespeak-ng.so.1) est chargée à la construction ; son\n"
                                "absence lève RuntimeError. Les appels concurrents sont sérialisés.\n"
                                "Avec `nettoyage`, les erreurs systématiques d'espeak-ng sur les mots\n"
                                "français sont corrigées (nuit /nɥi/, gagné /ɡaɲe/, rien /ʁjɛ̃/). Avec\n"
                                "`relecture_francaise`, un mot lu avec les règles d'une autre langue est\n"
                                "relu avec celles du français quand c'est possible (dos /do/, pull /pyl/).\n\n"
                                "    syllabeur = VantroSyllabeur(EspeakLibPhonemizer())\n"
                                "    syllabeur.analyze(\"chocolat\")";

PyMemberDef lib_members[] = {
    {"_lang", T_OBJECT_EX, slot_offset(kLang), 0, "Voix (langue) espeak-ng."},
    {"_nettoyage", T_OBJECT_EX, slot_offset(kNettoyage), READONLY,
     "Vrai quand les prononciations sont corrigées des erreurs systématiques d'espeak-ng."},
    {"_relecture_francaise", T_OBJECT_EX, slot_offset(kRelecture), READONLY,
     "Vrai quand un mot lu avec les règles d'une autre langue est relu en français."},
    {nullptr, 0, 0, 0, nullptr},
};


}  // namespace

int add_espeak_lib_type(PyObject* module, PyTypeObject* phonemizer_base) {
    return add_type<kLibSlots>(module, "vantro_aligneur.vantro_aligneur.EspeakLibPhonemizer", kLibDoc, lib_methods,
                               lib_members, lib_init, phonemizer_base)
               ? 0
               : -1;
}

}  // namespace vantro::py::front
