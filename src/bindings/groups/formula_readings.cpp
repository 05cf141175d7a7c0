// Formula readings: lecture_depuis_g2p (a converter of the caller's objects),
// _valider_spans_formule and _syllabes_depuis_lecture.
#include "groups/formula_readings.hpp"

#include "bindings/common/attributes.hpp"
#include "bindings/common/errors.hpp"
#include "bindings/common/functions.hpp"
#include "bindings/groups/host_readings.hpp"
#include "bindings/records/records.hpp"

namespace vantro::py {
namespace {

PyObject* zero_span() {
    static PyObject* zero = nullptr;
    if (!zero) zero = Py_BuildValue("(ii)", 0, 0);
    return Py_XNewRef(zero);
}

// Calls f(step) for each item of `lecture.events`.
template <class F>
void for_each_step(PyObject* lecture, F&& f) {
    Ref events = attr(lecture, g_names.events);
    Ref it = take(PyObject_GetIter(events.get()));
    while (PyObject* raw = PyIter_Next(it.get())) {
        Ref step(raw);
        f(step);
    }
    if (PyErr_Occurred()) throw PythonError{};
}

// The steps as valider_spans_formule walks them: values compared and shown
// as Python compares and shows them.
struct HostSteps {
    PyObject* lecture;

    template <class F>
    void for_each_step(F&& f) {
        py::for_each_step(lecture, f);
    }
    // start, end = step.span_source
    static std::pair<Ref, Ref> span_source(const Ref& step) {
        Ref span = attr(step.get(), g_names.span_source);
        Ref hold;
        PyObject *start, *end;
        if (!unpack_pair(span.get(), hold, start, end)) throw PythonError{};
        return {Ref::borrow(start), Ref::borrow(end)};
    }
    static bool starts_after_end(const Ref& start, const Ref& end) {
        return need_status(PyObject_RichCompareBool(start.get(), end.get(), Py_GT)) != 0;
    }
    static Text shown(const Ref& value) { return to_text(take(PyObject_Str(value.get())).get()); }
    static Text quoted_ortho(const Ref& step) {
        return to_text(take(PyObject_Repr(attr(step.get(), g_names.ortho).get())).get());
    }
};

// Syllabe records made of the steps' own objects.
struct RecordsOut {
    Ref list;

    void syllable(const Ref& phone, const Ref& ortho, const Ref& span) {
        Ref s = take(
            make_record(Rec::Syllabe, {Py_NewRef(phone.get()), Py_NewRef(ortho.get()), Py_NewRef(span.get())}));
        need_status(PyList_Append(list.get(), s.get()));
    }
    void nucleus(const Ref& phone) {
        // Held: making the phoneme may run a finalizer that reaches these records.
        const Ref syllabe = Ref::borrow(PyList_GET_ITEM(list.get(), PyList_GET_SIZE(list.get()) - 1));
        const Ref noyau = take(record_attr(syllabe.get(), Rec::Syllabe, field::Syllabe::noyau));
        Ref phoneme = take(make_record(Rec::Phoneme, {Py_NewRef(phone.get())}));
        const Ref phonemes =
            take(record_attr(noyau.get(), Rec::GroupePhonologique, field::GroupePhonologique::phonemes));
        if (!PyList_Check(phonemes.get())) {
            raise_expected("list", phonemes.get());
            throw PythonError{};
        }
        need_status(PyList_Append(phonemes.get(), phoneme.get()));
    }
};

VANTRO_FASTCALL(lecture_depuis_g2p_fn) {
    const char* names[] = {"result", nullptr};
    PyObject* a[1];
    if (!parse_args({"lecture_depuis_g2p", names, 1}, args, nargs, kwnames, a)) return nullptr;
    return guarded([&]() -> PyObject* {
        Ref empty_list = take(PyList_New(0));
        Ref empty_str = take(PyUnicode_FromString(""));
        Ref zero = take(zero_span());
        Ref events = attr_or(a[0], g_names.events, empty_list.get());
        Ref steps = take(PyList_New(0));
        Ref it = take(PyObject_GetIter(events.get()));
        while (PyObject* raw = PyIter_Next(it.get())) {
            Ref step(raw);
            Ref ortho = attr_or(step.get(), g_names.ortho, empty_str.get());
            Ref phone = attr_or(step.get(), g_names.phone, empty_str.get());
            Ref span = attr_or(step.get(), g_names.span_source, zero.get());
            Ref ev = take(
                make_record(Rec::EventFormule, {ortho.release(), phone.release(), span.release(), zero_span()}));
            need_status(PyList_Append(steps.get(), ev.get()));
        }
        if (PyErr_Occurred()) return nullptr;
        Ref display = attr_or(a[0], g_names.display_fr, empty_str.get());
        return make_record(Rec::LectureFormule, {display.release(), steps.release()});
    });
}

VANTRO_FASTCALL(valider_spans_formule_fn) {
    const char* names[] = {"lecture", nullptr};
    PyObject* a[1];
    if (!parse_args({"_valider_spans_formule", names, 1}, args, nargs, kwnames, a)) return nullptr;
    return guarded([&]() -> PyObject* {
        check_reading(a[0]);
        Py_RETURN_NONE;
    });
}

VANTRO_FASTCALL(syllabes_depuis_lecture_fn) {
    const char* names[] = {"lecture", nullptr};
    PyObject* a[1];
    if (!parse_args({"_syllabes_depuis_lecture", names, 1}, args, nargs, kwnames, a)) return nullptr;
    return guarded([&]() -> PyObject* { return reading_syllables(a[0]); });
}

}  // namespace

PyMethodDef formula_functions[] = {
    VANTRO_METHOD("lecture_depuis_g2p", lecture_depuis_g2p_fn,
                  "lecture_depuis_g2p($module, /, result)\n--\n\n"
                  "Convertit un résultat de lecture de formule en LectureFormule."),
    VANTRO_METHOD("_valider_spans_formule", valider_spans_formule_fn,
                  "_valider_spans_formule($module, /, lecture)\n--\n\n"
                  "Vérifie que chaque cran a un span_source cohérent (start <= end)."),
    VANTRO_METHOD("_syllabes_depuis_lecture", syllabes_depuis_lecture_fn,
                  "_syllabes_depuis_lecture($module, /, lecture)\n--\n\n"
                  "Chaque EventFormule = 1 syllabe (mode progressif)."),
    {nullptr, nullptr, 0, nullptr},
};

void check_reading(PyObject* lecture) {
    HostSteps steps{lecture};
    valider_spans_formule(steps);
}

PyObject* reading_syllables(PyObject* lecture) {
    RecordsOut out{take(PyList_New(0))};
    for_each_step(lecture, [&](const Ref& step) {
        Ref phone = attr(step.get(), g_names.phone);
        Ref ortho = attr(step.get(), g_names.ortho);
        Ref span = attr(step.get(), g_names.span_source);
        syllable_of_step(phone, ortho, span, out);
    });
    return out.list.release();
}

}  // namespace vantro::py
