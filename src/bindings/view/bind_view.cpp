// The letter view and its renderings: vue_lettres, vers_json, vers_html,
// vers_ansi; and the written syllables of the analyses.
//
// A result is read into plain core values before anything is computed: the
// attribute reads may run the caller's code (a token's `text` property),
// which could change the records being read.
#include "bindings/view/view_bindings.hpp"

#include <algorithm>
#include <optional>

#include "bindings/common/attributes.hpp"
#include "bindings/common/errors.hpp"
#include "bindings/common/functions.hpp"
#include "bindings/common/owned.hpp"
#include "bindings/data/linguistic_data.hpp"
#include "bindings/records/records.hpp"
#include "bindings/results/syllable_records.hpp"
#include "export/renderers.hpp"
#include "view/build_view.hpp"
#include "view/result_input.hpp"

namespace vantro::py {
namespace {

// The items of obj.<name>, a snapshot: the caller's list may change meanwhile.
Snapshot items_attr(PyObject* obj, PyObject* name) {
    Snapshot items;
    if (!items.take(attr(obj, name).get(), nullptr)) throw PythonError{};
    return items;
}

Span span_attr(PyObject* obj, PyObject* name) {
    Span s;
    if (!to_span(attr(obj, name).get(), s)) throw PythonError{};
    return s;
}

std::vector<PhonemeRec> phonemes_of(PyObject* group) {
    const Snapshot items = items_attr(group, g_names.phonemes);
    std::vector<PhonemeRec> out;
    for (Py_ssize_t i = 0; i < items.size(); ++i) {
        PyObject* p = items[i];
        out.push_back(PhonemeRec{text_attr(p, g_names.ipa), text_attr(p, g_names.grapheme)});
    }
    return out;
}

std::vector<SyllabeRec> syllables_of(PyObject* obj) {
    const Snapshot items = items_attr(obj, g_names.syllabes);
    std::vector<SyllabeRec> out;
    for (Py_ssize_t i = 0; i < items.size(); ++i) {
        PyObject* s = items[i];
        SyllabeRec rec;
        rec.phone = text_attr(s, g_names.phone);
        rec.ortho = text_attr(s, g_names.ortho);
        rec.span = span_attr(s, g_names.span);
        rec.attaque = phonemes_of(attr(s, g_names.attaque).get());
        rec.noyau = phonemes_of(attr(s, g_names.noyau).get());
        rec.coda = phonemes_of(attr(s, g_names.coda).get());
        out.push_back(std::move(rec));
    }
    return out;
}

PyObject* interned(const char* s) {
    PyObject* name = PyUnicode_InternFromString(s);  // kept for the process
    return need(name);
}

// What a token of the text path says of the rules that read its word; a
// caller's own token need not say anything.
void read_language(PyObject* mot, view::WordFacts& w) {
    static PyObject* const token_name = interned("token");
    static PyObject* const langue_name = interned("langue");
    static PyObject* const relu_name = interned("relu_en_francais");
    Ref token = attr_or(mot, token_name, Py_None);
    if (token.get() == Py_None) return;
    Ref langue = attr_or(token.get(), langue_name, Py_None);
    if (!PyUnicode_Check(langue.get())) return;
    Py_ssize_t n = 0;
    const char* utf8 = need(PyUnicode_AsUTF8AndSize(langue.get(), &n));
    w.language.assign(utf8, static_cast<std::size_t>(n));
    if (!w.language.empty()) w.reread = truth(attr_or(token.get(), relu_name, Py_False).get());
}

view::WordFacts word_facts(PyObject* mot) {
    view::WordFacts w;
    Ref text = attr(mot, g_names.text);
    if (PyUnicode_Check(text.get())) w.text = to_text(text.get());
    w.span = span_attr(mot, g_names.span);
    w.phone = text_attr(mot, g_names.phone);
    w.pos = text_attr(mot, g_names.pos);
    read_language(mot, w);
    return w;
}

view::Reading reading_of(PyObject* lecture) {
    view::Reading out;
    out.display = text_attr(lecture, g_names.display_fr);
    const Snapshot events = items_attr(lecture, g_names.events);
    for (Py_ssize_t i = 0; i < events.size(); ++i) {
        PyObject* e = events[i];
        out.steps.push_back(view::ReadingStep{text_attr(e, g_names.ortho), text_attr(e, g_names.phone),
                                              span_attr(e, g_names.span_source)});
    }
    return out;
}

view::GroupResult group_facts(PyObject* rg) {
    view::GroupResult g;
    Ref groupe = attr(rg, g_names.groupe);
    const Snapshot mots = items_attr(groupe.get(), g_names.mots);
    for (Py_ssize_t i = 0; i < mots.size(); ++i) g.mots.push_back(word_facts(mots[i]));
    g.phone_groupe = text_attr(groupe.get(), g_names.phone_groupe);
    const Snapshot jonctions = items_attr(groupe.get(), g_names.jonctions);
    if (!list_to_texts(jonctions.tuple(), g.jonctions)) throw PythonError{};
    g.est_formule = truth_attr(groupe.get(), g_names.est_formule);
    Ref lecture = attr(groupe.get(), g_names.lecture);
    if (lecture.get() != Py_None) g.lecture = reading_of(lecture.get());
    g.syllabes = syllables_of(rg);
    return g;
}

view::SentenceResult sentence_facts(PyObject* r) {
    view::SentenceResult out;
    out.texte = text_attr(r, g_names.texte_original);
    out.final_schwas = truth_attr(attr(r, g_names.options).get(), g_names.ajouter_schwas_finaux);
    const Snapshot groupes = items_attr(r, g_names.groupes);
    for (Py_ssize_t i = 0; i < groupes.size(); ++i) out.groupes.push_back(group_facts(groupes[i]));
    return out;
}

// The tables, fetched last (fetching them may run Python code), and held
// while they are used: a nested call may compile other tables meanwhile.
struct HeldContext {
    Shared<PhonemeSets> sets = need(current_phoneme_sets());
    Shared<SonorityClasses> sonority = need(current_sonority());
    Shared<CompiledTable> table = need(current_phone_table());
    Shared<TextSet> silent = need(current_silent_letters());
    LinguisticContext context() const { return LinguisticContext{*sets, *sonority, *table, *silent}; }
};

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

// The letter view of `resultat` (a word or sentence result), handed to
// `render`, which returns a new reference.
template <class Render>
PyObject* with_view(PyObject* resultat, view::SyllableMode mode, Render&& render) {
    return guarded([&]() -> PyObject* {
        std::optional<view::WordResult> word;
        std::optional<view::SentenceResult> sentence;
        if (is_record(resultat, Rec::ResultatAnalyse)) {
            word.emplace(view::WordResult{text_attr(resultat, g_names.mot), text_attr(resultat, g_names.phone),
                                          syllables_of(resultat)});
        } else if (is_record(resultat, Rec::ResultatSyllabation)) {
            sentence = sentence_facts(resultat);
        } else {
            raise_arg_type("resultat", "ResultatAnalyse or ResultatSyllabation", resultat);
            throw PythonError{};
        }
        const HeldContext held;
        const LinguisticContext ctx = held.context();
        const view::ViewInput in = word ? view::input_from_word(*word, ctx) : view::input_from_sentence(*sentence, ctx);
        return render(view::build_letter_view(in, mode, ctx.sets));
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
    Ref text(with_view(a[0], mode, [](const view::LetterView& v) { return need(from_text(exporting::to_json(v))); }));
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
    return with_view(a[0], mode, [](const view::LetterView& v) { return need(from_text(exporting::to_json(v))); });
}

// `n` items of the sequence `o` (any iterable), or ValueError naming `what`.
Ref exactly(PyObject* o, Py_ssize_t n, const char* message) {
    Ref items(PySequence_List(o));
    if (items && PyList_GET_SIZE(items.get()) != n) {
        PyErr_SetString(PyExc_ValueError, message);
        return Ref();
    }
    return items;
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
    const char* names[] = {"resultat",           "syllabes",        "page",          "couleurs", "couleur_muettes",
                           "espacement_lettres", "espacement_mots", "taille_police", "titre",    nullptr};
    PyObject* a[9];
    view::SyllableMode mode = view::SyllableMode::Orales;
    if (!parse_args({"vers_html", names, 1, 2}, args, nargs, kwnames, a) || !mode_arg(a[1], mode)) return nullptr;
    exporting::HtmlOptions o;
    if (a[2]) {
        const int page = PyObject_IsTrue(a[2]);
        if (page < 0) return nullptr;
        o.page = page;
    }
    if (a[3]) {
        Ref colours = exactly(a[3], 2, "couleurs doit contenir deux couleurs");
        if (!colours) return nullptr;
        for (Py_ssize_t i = 0; i < 2; ++i) {
            PyObject* c = PyList_GET_ITEM(colours.get(), i);
            if (!check_str(c, "couleurs")) return nullptr;
            o.colours[static_cast<std::size_t>(i)] = to_text(c);
        }
    }
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
    return with_view(a[0], mode, [&](const view::LetterView& v) { return need(from_text(exporting::to_html(v, o))); });
}

VANTRO_FASTCALL(vers_ansi_fn) {
    const char* names[] = {"resultat", "syllabes", "couleurs", nullptr};
    PyObject* a[3];
    view::SyllableMode mode = view::SyllableMode::Orales;
    if (!parse_args({"vers_ansi", names, 1, 2}, args, nargs, kwnames, a) || !mode_arg(a[1], mode)) return nullptr;
    exporting::AnsiOptions o;
    if (a[2]) {
        Ref colours = exactly(a[2], 2, "couleurs doit contenir deux couleurs");
        if (!colours) return nullptr;
        for (Py_ssize_t i = 0; i < 2; ++i) {
            PyObject* c = PyList_GET_ITEM(colours.get(), i);
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
    return with_view(a[0], mode, [&](const view::LetterView& v) { return need(from_text(exporting::to_ansi(v, o))); });
}

}  // namespace

PyMethodDef view_functions[] = {
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

PyObject* written_word_syllables(PyObject* mot, PyObject* phone) {
    return guarded([&]() -> PyObject* {
        const Text m = to_text(mot), p = to_text(phone);
        const HeldContext held;
        return need(syllabes_to_list(view::written_word_records(m, p, held.context())));
    });
}

int write_group_syllables(PyObject* resultats, PyObject* options) {
    PyObject* done = guarded([&]() -> PyObject* {
        if (!truth_attr(options, g_names.syllabes_ecrites)) Py_RETURN_NONE;
        const bool schwas = truth_attr(options, g_names.ajouter_schwas_finaux);
        Ref items = take(PySequence_List(resultats));
        for (Py_ssize_t i = 0; i < PyList_GET_SIZE(items.get()); ++i) {
            PyObject* rg = PyList_GET_ITEM(items.get(), i);
            const view::GroupResult g = group_facts(rg);
            const HeldContext held;
            Ref written = take(syllabes_to_list(view::written_group_records(g, schwas, held.context())));
            need_status(PyObject_SetAttr(rg, g_names.syllabes, written.get()));
        }
        Py_RETURN_NONE;
    });
    if (!done) return -1;
    Py_DECREF(done);
    return 0;
}

}  // namespace vantro::py
