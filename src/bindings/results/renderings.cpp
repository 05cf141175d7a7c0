// The renderings of ResultatAnalyse and ResultatSyllabation: the fields read
// and shown as an f-string shows them (so a hand-built or subclassed record
// renders the same way, and a malformed one fails with the host's own
// error), then laid out by the core.
#include "results/renderings.hpp"

#include "bindings/common/attributes.hpp"
#include "bindings/common/errors.hpp"
#include "bindings/records/record_internal.hpp"
#include "bindings/records/record_props.hpp"

namespace vantro::py {

using detail::g_const;

namespace {

// format(value, "").
Text shown(PyObject* value) { return to_text(take(PyObject_Format(value, g_const.empty)).get()); }

Text shown_field(PyObject* obj, Rec r, int i) { return shown(take(record_attr(obj, r, i)).get()); }

// Item `index` of a text that is joined: it must be a str, as str.join wants.
Text joined(PyObject* item, std::size_t index) {
    Text text;
    if (!joined_item(item, index, text)) throw PythonError{};
    return text;
}

// Calls f(item) for each item of `iterable`.
template <class F>
void for_each(PyObject* iterable, F&& f) {
    Ref it = take(PyObject_GetIter(iterable));
    while (PyObject* raw = PyIter_Next(it.get())) {
        Ref item(raw);
        f(item.get());
    }
    if (PyErr_Occurred()) throw PythonError{};
}

// The items of `iterable`, each a str to be joined.
std::vector<Text> joined_items(PyObject* iterable) {
    Ref items = take(PySequence_Fast(iterable, "can only join an iterable"));
    std::vector<Text> out;
    for (Py_ssize_t i = 0; i < PySequence_Fast_GET_SIZE(items.get()); ++i)
        out.push_back(joined(PySequence_Fast_GET_ITEM(items.get(), i), static_cast<std::size_t>(i)));
    return out;
}

// The phones of the syllables of `syllabes`, to be joined.
std::vector<Text> syllable_phones(PyObject* syllabes) {
    std::vector<Ref> phones;
    for_each(syllabes,
             [&](PyObject* s) { phones.push_back(take(record_attr(s, Rec::Syllabe, field::Syllabe::phone))); });
    std::vector<Text> out;
    for (std::size_t i = 0; i < phones.size(); ++i) out.push_back(joined(phones[i].get(), i));
    return out;
}

// A property of `self`: computed directly for the exact type, else read as
// an attribute, so that a subclass override is honoured.
Ref property(PyObject* self, Rec r, PyObject* name, PyObject* (*compute)(PyObject*)) {
    return take(detail::is_exact(self, r) ? compute(self) : PyObject_GetAttr(self, name));
}

Text shown_group(PyObject* syllabe, int which) {
    Ref group = take(record_attr(syllabe, Rec::Syllabe, which));
    Ref phone = take(read_group_phone(group.get()));
    if (PyUnicode_Check(phone.get()) && PyUnicode_GET_LENGTH(phone.get()) == 0) return group_shown(TextView());
    return shown(phone.get());
}

SyllableShown shown_syllable(PyObject* s) {
    using F = field::Syllabe;
    SyllableShown out;
    out.attaque = shown_group(s, F::attaque);
    out.noyau = shown_group(s, F::noyau);
    out.coda = shown_group(s, F::coda);
    out.phone = shown_field(s, Rec::Syllabe, F::phone);
    out.ortho = shown_field(s, Rec::Syllabe, F::ortho);
    Ref span = take(record_attr(s, Rec::Syllabe, F::span));
    out.start = shown(take(PyObject_GetItem(span.get(), g_const.zero)).get());
    out.end = shown(take(PyObject_GetItem(span.get(), g_const.one)).get());
    return out;
}

std::vector<SyllableShown> shown_syllables(PyObject* syllabes) {
    std::vector<SyllableShown> out;
    for_each(syllabes, [&](PyObject* s) { out.push_back(shown_syllable(s)); });
    return out;
}

// ------------------------------------------------------- ResultatAnalyse

PyObject* nb_syllabes_of_analyse(PyObject* self) {
    Ref syllabes = take(record_attr(self, Rec::ResultatAnalyse, field::ResultatAnalyse::syllabes));
    const Py_ssize_t n = PyObject_Size(syllabes.get());
    return n < 0 ? nullptr : PyLong_FromSsize_t(n);
}

PyObject* format_simple(PyObject* self, PyObject*) {
    return guarded([&] {
        using F = field::ResultatAnalyse;
        const Text mot = shown_field(self, Rec::ResultatAnalyse, F::mot);
        const std::vector<Text> phones =
            syllable_phones(take(record_attr(self, Rec::ResultatAnalyse, F::syllabes)).get());
        const Text count =
            shown(property(self, Rec::ResultatAnalyse, g_names.nb_syllabes, nb_syllabes_of_analyse).get());
        return from_text(vantro::format_simple(mot, phones, count));
    });
}

PyObject* analyse_format_detail(PyObject* self, PyObject*) {
    return guarded([&] {
        using F = field::ResultatAnalyse;
        const Text mot = shown_field(self, Rec::ResultatAnalyse, F::mot);
        const Text phone = shown_field(self, Rec::ResultatAnalyse, F::phone);
        const std::vector<SyllableShown> syllabes =
            shown_syllables(take(record_attr(self, Rec::ResultatAnalyse, F::syllabes)).get());
        return from_text(vantro::format_detail(mot, phone, syllabes));
    });
}

// --------------------------------------------------- ResultatSyllabation

Ref groupe_of(PyObject* rg) { return take(record_attr(rg, Rec::ResultatGroupe, field::ResultatGroupe::groupe)); }

Ref groupes_of(PyObject* self) {
    return take(record_attr(self, Rec::ResultatSyllabation, field::ResultatSyllabation::groupes));
}

// A reading group as line 1 asks for it.
struct Ligne1Group {
    Ref g;
    std::size_t index;

    bool est_formule() const {
        return truth(take(record_attr(g.get(), Rec::GroupeLecture, field::GroupeLecture::est_formule)).get());
    }
    std::optional<Text> reading_display() const {
        Ref lecture = take(record_attr(g.get(), Rec::GroupeLecture, field::GroupeLecture::lecture));
        if (lecture.get() == Py_None) return std::nullopt;
        return shown_field(lecture.get(), Rec::LectureFormule, field::LectureFormule::display_fr);
    }
    Text text() const { return joined(take(read_reading_group_text(g.get())).get(), index); }
};

PyObject* format_ligne1(PyObject* self, PyObject*) {
    return guarded([&] {
        std::vector<Text> parts;
        for_each(groupes_of(self).get(), [&](PyObject* rg) {
            Ligne1Group group{groupe_of(rg), parts.size()};
            parts.push_back(ligne1_part(group));
        });
        return from_text(join_group_parts(parts));
    });
}

PyObject* format_ligne2(PyObject* self, PyObject*) {
    return guarded([&] {
        std::vector<Text> parts;
        for_each(groupes_of(self).get(), [&](PyObject* rg) {
            Ref syllabes = take(record_attr(rg, Rec::ResultatGroupe, field::ResultatGroupe::syllabes));
            parts.push_back(ligne2_part(syllable_phones(syllabes.get())));
        });
        return from_text(join_group_parts(parts));
    });
}

// A line of the sentence, by the (possibly redefined) method of a subclass.
Text shown_line(PyObject* self, PyObject* name, PyObject* (*direct)(PyObject*, PyObject*)) {
    if (detail::is_exact(self, Rec::ResultatSyllabation)) return shown(take(direct(self, nullptr)).get());
    return shown(take(PyObject_CallMethodNoArgs(self, name)).get());
}

PyObject* nb_groupes_of(PyObject* self) {
    const Py_ssize_t n = PyObject_Size(groupes_of(self).get());
    return n < 0 ? nullptr : PyLong_FromSsize_t(n);
}

GroupShown shown_group_line(PyObject* g) {
    using G = field::GroupeLecture;
    GroupShown out;
    out.text = shown(take(read_reading_group_text(g)).get());
    out.est_formule = truth(take(record_attr(g, Rec::GroupeLecture, G::est_formule)).get());
    out.phone_groupe = shown_field(g, Rec::GroupeLecture, G::phone_groupe);
    Ref jonctions = take(record_attr(g, Rec::GroupeLecture, G::jonctions));
    if (truth(jonctions.get())) out.jonctions = joined_items(jonctions.get());
    return out;
}

PyObject* syllabation_format_detail(PyObject* self, PyObject*) {
    return guarded([&] {
        const Rec R = Rec::ResultatSyllabation;
        SentenceShown s;
        s.texte_original = shown_field(self, R, field::ResultatSyllabation::texte_original);
        s.nb_groupes = shown(property(self, R, g_names.nb_groupes, nb_groupes_of).get());
        s.nb_syllabes = shown(property(self, R, g_names.nb_syllabes, resultat_syllabation_nb_syllabes).get());
        s.ligne1 = shown_line(self, g_names.format_ligne1, format_ligne1);
        s.ligne2 = shown_line(self, g_names.format_ligne2, format_ligne2);
        for_each(groupes_of(self).get(), [&](PyObject* rg) {
            s.groupes.push_back(shown_group_line(groupe_of(rg).get()));
            Ref syllabes = take(record_attr(rg, Rec::ResultatGroupe, field::ResultatGroupe::syllabes));
            s.groupes.back().syllabes = shown_syllables(syllabes.get());
        });
        return from_text(vantro::format_detail(s));
    });
}

}  // namespace

namespace detail {

PyMethodDef resultat_analyse_methods[] = {
    {"format_simple", format_simple, METH_NOARGS, "Retourne \"mot -> /phone/ (n syllabes)\"."},
    {"format_detail", analyse_format_detail, METH_NOARGS, "Retourne un affichage détaillé avec attaque/noyau/coda."},
    {nullptr, nullptr, 0, nullptr},
};

PyMethodDef resultat_syllabation_methods[] = {
    {"format_ligne1", format_ligne1, METH_NOARGS, "Groupes de lecture (non syllabé)."},
    {"format_ligne2", format_ligne2, METH_NOARGS, "Syllabes."},
    {"format_detail", syllabation_format_detail, METH_NOARGS, "Affichage détaillé des groupes et syllabes."},
    {nullptr, nullptr, 0, nullptr},
};

}  // namespace detail

}  // namespace vantro::py
