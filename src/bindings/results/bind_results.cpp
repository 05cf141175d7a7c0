// Syllable builder and the pedagogical final schwa.
#include "results/final_schwa.hpp"

#include "bindings/common/errors.hpp"
#include "bindings/common/functions.hpp"
#include "bindings/data/linguistic_data.hpp"
#include "phonology/tokens.hpp"
#include "results/syllable_builder.hpp"
#include "bindings/results/syllable_records.hpp"

namespace vantro::py {
namespace {

VANTRO_FASTCALL(build_syllabes_fn) {
    const char* names[] = {"syll_phones", "dec_ph", "dec_gr", "dec_spans", "word_offset", "alignment_ok", nullptr};
    PyObject* a[6];
    if (!parse_args({"_build_syllabes", names, 6}, args, nargs, kwnames, a) || !check_list(a[0], "syll_phones") ||
        !check_list(a[1], "dec_ph") || !check_list(a[2], "dec_gr") || !check_list(a[3], "dec_spans"))
        return nullptr;
    if (!PyLong_Check(a[4])) {
        raise_arg_type("word_offset", "int", a[4]);
        return nullptr;
    }
    std::int64_t offset;
    if (!to_int64(a[4], offset)) return nullptr;
    const int ok = PyObject_IsTrue(a[5]);
    if (ok < 0) return nullptr;
    std::vector<Text> syll, ph, gr;
    std::vector<Span> spans;
    if (!list_to_texts(a[0], syll) || !list_to_texts(a[1], ph) || !list_to_texts(a[2], gr) ||
        !list_to_spans(a[3], spans))
        return nullptr;
    const Shared<PhonemeSets> sets = current_phoneme_sets();
    if (!sets) return nullptr;
    return guarded([&]() -> PyObject* {
        return syllabes_to_list(build_syllabes(syll, ph, gr, spans, offset, ok != 0, *sets));
    });
}

VANTRO_FASTCALL(ajouter_schwa_final_fn) {
    const char* names[] = {"ortho", "pos", "phone", nullptr};
    PyObject* a[3];
    if (!parse_args({"ajouter_schwa_final", names, 3}, args, nargs, kwnames, a) || !check_str(a[0], "ortho") ||
        !check_str(a[1], "pos") || !check_str(a[2], "phone"))
        return nullptr;
    return guarded([&]() -> PyObject* {
        Text phone = to_text(a[2]);
        // The tables are only fetched when the last phoneme must be classed.
        Shared<PhonemeSets> held;
        auto sets = [&]() -> const PhonemeSets& {
            held = need(current_phoneme_sets());
            return *held;
        };
        if (!takes_final_schwa(to_text(a[0]), to_text(a[1]), phone, sets)) return Py_NewRef(a[2]);
        phone.push_back(SCHWA);
        return from_text(phone);
    });
}

}  // namespace

PyMethodDef results_functions[] = {
    VANTRO_METHOD("_build_syllabes", build_syllabes_fn,
                  "_build_syllabes($module, /, syll_phones, dec_ph, dec_gr, dec_spans, word_offset, alignment_ok)"
                  "\n--\n\nConstruit les syllabes avec leurs lettres, positions, attaque, noyau et coda."),
    VANTRO_METHOD("ajouter_schwa_final", ajouter_schwa_final_fn,
                  "ajouter_schwa_final($module, /, ortho, pos, phone)\n--\n\n"
                  "Ajoute un schwa pédagogique final aux mots terminés par un e muet ou par -ent verbal."),
    {nullptr, nullptr, 0, nullptr},
};

}  // namespace vantro::py
