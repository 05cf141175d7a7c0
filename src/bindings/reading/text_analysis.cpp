// analyser_texte: the core reads, groups and syllabifies; this file fetches
// the tables and the options, chooses the reader, and turns each sentence's
// words and groups into the module's records as soon as it is done.
#include "bindings/reading/text_analysis.hpp"

#include <memory>
#include <optional>
#include <unordered_set>
#include <utility>

#include "bindings/common/errors.hpp"
#include "bindings/common/functions.hpp"
#include "bindings/common/names.hpp"
#include "bindings/data/linguistic_data.hpp"
#include "bindings/common/module_globals.hpp"
#include "bindings/frontend/host.hpp"
#include "bindings/reading/liaison_lexicon.hpp"
#include "bindings/view/view_bindings.hpp"
#include "bindings/records/records.hpp"
#include "reading/context_reader.hpp"
#include "reading/program_reader.hpp"
#include "reading/text_reading.hpp"

namespace vantro::py {
namespace {

// A record of type `r` from one new reference per field; PythonError when
// it cannot be made (every value released).
PyObject* filled(Rec r, std::initializer_list<PyObject*> values) { return need(make_record(r, values)); }

PyObject* flag(bool b) { return Py_NewRef(b ? Py_True : Py_False); }

const char* nature_of(text::TokenKind k) {
    switch (k) {
        case text::TokenKind::Number: return "nombre";
        case text::TokenKind::Symbol: return "symbole";
        case text::TokenKind::Abbreviation: return "abreviation";
        case text::TokenKind::Code: return "code";
        default: return "mot";
    }
}

PyObject* phonemes_group(const std::vector<PhonemeRec>& phonemes) {
    Ref list = take(PyList_New(static_cast<Py_ssize_t>(phonemes.size())));
    for (std::size_t i = 0; i < phonemes.size(); ++i)
        PyList_SET_ITEM(list.get(), static_cast<Py_ssize_t>(i),
                        filled(Rec::Phoneme, {from_text(phonemes[i].ipa), from_text(phonemes[i].grapheme)}));
    return filled(Rec::GroupePhonologique, {list.release()});
}

PyObject* syllable(const reading::PlacedSyllable& placed) {
    const SyllabeRec& s = *placed.rec;
    return filled(Rec::Syllabe, {from_text(s.phone), from_text(s.ortho), from_span(placed.span),
                                 phonemes_group(s.attaque), phonemes_group(s.noyau), phonemes_group(s.coda)});
}

PyObject* word_record(const reading::TextWord& w) {
    PyObject* token =
        filled(Rec::JetonTexte, {from_text(w.text), from_span(w.span), PyUnicode_FromString(nature_of(w.kind)),
                                 flag(w.aligned), PyUnicode_FromString(w.language.c_str()), flag(w.relu_en_francais)});
    return filled(Rec::MotAnalyse, {token, from_text(w.phone), from_text(w.liaison), PyUnicode_FromString(""),
                                    flag(w.ponctuation_avant), flag(w.elision_avant), flag(w.est_formule)});
}

PyObject* formula_reading(const reading::TextWord& w) {
    Ref events = take(PyList_New(static_cast<Py_ssize_t>(w.steps.size())));
    for (std::size_t i = 0; i < w.steps.size(); ++i) {
        const reading::FormulaStep& step = w.steps[i];
        PyList_SET_ITEM(events.get(), static_cast<Py_ssize_t>(i),
                        filled(Rec::EventFormule, {from_text(step.ortho), from_text(step.phone),
                                                   from_span(step.span_source), from_span(step.span_lecture)}));
    }
    return filled(Rec::LectureFormule, {from_text(w.display), events.release()});
}

// The words of a text read with another language's rules, each named once,
// for the warning that tells the caller.
class ForeignWords {
public:
    void add(const reading::TextWord& w) {
        if (w.language.empty()) return;
        Text key = w.text;
        key.push_back(U'\x1F');
        key.append(w.language.begin(), w.language.end());
        if (!seen_.insert(key).second) return;
        if (seen_.size() > kNamed) return;
        if (!listed_.empty()) listed_ += U", ";
        listed_ += U"'";
        listed_ += w.text;
        listed_ += U"' (";
        listed_.append(w.language.begin(), w.language.end());
        if (w.relu_en_francais) listed_ += U", read again in French";
        listed_ += U")";
    }
    // One warning on the module logger, when some word was read so.
    void report() const {
        if (seen_.empty()) return;
        Text listed = listed_;
        if (seen_.size() > kNamed) listed += U", ...";
        Ref count = take(PyLong_FromSize_t(seen_.size()));
        Ref words = take(from_text(listed));
        need_status(front::log_call(g_names.warning,
                                    "analyser_texte(): %s word(s) read by eSpeak-NG with another language's rules: %s",
                                    {count.get(), words.get()}));
    }

private:
    static constexpr std::size_t kNamed = 20;
    std::unordered_set<Text> seen_;
    Text listed_;
};

// Appends the ResultatGroupe records of one sentence to `out`.
void append_sentence(const reading::SentenceAnalysis& s, PyObject* out) {
    std::vector<Ref> words;
    words.reserve(s.words.size());
    for (const reading::TextWord& w : s.words) words.push_back(take(word_record(w)));
    for (const reading::TextGroup& g : s.groups) {
        Ref mots = take(PyList_New(static_cast<Py_ssize_t>(g.count)));
        for (std::size_t k = 0; k < g.count; ++k)
            PyList_SET_ITEM(mots.get(), static_cast<Py_ssize_t>(k), Py_NewRef(words[g.first + k].get()));
        Ref jonctions = take(texts_to_list(g.jonctions));
        PyObject* lecture = g.est_formule && g.count == 1 ? formula_reading(s.words[g.first]) : Py_NewRef(Py_None);
        Ref groupe = take(filled(Rec::GroupeLecture, {mots.release(), from_text(g.phone_groupe), from_span(g.span),
                                                      jonctions.release(), flag(g.est_formule), lecture}));
        Ref syllabes = take(PyList_New(static_cast<Py_ssize_t>(g.syllabes.size())));
        for (std::size_t k = 0; k < g.syllabes.size(); ++k)
            PyList_SET_ITEM(syllabes.get(), static_cast<Py_ssize_t>(k), syllable(g.syllabes[k]));
        Ref resultat = take(filled(Rec::ResultatGroupe, {groupe.release(), syllabes.release()}));
        need_status(PyList_Append(out, resultat.get()));
    }
}

bool read_option(PyObject* options, int field, bool& out) {
    Ref v(record_attr(options, Rec::OptionsGroupes, field));
    if (!v) return false;
    const int truth = PyObject_IsTrue(v.get());
    if (truth < 0) return false;
    out = truth != 0;
    return true;
}

// Every table the text path reads, fetched (which may run Python code)
// before the core runs.
// Held for the whole text: a nested call may compile other tables meanwhile.
struct TextTables {
    Shared<PhonemeSets> sets;
    Shared<SonorityClasses> sonority;
    Shared<CompiledTable> table;
    Shared<TextSet> silent;
    Shared<TextMap<Text>> liaisons;
    Shared<reading::LiaisonLexicon> lexicon;

    bool fetch() {
        return (sets = current_phoneme_sets()) && (sonority = current_sonority()) &&
               (table = current_phone_table()) && (silent = current_silent_letters()) &&
               (liaisons = current_liaisons()) && (lexicon = current_liaison_lexicon());
    }
    reading::TextData data() const {
        return reading::TextData{*sets, *sonority, *table, *silent, *liaisons, *lexicon};
    }
};

std::unique_ptr<reading::ContextReader> make_reader(const TextReaderChoice& choice) {
    if (choice.kind == TextReaderChoice::Kind::Program)
        return std::make_unique<reading::ProgramContextReader>(choice.voice);
    return std::make_unique<reading::EspeakContextReader>(choice.voice);
}

}  // namespace

bool reader_for_phonemizer(PyObject* phonemizer, TextReaderChoice& out) {
    struct Candidate {
        PyObject* Names::*name;
        TextReaderChoice::Kind kind;
    };
    for (const Candidate& c : {Candidate{&Names::espeak_lib_phonemizer, TextReaderChoice::Kind::Library},
                               Candidate{&Names::espeak_phonemizer, TextReaderChoice::Kind::Program}}) {
        const Ref type = module_global(c.name);
        if (!type) return false;
        const int is = PyType_Check(type.get()) ? PyObject_IsInstance(phonemizer, type.get()) : 0;
        if (is < 0) return false;
        if (!is) continue;
        Ref lang(PyObject_GetAttr(phonemizer, g_names.lang_slot));
        if (!lang) return false;
        if (!PyUnicode_Check(lang.get())) {
            raise_expected("str", lang.get());
            return false;
        }
        const char* voice = PyUnicode_AsUTF8(lang.get());
        if (!voice) return false;
        out.kind = c.kind;
        out.voice = voice;
        return true;
    }
    PyErr_Format(PyExc_TypeError,
                 "analyser_texte lit chaque phrase en contexte avec espeak-ng : le phonemiseur de ce syllabeur "
                 "(%.200s) ne lit que des mots isoles. Utilisez VantroSyllabeur(EspeakLibPhonemizer()) "
                 "(bibliotheque espeak-ng, le plus rapide) ou VantroSyllabeur(EspeakPhonemizer()) (programme "
                 "espeak-ng), ou la fonction analyser_texte du module.",
                 Py_TYPE(phonemizer)->tp_name);
    return false;
}

bool read_corrections(PyObject* nettoyage, PyObject* relecture_francaise, TextCorrections& out) {
    for (auto [given, field] : {std::pair{nettoyage, &TextCorrections::nettoyage},
                                std::pair{relecture_francaise, &TextCorrections::relecture_francaise}}) {
        if (!given) continue;
        const int truth = PyObject_IsTrue(given);
        if (truth < 0) return false;
        out.*field = truth != 0;
    }
    return true;
}

PyObject* analyser_texte(PyObject* texte, PyObject* options, const TextReaderChoice& choice,
                         const TextCorrections& corrections) {
    Ref opts = Ref::borrow(options ? options : Py_None);
    if (opts.get() == Py_None) {
        opts = Ref(make_record(Rec::OptionsGroupes, {}));
        if (!opts) return nullptr;
    }
    reading::TextOptions text_options;
    if (!read_option(opts.get(), field::OptionsGroupes::gerer_elisions, text_options.gerer_elisions) ||
        !read_option(opts.get(), field::OptionsGroupes::gerer_liaisons, text_options.gerer_liaisons) ||
        !read_option(opts.get(), field::OptionsGroupes::gerer_enchainement, text_options.gerer_enchainement))
        return nullptr;
    text_options.nettoyage = corrections.nettoyage;
    text_options.relecture_francaise = corrections.relecture_francaise;
    TextTables tables;
    if (!tables.fetch()) return nullptr;

    // A long text makes millions of records, none of them in a cycle: the
    // cyclic collector, which would walk them all again and again as they
    // pile up, waits until they are made (no Python code runs meanwhile).
    struct CollectorPaused {
        const int was_enabled = PyGC_Disable();
        ~CollectorPaused() {
            if (was_enabled) PyGC_Enable();
        }
    } paused;
    return guarded([&]() -> PyObject* {
        const std::unique_ptr<reading::ContextReader> reader = make_reader(choice);
        const reading::TextData data = tables.data();
        reading::TextAnalyser analyser(to_text(texte), *reader, data, text_options);
        Ref groupes = take(PyList_New(0));
        reading::SentenceAnalysis sentence;
        ForeignWords foreign;
        while (analyser.next(sentence)) {
            append_sentence(sentence, groupes.get());
            for (const reading::TextWord& w : sentence.words) foreign.add(w);
        }
        foreign.report();
        // Written syllables, when the options ask for them, as analyser_complet gives them.
        need_status(write_group_syllables(groupes.get(), opts.get()));
        return make_record(Rec::ResultatSyllabation, {Py_NewRef(texte), groupes.release(), Py_NewRef(opts.get())});
    });
}

namespace {

// For the measurement script: each spoken token with its share of the
// reading in context, and how the shares were found.
PyObject* reading_shares(PyObject* texte) {
    TextTables tables;
    if (!tables.fetch()) return nullptr;
    return guarded([&]() -> PyObject* {
        reading::EspeakContextReader reader("fr");
        const reading::TextData data = tables.data();
        reading::TextAnalyser analyser(to_text(texte), reader, data, reading::TextOptions{});
        Ref words = take(PyList_New(0));
        reading::SentenceAnalysis sentence;
        while (analyser.next(sentence)) {
            for (const reading::TextWord& w : sentence.words) {
                Ref item = take(Py_BuildValue("{s:N,s:N,s:s,s:N,s:N,s:N,s:N}", "text", from_text(w.text), "span",
                                              from_span(w.span), "nature", nature_of(w.kind), "entendu",
                                              from_text(w.heard), "phone", from_text(w.phone), "lecture",
                                              from_text(w.display), "partage_sur", flag(w.share_checked)));
                need_status(PyList_Append(words.get(), item.get()));
            }
        }
        const reading::ReadingStats& st = analyser.stats();
        return Py_BuildValue("{s:N,s:n,s:n,s:n,s:n,s:n,s:n,s:n}", "mots", words.release(), "propositions",
                             static_cast<Py_ssize_t>(st.clauses), "propositions_comptees",
                             static_cast<Py_ssize_t>(st.clauses_matched), "mots_lus",
                             static_cast<Py_ssize_t>(st.units), "mots_par_lettres",
                             static_cast<Py_ssize_t>(st.units_by_letters), "mots_sans_controle",
                             static_cast<Py_ssize_t>(st.units_unchecked), "suites_soudees",
                             static_cast<Py_ssize_t>(st.glued_runs), "suites_par_lettres",
                             static_cast<Py_ssize_t>(st.glued_by_letters));
    });
}

VANTRO_FASTCALL(lecture_en_contexte_fn) {
    const char* names[] = {"texte", nullptr};
    PyObject* a[1];
    if (!parse_args({"_lecture_en_contexte", names, 1}, args, nargs, kwnames, a) || !check_str(a[0], "texte"))
        return nullptr;
    return reading_shares(a[0]);
}

VANTRO_FASTCALL(analyser_texte_fn) {
    const char* names[] = {"texte", "options", "nettoyage", "relecture_francaise", nullptr};
    PyObject* a[4];
    TextCorrections corrections;
    if (!parse_args({"analyser_texte", names, 1, 2}, args, nargs, kwnames, a) || !check_str(a[0], "texte") ||
        !read_corrections(a[2], a[3], corrections))
        return nullptr;
    return analyser_texte(a[0], a[1], TextReaderChoice{}, corrections);
}

}  // namespace

PyMethodDef reading_functions[] = {
    VANTRO_METHOD("analyser_texte", analyser_texte_fn,
                  "analyser_texte($module, /, texte, options=None, *, nettoyage=True, relecture_francaise=True)\n"
                  "--\n\n"
                  "Groupes de lecture et syllabes d'un texte français, lu phrase par phrase en\n"
                  "contexte par la bibliothèque espeak-ng (voix \"fr\").\n\n"
                  "`nettoyage` corrige les erreurs systématiques d'espeak-ng (nuit /nɥi/) ;\n"
                  "`relecture_francaise` relit avec les règles du français un mot lu avec celles\n"
                  "d'une autre langue parmi des mots français (dos /do/ et non /dɒs/).\n\n"
                  "Même résultat que VantroSyllabeur(EspeakLibPhonemizer()).analyser_texte(texte)."),
    VANTRO_METHOD("_lecture_en_contexte", lecture_en_contexte_fn,
                  "_lecture_en_contexte($module, /, texte)\n--\n\n"
                  "La part de chaque mot dans la lecture en contexte (espeak-ng, voix \"fr\")\n"
                  "et le décompte de la façon dont les parts ont été trouvées : pour mesurer."),
    {nullptr, nullptr, 0, nullptr},
};

}  // namespace vantro::py
