// The clean-up of espeak-ng's readings as the phonemizers apply it, and its
// rules reachable from Python (private functions, for checks and reports).
#include "bindings/pronunciation/pronunciation_bindings.hpp"

#include "bindings/common/errors.hpp"
#include "bindings/common/functions.hpp"
#include "bindings/frontend/host.hpp"
#include "frontend/espeak_output.hpp"
#include "pronunciation/cleanup.hpp"
#include "pronunciation/language_switch.hpp"

namespace vantro::py {

bool nettoyage_flag(PyObject* held) { return held == Py_True; }

PyObject* phonemizer_reading(PyObject* word, std::string_view raw, std::string_view voice, bool nettoyage,
                             const std::optional<Text>& reread) {
    std::string language;
    PyObject* out = guarded([&]() -> PyObject* {
        language = pronunciation::foreign_language(raw, voice);
        Text ipa = reread ? *reread : clean_espeak_output(raw);
        if (nettoyage) ipa = pronunciation::clean_pronunciation(to_text(word), ipa);
        return from_text(ipa);
    });
    if (!out || language.empty()) return out;
    // A reader is told when a word was not read as a word of its language:
    // its syllables and letters then follow another spelling system.
    Ref lang(PyUnicode_DecodeUTF8(language.data(), static_cast<Py_ssize_t>(language.size()), "replace"));
    Ref own(PyUnicode_DecodeUTF8(voice.data(), static_cast<Py_ssize_t>(voice.size()), "replace"));
    if (!lang || !own ||
        front::log_call(g_names.warning,
                        reread ? "%r read by eSpeak-NG with the rules of language %r, not of voice %r; read again "
                                 "with the voice's rules"
                               : "%r read by eSpeak-NG with the rules of language %r, not of voice %r",
                        {word, lang.get(), own.get()}) < 0) {
        Py_DECREF(out);
        return nullptr;
    }
    return out;
}

namespace {

PyObject* rule_names(std::uint32_t applied) {
    const auto rules = pronunciation::cleanup_rules();
    Ref names = take(PyList_New(0));
    for (std::size_t i = 0; i < rules.size(); ++i) {
        if (!(applied & (std::uint32_t{1} << i))) continue;
        Ref name = take(PyUnicode_FromStringAndSize(rules[i].name.data(), static_cast<Py_ssize_t>(rules[i].name.size())));
        need_status(PyList_Append(names.get(), name.get()));
    }
    return names.release();
}

VANTRO_FASTCALL(nettoyer_prononciation_fn) {
    const char* names[] = {"mot", "ipa", nullptr};
    PyObject* a[2];
    if (!parse_args({"_nettoyer_prononciation", names, 2}, args, nargs, kwnames, a) || !check_str(a[0], "mot") ||
        !check_str(a[1], "ipa"))
        return nullptr;
    return guarded([&]() -> PyObject* {
        const pronunciation::CleanupResult r = pronunciation::clean_pronunciation_traced(to_text(a[0]), to_text(a[1]));
        Ref ipa = take(from_text(r.ipa));
        Ref applied = take(rule_names(r.applied));
        return PyTuple_Pack(2, ipa.get(), applied.get());
    });
}

// "mot=lecture=corrigée" as a tuple of its parts.
PyObject* example(std::u32string_view entry) {
    std::vector<Text> parts;
    for (std::size_t start = 0;;) {
        const std::size_t end = entry.find(U'=', start);
        parts.emplace_back(entry.substr(start, end == std::u32string_view::npos ? end : end - start));
        if (end == std::u32string_view::npos) break;
        start = end + 1;
    }
    Ref list = take(texts_to_list(parts));
    return PyList_AsTuple(list.get());
}

PyObject* examples(std::span<const std::u32string_view> entries) {
    Ref out = take(PyList_New(static_cast<Py_ssize_t>(entries.size())));
    for (std::size_t i = 0; i < entries.size(); ++i)
        PyList_SET_ITEM(out.get(), static_cast<Py_ssize_t>(i), need(example(entries[i])));
    return out.release();
}

VANTRO_FASTCALL(regles_nettoyage_fn) {
    const char* names[] = {nullptr};
    if (!parse_args({"_regles_nettoyage", names, 0}, args, nargs, kwnames, nullptr)) return nullptr;
    return guarded([&]() -> PyObject* {
        const auto rules = pronunciation::cleanup_rules();
        Ref out = take(PyList_New(static_cast<Py_ssize_t>(rules.size())));
        for (std::size_t i = 0; i < rules.size(); ++i) {
            const pronunciation::CleanupRule& r = rules[i];
            Ref fixes = take(examples(r.fixes));
            Ref keeps = take(examples(r.keeps));
            PyObject* item = need(Py_BuildValue("{s:s#,s:s#,s:O,s:O}", "nom", r.name.data(),
                                                static_cast<Py_ssize_t>(r.name.size()), "description",
                                                r.description.data(), static_cast<Py_ssize_t>(r.description.size()),
                                                "corrige", fixes.get(), "garde", keeps.get()));
            PyList_SET_ITEM(out.get(), static_cast<Py_ssize_t>(i), item);
        }
        return out.release();
    });
}

}  // namespace

PyMethodDef pronunciation_functions[] = {
    VANTRO_METHOD("_nettoyer_prononciation", nettoyer_prononciation_fn,
                  "_nettoyer_prononciation($module, /, mot, ipa)\n--\n\n"
                  "La prononciation `ipa` du mot `mot` corrigée des erreurs systématiques\n"
                  "d'espeak-ng, et les noms des règles qui l'ont changée."),
    VANTRO_METHOD("_regles_nettoyage", regles_nettoyage_fn,
                  "_regles_nettoyage($module, /)\n--\n\n"
                  "Les règles de correction, dans l'ordre où elles s'appliquent, avec les mots\n"
                  "qui les justifient (corrige : mot, lecture, correction) et ceux qu'elles\n"
                  "laissent (garde : mot, lecture)."),
    {nullptr, nullptr, 0, nullptr},
};

}  // namespace vantro::py
