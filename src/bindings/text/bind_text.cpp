// The text tokenizer, as plain dictionaries for tests and tools.
#include <initializer_list>
#include <utility>

#include "bindings/common/errors.hpp"
#include "bindings/common/functions.hpp"
#include "text/tokenizer.hpp"

namespace vantro::py {
namespace {

const char* kind_name(text::TokenKind k) {
    switch (k) {
        case text::TokenKind::Word: return "mot";
        case text::TokenKind::Number: return "nombre";
        case text::TokenKind::Symbol: return "symbole";
        case text::TokenKind::Abbreviation: return "abreviation";
        case text::TokenKind::Code: return "code";
        case text::TokenKind::Punctuation: return "ponctuation";
        case text::TokenKind::Other: return "autre";
    }
    return "autre";
}

// A new dict from (key, new reference) pairs; every value is consumed, even on failure.
PyObject* make_dict(std::initializer_list<std::pair<const char*, PyObject*>> items) {
    Ref d(PyDict_New());
    bool ok = static_cast<bool>(d);
    for (const auto& [key, value] : items) {
        Ref v(value);
        if (ok && (!v || PyDict_SetItemString(d.get(), key, v.get()) < 0)) ok = false;
    }
    return ok ? d.release() : nullptr;
}

PyObject* token_dict(const text::Token& t) {
    return make_dict({
        {"type", PyUnicode_FromString(kind_name(t.kind))},
        {"texte", from_text(t.text)},
        {"span", from_span(t.span)},
        {"span_nfc", from_span(t.nfc_span)},
        {"span_lecture", from_span(t.lecture_span)},
        {"ponctuation_avant", PyBool_FromLong(t.ponctuation_avant)},
        {"elide", PyBool_FromLong(t.elide)},
        {"elision_avant", PyBool_FromLong(t.elision_avant)},
        {"trait_union_avant", PyBool_FromLong(t.trait_union_avant)},
    });
}

PyObject* sentence_dict(const text::Sentence& s) {
    Ref tokens(PyList_New(static_cast<Py_ssize_t>(s.tokens.size())));
    if (!tokens) return nullptr;
    for (std::size_t i = 0; i < s.tokens.size(); ++i) {
        PyObject* t = token_dict(s.tokens[i]);
        if (!t) return nullptr;
        PyList_SET_ITEM(tokens.get(), static_cast<Py_ssize_t>(i), t);
    }
    return make_dict({
        {"span", from_span(s.span)},
        {"span_nfc", from_span(s.nfc_span)},
        {"lecture", from_text(s.lecture)},
        {"tokens", tokens.release()},
    });
}

VANTRO_FASTCALL(decouper_texte_fn) {
    const char* names[] = {"texte", nullptr};
    PyObject* texte;
    if (!parse_args({"_decouper_texte", names, 1}, args, nargs, kwnames, &texte) || !check_str(texte, "texte"))
        return nullptr;
    return guarded([&]() -> PyObject* {
        text::Tokenizer tokenizer(to_text(texte));
        Ref phrases(PyList_New(0));
        if (!phrases) return nullptr;
        text::Sentence s;
        while (tokenizer.next(s)) {
            Ref d(sentence_dict(s));
            if (!d || PyList_Append(phrases.get(), d.get()) < 0) return nullptr;
        }
        return make_dict({{"nfc", from_text(tokenizer.normalized().text())}, {"phrases", phrases.release()}});
    });
}

}  // namespace

PyMethodDef text_functions[] = {
    VANTRO_METHOD("_decouper_texte", decouper_texte_fn,
                  "_decouper_texte($module, /, texte)\n--\n\n"
                  "Découpe un texte en phrases et en jetons (mots, nombres, ponctuation...), "
                  "avec leurs positions dans le texte donné."),
    {nullptr, nullptr, 0, nullptr},
};

}  // namespace vantro::py
