// Text renderings of word and sentence results, for display and for the
// interactive mode. Values are formatted as an f-string would format them and
// every field is read as an attribute, so a hand-built or subclassed record
// renders the same way and a malformed one fails with the host's own error.
#include "bindings/records/record_internal.hpp"
#include "bindings/records/record_props.hpp"

namespace vantro::py {

using detail::g_const;
using detail::Owned;
using detail::TextParts;

namespace {

constexpr int kSigma = 0x03C3;

// format(value, "") as a new str.
PyObject* fmt(PyObject* value) { return value ? PyObject_Format(value, g_const.empty) : nullptr; }

PyObject* field_text(PyObject* obj, Rec r, int i) {
    Owned value(record_attr(obj, r, i));
    return fmt(value.get());
}

// A property of `self`: computed directly for the exact type, else by
// attribute so that a subclass override is honoured.
PyObject* property(PyObject* self, Rec r, PyObject* name, PyObject* (*compute)(PyObject*)) {
    return detail::is_exact(self, r) ? compute(self) : PyObject_GetAttr(self, name);
}

// The phone of one constituent group, "-" when empty.
PyObject* constituent(PyObject* syllabe, int which) {
    Owned group(record_attr(syllabe, Rec::Syllabe, which));
    if (!group) return nullptr;
    Owned phone(read_group_phone(group.get()));
    if (!phone) return nullptr;
    if (PyUnicode_Check(phone.get()) && PyUnicode_GET_LENGTH(phone.get()) == 0) return Py_NewRef(g_const.dash);
    return fmt(phone.get());
}

PyObject* syllable_line(PyObject* s, Py_ssize_t index, const char* indent) {
    using F = field::Syllabe;
    Owned att(constituent(s, F::attaque));
    if (!att) return nullptr;
    Owned noy(constituent(s, F::noyau));
    if (!noy) return nullptr;
    Owned cod(constituent(s, F::coda));
    if (!cod) return nullptr;
    Owned phone(field_text(s, Rec::Syllabe, F::phone));
    if (!phone) return nullptr;
    Owned ortho(field_text(s, Rec::Syllabe, F::ortho));
    if (!ortho) return nullptr;
    Owned span(record_attr(s, Rec::Syllabe, F::span));
    if (!span) return nullptr;
    Owned start_value(PyObject_GetItem(span.get(), g_const.zero));
    Owned start(fmt(start_value.get()));
    if (!start) return nullptr;
    Owned end_value(PyObject_GetItem(span.get(), g_const.one));
    Owned end(fmt(end_value.get()));
    if (!end) return nullptr;
    return PyUnicode_FromFormat("%s%c%zd: /%U/ <<%U>> [%U:%U] att=%U noy=%U cod=%U", indent, kSigma, index,
                                phone.get(), ortho.get(), start.get(), end.get(), att.get(), noy.get(), cod.get());
}

// Appends one syllable line per item of `syllabes`, numbered from 1.
void add_syllable_lines(TextParts& lines, PyObject* syllabes, const char* indent) {
    Owned it(PyObject_GetIter(syllabes));
    if (!it) return lines.add(nullptr);
    Py_ssize_t index = 0;
    while (lines.ok()) {
        Owned s(PyIter_Next(it.get()));
        if (!s) {
            if (PyErr_Occurred()) lines.add(nullptr);
            return;
        }
        lines.add(syllable_line(s.get(), ++index, indent));
    }
}

PyObject* syllable_phone(PyObject* s) { return record_attr(s, Rec::Syllabe, field::Syllabe::phone); }

// ------------------------------------------------------- ResultatAnalyse

PyObject* nb_syllabes_of_analyse(PyObject* self) {
    Owned syllabes(record_attr(self, Rec::ResultatAnalyse, field::ResultatAnalyse::syllabes));
    if (!syllabes) return nullptr;
    const Py_ssize_t n = PyObject_Size(syllabes.get());
    return n < 0 ? nullptr : PyLong_FromSsize_t(n);
}

PyObject* format_simple(PyObject* self, PyObject*) {
    using F = field::ResultatAnalyse;
    Owned mot(field_text(self, Rec::ResultatAnalyse, F::mot));
    if (!mot) return nullptr;
    Owned syllabes(record_attr(self, Rec::ResultatAnalyse, F::syllabes));
    if (!syllabes) return nullptr;
    Owned phones(detail::join_each(syllabes.get(), g_const.dot, syllable_phone));
    if (!phones) return nullptr;
    Owned count(property(self, Rec::ResultatAnalyse, g_const.s_nb_syllabes, nb_syllabes_of_analyse));
    Owned count_text(fmt(count.get()));
    if (!count_text) return nullptr;
    return PyUnicode_FromFormat("%U -> /%U/ (%U syll.)", mot.get(), phones.get(), count_text.get());
}

PyObject* analyse_format_detail(PyObject* self, PyObject*) {
    using F = field::ResultatAnalyse;
    Owned mot(field_text(self, Rec::ResultatAnalyse, F::mot));
    if (!mot) return nullptr;
    Owned phone(field_text(self, Rec::ResultatAnalyse, F::phone));
    if (!phone) return nullptr;
    TextParts lines;
    lines.add(PyUnicode_FromFormat("%U -> /%U/", mot.get(), phone.get()));
    Owned syllabes(record_attr(self, Rec::ResultatAnalyse, F::syllabes));
    if (!syllabes) return nullptr;
    add_syllable_lines(lines, syllabes.get(), "  ");
    return lines.join(g_const.newline);
}

// --------------------------------------------------- ResultatSyllabation

PyObject* groupe_of(PyObject* rg) { return record_attr(rg, Rec::ResultatGroupe, field::ResultatGroupe::groupe); }

// separator.join(f(rg) for rg in self.groupes)
template <class F>
PyObject* join_groups(PyObject* self, PyObject* separator, F&& f) {
    Owned groupes(record_attr(self, Rec::ResultatSyllabation, field::ResultatSyllabation::groupes));
    if (!groupes) return nullptr;
    return detail::join_each(groupes.get(), separator, f);
}

// A formula group with a reading shows the reading in brackets.
PyObject* ligne1_part(PyObject* rg) {
    using G = field::GroupeLecture;
    Owned g(groupe_of(rg));
    if (!g) return nullptr;
    Owned est(record_attr(g.get(), Rec::GroupeLecture, G::est_formule));
    if (!est) return nullptr;
    const int formule = PyObject_IsTrue(est.get());
    if (formule < 0) return nullptr;
    if (formule) {
        Owned lecture(record_attr(g.get(), Rec::GroupeLecture, G::lecture));
        if (!lecture) return nullptr;
        if (lecture.get() != Py_None) {
            Owned display(field_text(lecture.get(), Rec::LectureFormule, field::LectureFormule::display_fr));
            return display ? PyUnicode_FromFormat("[%U]", display.get()) : nullptr;
        }
    }
    return read_reading_group_text(g.get());
}

PyObject* ligne2_part(PyObject* rg) {
    Owned syllabes(record_attr(rg, Rec::ResultatGroupe, field::ResultatGroupe::syllabes));
    if (!syllabes) return nullptr;
    return detail::join_each(syllabes.get(), g_const.dot, syllable_phone);
}

PyObject* format_ligne1(PyObject* self, PyObject*) { return join_groups(self, g_const.bar, ligne1_part); }

PyObject* format_ligne2(PyObject* self, PyObject*) { return join_groups(self, g_const.bar, ligne2_part); }

PyObject* call_rendering(PyObject* self, PyObject* name, PyObject* (*direct)(PyObject*, PyObject*)) {
    if (detail::is_exact(self, Rec::ResultatSyllabation)) return direct(self, nullptr);
    return PyObject_CallMethodNoArgs(self, name);
}

PyObject* nb_groupes_of(PyObject* self) {
    Owned groupes(record_attr(self, Rec::ResultatSyllabation, field::ResultatSyllabation::groupes));
    if (!groupes) return nullptr;
    const Py_ssize_t n = PyObject_Size(groupes.get());
    return n < 0 ? nullptr : PyLong_FromSsize_t(n);
}

PyObject* group_line(PyObject* g, Py_ssize_t index) {
    using G = field::GroupeLecture;
    Owned text_value(read_reading_group_text(g));
    Owned text(fmt(text_value.get()));
    if (!text) return nullptr;
    Owned est(record_attr(g, Rec::GroupeLecture, G::est_formule));
    if (!est) return nullptr;
    const int formule = PyObject_IsTrue(est.get());
    if (formule < 0) return nullptr;
    Owned phone(field_text(g, Rec::GroupeLecture, G::phone_groupe));
    if (!phone) return nullptr;
    Owned jonctions(record_attr(g, Rec::GroupeLecture, G::jonctions));
    if (!jonctions) return nullptr;
    const int any = PyObject_IsTrue(jonctions.get());
    if (any < 0) return nullptr;
    Owned jonc(any ? PyUnicode_Join(g_const.comma, jonctions.get()) : Py_NewRef(g_const.dash));
    if (!jonc) return nullptr;
    return PyUnicode_FromFormat("  G%zd: <<%U>>%s  /%U/  jonctions=%U", index, text.get(),
                                formule ? " [FORMULE]" : "", phone.get(), jonc.get());
}

PyObject* syllabation_format_detail(PyObject* self, PyObject*) {
    using F = field::ResultatSyllabation;
    const Rec R = Rec::ResultatSyllabation;
    Owned texte(field_text(self, R, F::texte_original));
    if (!texte) return nullptr;
    Owned nb_groupes_value(property(self, R, g_const.s_nb_groupes, nb_groupes_of));
    Owned nb_groupes(fmt(nb_groupes_value.get()));
    if (!nb_groupes) return nullptr;
    Owned nb_syllabes_value(property(self, R, g_const.s_nb_syllabes, resultat_syllabation_nb_syllabes));
    Owned nb_syllabes(fmt(nb_syllabes_value.get()));
    if (!nb_syllabes) return nullptr;
    Owned ligne1_value(call_rendering(self, g_const.s_format_ligne1, format_ligne1));
    Owned ligne1(fmt(ligne1_value.get()));
    if (!ligne1) return nullptr;
    Owned ligne2_value(call_rendering(self, g_const.s_format_ligne2, format_ligne2));
    Owned ligne2(fmt(ligne2_value.get()));
    if (!ligne2) return nullptr;

    TextParts lines;
    lines.add(PyUnicode_FromFormat("Texte : %U", texte.get()));
    lines.add(PyUnicode_FromFormat("Groupes : %U  Syllabes : %U", nb_groupes.get(), nb_syllabes.get()));
    lines.add(PyUnicode_FromFormat("Ligne 1 : %U", ligne1.get()));
    lines.add(PyUnicode_FromFormat("Ligne 2 : %U", ligne2.get()));
    lines.add_borrowed(g_const.empty);

    Owned groupes(record_attr(self, R, F::groupes));
    if (!groupes) return nullptr;
    Owned it(PyObject_GetIter(groupes.get()));
    if (!it) return nullptr;
    Py_ssize_t index = 0;
    while (lines.ok()) {
        Owned rg(PyIter_Next(it.get()));
        if (!rg) {
            if (PyErr_Occurred()) return nullptr;
            break;
        }
        Owned g(groupe_of(rg.get()));
        if (!g) return nullptr;
        lines.add(group_line(g.get(), ++index));
        Owned syllabes(record_attr(rg.get(), Rec::ResultatGroupe, field::ResultatGroupe::syllabes));
        if (!syllabes) return nullptr;
        add_syllable_lines(lines, syllabes.get(), "    ");
    }
    return lines.join(g_const.newline);
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
