// The letter view and its renderings: vue_lettres, vers_json, vers_html,
// vers_ansi; and the written syllables of the analyses.
//
// A result is read into plain core structures before any computation: the
// attribute reads may run the caller's code (a token's `text` property),
// which could change the records being read.
#include <algorithm>
#include <cmath>
#include <optional>

#include "errors.hpp"
#include "export/renderers.hpp"
#include "functions.hpp"
#include "linguistic_data.hpp"
#include "records.hpp"
#include "syllable_records.hpp"
#include "view/build_view.hpp"
#include "view/result_input.hpp"
#include "view_bindings.hpp"

namespace vantro::py {
namespace {

Ref attr(PyObject* obj, const char* name) { return Ref(PyObject_GetAttrString(obj, name)); }

bool text_attr(PyObject* obj, const char* name, Text& out) {
    Ref v = attr(obj, name);
    if (!v) return false;
    if (!PyUnicode_Check(v.get())) {
        raise_expected("str", v.get());
        return false;
    }
    assign_text(v.get(), out);
    return true;
}

bool span_attr(PyObject* obj, const char* name, Span& out) {
    Ref v = attr(obj, name);
    return v && to_span(v.get(), out);
}

int truth_attr(PyObject* obj, const char* name) {
    Ref v = attr(obj, name);
    return v ? PyObject_IsTrue(v.get()) : -1;
}

// The items of obj.<name>, copied: the caller's list may change meanwhile.
Ref items_attr(PyObject* obj, const char* name) {
    Ref v = attr(obj, name);
    if (!v) return v;
    return Ref(PySequence_List(v.get()));
}

bool phonemes_of(PyObject* group, std::vector<PhonemeRec>& out) {
    Ref items = items_attr(group, "phonemes");
    if (!items) return false;
    for (Py_ssize_t i = 0; i < PyList_GET_SIZE(items.get()); ++i) {
        PyObject* p = PyList_GET_ITEM(items.get(), i);
        PhonemeRec rec;
        if (!text_attr(p, "ipa", rec.ipa) || !text_attr(p, "grapheme", rec.grapheme)) return false;
        out.push_back(std::move(rec));
    }
    return true;
}

bool syllables_of(PyObject* obj, std::vector<SyllabeRec>& out) {
    Ref items = items_attr(obj, "syllabes");
    if (!items) return false;
    for (Py_ssize_t i = 0; i < PyList_GET_SIZE(items.get()); ++i) {
        PyObject* s = PyList_GET_ITEM(items.get(), i);
        SyllabeRec rec;
        if (!text_attr(s, "phone", rec.phone) || !text_attr(s, "ortho", rec.ortho) || !span_attr(s, "span", rec.span))
            return false;
        Ref att = attr(s, "attaque"), noy = attr(s, "noyau"), cod = attr(s, "coda");
        if (!att || !noy || !cod || !phonemes_of(att.get(), rec.attaque) || !phonemes_of(noy.get(), rec.noyau) ||
            !phonemes_of(cod.get(), rec.coda))
            return false;
        out.push_back(std::move(rec));
    }
    return true;
}

// Whether the module's final-schwa rule adds a schwa to this word.
int takes_final_schwa(PyObject* mot, const view::WordFacts& w) {
    PyObject* fn = PyDict_GetItemString(PyModule_GetDict(main_module()), "ajouter_schwa_final");
    if (!fn) {
        PyErr_SetString(PyExc_NameError, "name 'ajouter_schwa_final' is not defined");
        return -1;
    }
    Ref text(from_text(w.text)), pos(from_text(w.pos)), phone(from_text(w.phone));
    if (!text || !pos || !phone) return -1;
    Ref with(PyObject_CallFunctionObjArgs(fn, text.get(), pos.get(), phone.get(), nullptr));
    if (!with) return -1;
    return PyObject_RichCompareBool(with.get(), phone.get(), Py_NE);
}

bool word_facts(PyObject* mot, bool final_schwas, view::WordFacts& w) {
    Ref text = attr(mot, "text");
    if (!text) return false;
    if (PyUnicode_Check(text.get())) assign_text(text.get(), w.text);
    if (!span_attr(mot, "span", w.span) || !text_attr(mot, "phone", w.phone) || !text_attr(mot, "pos", w.pos))
        return false;
    if (final_schwas) {
        const int schwa = takes_final_schwa(mot, w);
        if (schwa < 0) return false;
        w.final_schwa = schwa;
    }
    return true;
}

bool reading_of(PyObject* lecture, view::Reading& out) {
    if (!text_attr(lecture, "display_fr", out.display)) return false;
    Ref events = items_attr(lecture, "events");
    if (!events) return false;
    for (Py_ssize_t i = 0; i < PyList_GET_SIZE(events.get()); ++i) {
        PyObject* e = PyList_GET_ITEM(events.get(), i);
        view::ReadingStep step;
        if (!text_attr(e, "ortho", step.ortho) || !text_attr(e, "phone", step.phone) ||
            !span_attr(e, "span_source", step.span))
            return false;
        out.steps.push_back(std::move(step));
    }
    return true;
}

bool group_facts(PyObject* groupe, bool final_schwas, view::GroupResult& g) {
    Ref mots = items_attr(groupe, "mots");
    if (!mots) return false;
    for (Py_ssize_t i = 0; i < PyList_GET_SIZE(mots.get()); ++i) {
        view::WordFacts w;
        if (!word_facts(PyList_GET_ITEM(mots.get(), i), final_schwas, w)) return false;
        g.mots.push_back(std::move(w));
    }
    Ref jonctions = items_attr(groupe, "jonctions");
    if (!text_attr(groupe, "phone_groupe", g.phone_groupe) || !jonctions ||
        !list_to_texts(jonctions.get(), g.jonctions))
        return false;
    const int formule = truth_attr(groupe, "est_formule");
    if (formule < 0) return false;
    g.est_formule = formule;
    Ref lecture = attr(groupe, "lecture");
    if (!lecture) return false;
    if (lecture.get() != Py_None) {
        g.lecture.emplace();
        if (!reading_of(lecture.get(), *g.lecture)) return false;
    }
    return true;
}

// Options of a sentence result: (syllabes_ecrites, ajouter_schwas_finaux).
bool sentence_options(PyObject* options, bool& written, bool& schwas) {
    const int w = truth_attr(options, "syllabes_ecrites");
    const int s = w < 0 ? -1 : truth_attr(options, "ajouter_schwas_finaux");
    if (s < 0) return false;
    written = w;
    schwas = s;
    return true;
}

bool sentence_facts(PyObject* r, view::SentenceResult& out) {
    Ref options = attr(r, "options");
    bool written = false;
    if (!text_attr(r, "texte_original", out.texte) || !options ||
        !sentence_options(options.get(), written, out.final_schwas))
        return false;
    Ref groupes = items_attr(r, "groupes");
    if (!groupes) return false;
    for (Py_ssize_t i = 0; i < PyList_GET_SIZE(groupes.get()); ++i) {
        PyObject* rg = PyList_GET_ITEM(groupes.get(), i);
        view::GroupResult g;
        Ref groupe = attr(rg, "groupe");
        if (!groupe || !group_facts(groupe.get(), out.final_schwas, g) || !syllables_of(rg, g.syllabes)) return false;
        out.groupes.push_back(std::move(g));
    }
    return true;
}

struct Context {
    const PhonemeSets* sets;
    const SonorityClasses* sonority;
    const CompiledTable* table;
    const TextSet* silent;
    LinguisticContext get() const { return LinguisticContext{*sets, *sonority, *table, *silent}; }
};

// The tables, fetched last: fetching them may run Python code.
bool context(Context& c) {
    return (c.sets = current_phoneme_sets()) && (c.sonority = current_sonority()) &&
           (c.table = current_phone_table()) && (c.silent = current_silent_letters());
}

bool mode_arg(PyObject* o, view::SyllableMode& mode) {
    if (!o) return true;
    if (!check_str(o, "syllabes")) return false;
    const Text t = to_text(o);
    if (t == U"orales") mode = view::SyllableMode::Orales;
    else if (t == U"ecrites") mode = view::SyllableMode::Ecrites;
    else {
        PyErr_Format(PyExc_ValueError, "syllabes doit valoir \"orales\" ou \"ecrites\", pas %R", o);
        return false;
    }
    return true;
}

// What a word or sentence result holds, read before anything is computed.
struct Facts {
    std::optional<view::WordResult> word;
    std::optional<view::SentenceResult> sentence;
};

bool read_result(PyObject* resultat, Facts& f) {
    if (is_record(resultat, Rec::ResultatAnalyse)) {
        view::WordResult& w = f.word.emplace();
        return text_attr(resultat, "mot", w.mot) && text_attr(resultat, "phone", w.phone) &&
               syllables_of(resultat, w.syllabes);
    }
    if (is_record(resultat, Rec::ResultatSyllabation)) return sentence_facts(resultat, f.sentence.emplace());
    raise_arg_type("resultat", "ResultatAnalyse or ResultatSyllabation", resultat);
    return false;
}

// The letter view of `resultat`, handed to `render` (which returns a new
// reference or nullptr with an error set).
template <class Render>
PyObject* with_view(PyObject* resultat, view::SyllableMode mode, Render&& render) {
    Facts f;
    if (!read_result(resultat, f)) return nullptr;
    Context c;
    if (!context(c)) return nullptr;
    return guarded([&]() -> PyObject* {
        const view::ViewInput in =
            f.word ? view::input_from_word(*f.word, c.get()) : view::input_from_sentence(*f.sentence, c.get());
        return render(view::build_letter_view(in, mode, *c.sets));
    });
}

// The host's JSON reader: the dicts and lists of vue_lettres are exactly what
// the JSON text says, read by the one fast reader the host has.
PyObject* json_loads() {
    static PyObject* loads = nullptr;
    if (!loads) {
        Ref module(PyImport_ImportModule("json"));
        if (!module) return nullptr;
        loads = PyObject_GetAttrString(module.get(), "loads");
    }
    return loads;
}

VANTRO_FASTCALL(vue_lettres_fn) {
    const char* names[] = {"resultat", "syllabes", nullptr};
    PyObject* a[2];
    view::SyllableMode mode = view::SyllableMode::Orales;
    if (!parse_args({"vue_lettres", names, 1}, args, nargs, kwnames, a) || !mode_arg(a[1], mode)) return nullptr;
    PyObject* loads = json_loads();
    if (!loads) return nullptr;
    Ref text(with_view(a[0], mode, [](const view::LetterView& v) { return from_text(exporting::to_json(v)); }));
    if (!text) return nullptr;
    // Every object made here stays reachable: a collection would only walk
    // them again and again (it costs more than the reading itself).
    const int was_enabled = PyGC_Disable();
    PyObject* doc = PyObject_CallOneArg(loads, text.get());
    if (was_enabled) PyGC_Enable();
    return doc;
}

VANTRO_FASTCALL(vers_json_fn) {
    const char* names[] = {"resultat", "syllabes", nullptr};
    PyObject* a[2];
    view::SyllableMode mode = view::SyllableMode::Orales;
    if (!parse_args({"vers_json", names, 1}, args, nargs, kwnames, a) || !mode_arg(a[1], mode)) return nullptr;
    return with_view(a[0], mode, [](const view::LetterView& v) { return from_text(exporting::to_json(v)); });
}

bool colour_pair(PyObject* o, std::array<Text, 2>& out) {
    Ref items(PySequence_List(o));
    if (!items) return false;
    if (PyList_GET_SIZE(items.get()) != 2) {
        PyErr_SetString(PyExc_ValueError, "couleurs doit contenir deux couleurs");
        return false;
    }
    for (Py_ssize_t i = 0; i < 2; ++i) {
        PyObject* c = PyList_GET_ITEM(items.get(), i);
        if (!check_str(c, "couleurs")) return false;
        out[static_cast<std::size_t>(i)] = to_text(c);
    }
    return true;
}

bool number_arg(PyObject* o, const char* name, double& out) {
    if (!o) return true;
    if (!PyFloat_Check(o) && !PyLong_Check(o)) {
        raise_arg_type(name, "float", o);
        return false;
    }
    out = PyFloat_AsDouble(o);
    return !(out == -1.0 && PyErr_Occurred());
}

// Option errors of the renderers become ValueError with their message.
template <class Check>
bool options_ok(Check&& check) {
    try {
        check();
        return true;
    } catch (const std::invalid_argument& e) {
        PyErr_SetString(PyExc_ValueError, e.what());
        return false;
    }
}

VANTRO_FASTCALL(vers_html_fn) {
    const char* names[] = {"resultat",        "syllabes", "page",          "couleurs",         "couleur_muettes",
                           "espacement_lettres", "espacement_mots", "taille_police", "titre", nullptr};
    PyObject* a[9];
    view::SyllableMode mode = view::SyllableMode::Orales;
    if (!parse_args({"vers_html", names, 1, 2}, args, nargs, kwnames, a) || !mode_arg(a[1], mode)) return nullptr;
    exporting::HtmlOptions o;
    if (a[2]) {
        const int page = PyObject_IsTrue(a[2]);
        if (page < 0) return nullptr;
        o.page = page;
    }
    if (a[3] && !colour_pair(a[3], o.colours)) return nullptr;
    if (a[4]) {
        if (!check_str(a[4], "couleur_muettes")) return nullptr;
        o.silent_colour = to_text(a[4]);
    }
    if (!number_arg(a[5], "espacement_lettres", o.letter_spacing) ||
        !number_arg(a[6], "espacement_mots", o.word_spacing) || !number_arg(a[7], "taille_police", o.font_scale))
        return nullptr;
    if (a[8] && a[8] != Py_None) {
        if (!check_str(a[8], "titre")) return nullptr;
        o.title = to_text(a[8]);
    }
    if (!options_ok([&] { exporting::check_html_options(o); })) return nullptr;
    return with_view(a[0], mode, [&](const view::LetterView& v) { return from_text(exporting::to_html(v, o)); });
}

VANTRO_FASTCALL(vers_ansi_fn) {
    const char* names[] = {"resultat", "syllabes", "couleurs", nullptr};
    PyObject* a[3];
    view::SyllableMode mode = view::SyllableMode::Orales;
    if (!parse_args({"vers_ansi", names, 1, 2}, args, nargs, kwnames, a) || !mode_arg(a[1], mode)) return nullptr;
    exporting::AnsiOptions o;
    if (a[2]) {
        Ref items(PySequence_List(a[2]));
        if (!items) return nullptr;
        if (PyList_GET_SIZE(items.get()) != 2) {
            PyErr_SetString(PyExc_ValueError, "couleurs doit contenir deux couleurs");
            return nullptr;
        }
        for (Py_ssize_t i = 0; i < 2; ++i) {
            PyObject* c = PyList_GET_ITEM(items.get(), i);
            if (!PyLong_Check(c)) {
                raise_arg_type("couleurs", "int", c);
                return nullptr;
            }
            const long n = PyLong_AsLong(c);
            if (n == -1 && PyErr_Occurred()) return nullptr;
            o.colours[static_cast<std::size_t>(i)] = static_cast<int>(std::clamp(n, -1L, 1000L));
        }
    }
    if (!options_ok([&] { exporting::check_ansi_options(o); })) return nullptr;
    return with_view(a[0], mode, [&](const view::LetterView& v) { return from_text(exporting::to_ansi(v, o)); });
}

PyMethodDef view_methods[] = {
    VANTRO_METHOD("vue_lettres", vue_lettres_fn,
                  "vue_lettres($module, /, resultat, syllabes='orales')\n--\n\n"
                  "Vue lettre par lettre d'un résultat (mot ou phrase), en dictionnaires.\n\n"
                  "Chaque lettre du texte une fois, dans une syllabe, avec les phonèmes qu'elle écrit,\n"
                  "son rôle et l'unité graphique dont elle fait partie. `syllabes` : \"orales\" ou\n"
                  "\"ecrites\"."),
    VANTRO_METHOD("vers_json", vers_json_fn,
                  "vers_json($module, /, resultat, syllabes='orales')\n--\n\n"
                  "La vue lettre par lettre d'un résultat en JSON (schéma fourni avec le paquet)."),
    VANTRO_METHOD("vers_html", vers_html_fn,
                  "vers_html($module, /, resultat, syllabes='orales', *, page=True, "
                  "couleurs=('#0072B2', '#D55E00'), couleur_muettes='#767676', espacement_lettres=0.0, "
                  "espacement_mots=0.0, taille_police=1.0, titre=None)\n--\n\n"
                  "Le texte en HTML : syllabes en deux couleurs alternées, lettres muettes en gris,\n"
                  "arcs de liaison et d'enchaînement, phonèmes au survol. Une page entière, ou un\n"
                  "fragment à insérer (page=False)."),
    VANTRO_METHOD("vers_ansi", vers_ansi_fn,
                  "vers_ansi($module, /, resultat, syllabes='orales', *, couleurs=(33, 208))\n--\n\n"
                  "Le texte en couleurs de terminal (palette de 256 couleurs) : syllabes en deux\n"
                  "couleurs alternées, lettres muettes atténuées, liaisons et enchaînements en ‿."),
    {nullptr, nullptr, 0, nullptr},
};

}  // namespace

int add_view_functions(PyObject* module) { return PyModule_AddFunctions(module, view_methods); }

PyObject* written_word_syllables(PyObject* mot, PyObject* phone) {
    const Text m = to_text(mot), p = to_text(phone);
    Context c;
    if (!context(c)) return nullptr;
    return guarded([&]() -> PyObject* { return syllabes_to_list(view::written_word_records(m, p, c.get())); });
}

int write_group_syllables(PyObject* resultats, PyObject* options) {
    bool written = false, schwas = false;
    if (!sentence_options(options, written, schwas)) return -1;
    if (!written) return 0;
    Ref items(PySequence_List(resultats));
    if (!items) return -1;
    for (Py_ssize_t i = 0; i < PyList_GET_SIZE(items.get()); ++i) {
        PyObject* rg = PyList_GET_ITEM(items.get(), i);
        view::GroupResult g;
        Ref groupe = attr(rg, "groupe");
        if (!groupe || !group_facts(groupe.get(), schwas, g) || !syllables_of(rg, g.syllabes)) return -1;
        Context c;
        if (!context(c)) return -1;
        Ref list(guarded([&]() -> PyObject* {
            return syllabes_to_list(view::written_group_records(g, schwas, c.get()));
        }));
        if (!list || PyObject_SetAttrString(rg, "syllabes", list.get()) < 0) return -1;
    }
    return 0;
}

}  // namespace vantro::py
