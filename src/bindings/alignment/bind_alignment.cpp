// Grapheme-phoneme alignment: the search and its assembly.
#include "alignment/assembly.hpp"
#include "bindings/common/errors.hpp"
#include "bindings/common/functions.hpp"
#include "bindings/common/module_globals.hpp"
#include "bindings/data/linguistic_data.hpp"

namespace vantro::py {
namespace {

bool boundaries_arg(PyObject* arg, std::vector<std::int64_t>& out, const std::vector<std::int64_t>*& ptr) {
    ptr = nullptr;
    if (!arg || arg == Py_None) return true;
    if (!check_list(arg, "word_boundaries") || !list_to_int64s(arg, out)) return false;
    ptr = &out;
    return true;
}

VANTRO_FASTCALL(alignement_v2_fn) {
    const char* names[] = {"ortho", "phone", "phone_to_graphs", "word_boundaries", nullptr};
    PyObject* a[4];
    if (!parse_args({"_alignement_v2", names, 3}, args, nargs, kwnames, a) || !check_str(a[0], "ortho") ||
        !check_str(a[1], "phone") || !check_dict(a[2], "phone_to_graphs") ||
        (a[3] && !check_list_or_none(a[3], "word_boundaries")))
        return nullptr;
    static TableCache& cache = for_the_process<TableCache>();
    std::vector<std::int64_t> bounds;
    const std::vector<std::int64_t>* bptr;
    if (!boundaries_arg(a[3], bounds, bptr)) return nullptr;
    // Held for the whole call: fetching the silent letters runs Python code,
    // which may align with another table through this same cache.
    const Shared<CompiledTable> table = cache.get(a[2]);
    if (!table) return nullptr;
    const Shared<TextSet> silent = current_silent_letters();
    if (!silent) return nullptr;
    return guarded([&]() -> PyObject* {
        SearchResult r = alignement_v2(to_text(a[0]), to_text(a[1]), *table, *silent, bptr);
        return tuple_of({texts_to_list(r.align_ph), texts_to_list(r.align_gr), PyBool_FromLong(r.ok)});
    });
}

PyObject* alignment_tuple(const Alignment& al) {
    return tuple_of({texts_to_list(al.dec_ph), texts_to_list(al.dec_gr), spans_to_list(al.dec_spans),
                     PyBool_FromLong(al.ok)});
}

VANTRO_FASTCALL(aligner_fn) {
    const char* names[] = {"ortho", "phone", "word_boundaries", nullptr};
    PyObject* a[3];
    if (!parse_args({"_aligner", names, 2}, args, nargs, kwnames, a) || !check_str(a[0], "ortho") ||
        !check_str(a[1], "phone") || (a[2] && !check_list_or_none(a[2], "word_boundaries")))
        return nullptr;
    std::vector<std::int64_t> bounds;
    const std::vector<std::int64_t>* bptr;
    if (!boundaries_arg(a[2], bounds, bptr)) return nullptr;
    const Shared<CompiledTable> table = current_phone_table();
    if (!table) return nullptr;
    const Shared<TextSet> silent = current_silent_letters();
    if (!silent) return nullptr;
    return guarded([&]() -> PyObject* {
        return alignment_tuple(aligner(to_text(a[0]), to_text(a[1]), *table, *silent, bptr));
    });
}

VANTRO_FASTCALL(build_spans_fn) {
    const char* names[] = {"ortho", "align_gr", nullptr};
    PyObject* a[2];
    if (!parse_args({"_build_spans", names, 2}, args, nargs, kwnames, a) || !check_str(a[0], "ortho") ||
        !check_list(a[1], "align_gr"))
        return nullptr;
    std::vector<Text> gr;
    if (!list_to_texts(a[1], gr)) return nullptr;
    return guarded([&]() -> PyObject* { return spans_to_list(build_spans(gr)); });
}

VANTRO_FASTCALL(phonemise_alignment_fn) {
    const char* names[] = {"align_ph", "align_gr", "spans", nullptr};
    PyObject* a[3];
    if (!parse_args({"_phonemise_alignment", names, 3}, args, nargs, kwnames, a) || !check_list(a[0], "align_ph") ||
        !check_list(a[1], "align_gr") || !check_list(a[2], "spans"))
        return nullptr;
    std::vector<Text> ph, gr;
    std::vector<Span> spans;
    if (!list_to_texts(a[0], ph) || !list_to_texts(a[1], gr) || !list_to_spans(a[2], spans)) return nullptr;
    return guarded([&]() -> PyObject* {
        Alignment al = phonemise_alignment(ph, gr, spans);
        return tuple_of({texts_to_list(al.dec_ph), texts_to_list(al.dec_gr), spans_to_list(al.dec_spans)});
    });
}

}  // namespace

PyMethodDef alignment_functions[] = {
    VANTRO_METHOD("_alignement_v2", alignement_v2_fn,
                  "_alignement_v2($module, /, ortho, phone, phone_to_graphs, word_boundaries=None)\n--\n\n"
                  "Meilleure segmentation de la forme écrite en graphèmes, un par phonème."),
    VANTRO_METHOD("_aligner", aligner_fn,
                  "_aligner($module, /, ortho, phone, word_boundaries=None)\n--\n\nAligne graphèmes et phonèmes."),
    VANTRO_METHOD("_build_spans", build_spans_fn,
                  "_build_spans($module, /, ortho, align_gr)\n--\n\nPositions (début, fin) de chaque graphème."),
    VANTRO_METHOD("_phonemise_alignment", phonemise_alignment_fn,
                  "_phonemise_alignment($module, /, align_ph, align_gr, spans)\n--\n\n"
                  "Éclate les entrées composées en phonèmes simples."),
    {nullptr, nullptr, 0, nullptr},
};

}  // namespace vantro::py
