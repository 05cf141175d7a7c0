// Field tables of the records: names, order, annotations and defaults are part
// of the library's interface, since callers build these records themselves.
#include "bindings/records/record_internal.hpp"

#include <cstddef>
#include <iterator>

namespace vantro::py::detail {
namespace {

using D = Default;

constexpr FieldDef kPhoneme[] = {
    {"ipa", "str", D::Required},
    {"grapheme", "str", D::EmptyStr},
};
constexpr FieldDef kGroupePhonologique[] = {
    {"phonemes", "list[Phoneme]", D::NewList},
};
constexpr FieldDef kSyllabe[] = {
    {"phone", "str", D::Required},
    {"ortho", "str", D::Required},
    {"span", "Span", D::Required},
    {"attaque", "GroupePhonologique", D::NewGroup},
    {"noyau", "GroupePhonologique", D::NewGroup},
    {"coda", "GroupePhonologique", D::NewGroup},
};
constexpr FieldDef kResultatAnalyse[] = {
    {"mot", "str", D::Required},
    {"phone", "str", D::Required},
    {"syllabes", "list[Syllabe]", D::NewList},
};
constexpr FieldDef kMotAnalyse[] = {
    {"token", "Any", D::None},
    {"phone", "str", D::EmptyStr},
    {"liaison", "str", D::NoneLabel},
    {"pos", "str", D::EmptyStr},
    {"ponctuation_avant", "bool", D::False},
    {"elision_avant", "bool", D::False},
    {"est_formule", "bool", D::False},
};
constexpr FieldDef kEventFormule[] = {
    {"ortho", "str", D::Required},
    {"phone", "str", D::Required},
    {"span_source", "Span", D::EmptySpan},
    {"span_lecture", "Span", D::EmptySpan},
};
constexpr FieldDef kLectureFormule[] = {
    {"display_fr", "str", D::Required},
    {"events", "list[EventFormule]", D::NewList},
};
constexpr FieldDef kOptionsGroupes[] = {
    {"gerer_elisions", "bool", D::True},
    {"gerer_liaisons", "bool", D::True},
    {"gerer_enchainement", "bool", D::True},
    {"ajouter_schwas_finaux", "bool", D::False},
    {"syllabes_ecrites", "bool", D::False},
};
constexpr FieldDef kGroupeLecture[] = {
    {"mots", "list[MotAnalyse]", D::NewList},
    {"phone_groupe", "str", D::EmptyStr},
    {"span", "Span", D::EmptySpan},
    {"jonctions", "list[str]", D::NewList},
    {"est_formule", "bool", D::False},
    {"lecture", "Optional[LectureFormule]", D::None},
};
constexpr FieldDef kResultatGroupe[] = {
    {"groupe", "GroupeLecture", D::Required},
    {"syllabes", "list[Syllabe]", D::NewList},
};
constexpr FieldDef kResultatSyllabation[] = {
    {"texte_original", "str", D::Required},
    {"groupes", "list[ResultatGroupe]", D::NewList},
    {"options", "OptionsGroupes", D::NewOptions},
};
constexpr FieldDef kSonorityClasses[] = {
    {"O", "set[str]", D::Required},
    {"N", "set[str]", D::Required},
    {"L", "set[str]", D::Required},
    {"Y", "set[str]", D::Required},
    {"V", "set[str]", D::Required},
};

constexpr FieldDef kJetonTexte[] = {
    {"text", "str", D::Required},
    {"span", "Span", D::Required},
    {"nature", "str", D::WordKind},
    {"aligne", "bool", D::True},
    {"langue", "str", D::EmptyStr},
    {"relu_en_francais", "bool", D::False},
};

template <std::size_t N>
constexpr int count(const FieldDef (&)[N]) {
    static_assert(N <= kMaxFields);
    return static_cast<int>(N);
}

}  // namespace

const RecordDef& record_def(Rec r) {
    static const RecordDef defs[] = {
        {"Phoneme", nullptr, kPhoneme, count(kPhoneme), false, nullptr, nullptr},
        {"GroupePhonologique", nullptr, kGroupePhonologique, count(kGroupePhonologique), false,
         groupe_phonologique_getset, nullptr},
        {"Syllabe", nullptr, kSyllabe, count(kSyllabe), false, nullptr, nullptr},
        {"ResultatAnalyse", nullptr, kResultatAnalyse, count(kResultatAnalyse), false, resultat_analyse_getset,
         resultat_analyse_methods},
        {"MotAnalyse", nullptr, kMotAnalyse, count(kMotAnalyse), false, mot_analyse_getset, nullptr},
        {"EventFormule", "Un cran de lecture pour une formule.", kEventFormule, count(kEventFormule), false,
         nullptr, nullptr},
        {"LectureFormule", nullptr, kLectureFormule, count(kLectureFormule), false, nullptr, nullptr},
        {"OptionsGroupes", nullptr, kOptionsGroupes, count(kOptionsGroupes), false, nullptr, nullptr},
        {"GroupeLecture", nullptr, kGroupeLecture, count(kGroupeLecture), false, groupe_lecture_getset, nullptr},
        {"ResultatGroupe", nullptr, kResultatGroupe, count(kResultatGroupe), false, nullptr, nullptr},
        {"ResultatSyllabation", nullptr, kResultatSyllabation, count(kResultatSyllabation), false,
         resultat_syllabation_getset, resultat_syllabation_methods},
        {"_SonorityClasses", nullptr, kSonorityClasses, count(kSonorityClasses), true, nullptr, nullptr},
        {"JetonTexte",
         "Un mot, un nombre, un signe ou une abréviation d'un texte lu par analyser_texte.\n\n"
         "`text` est écrit comme dans le texte (forme NFC), `span` le situe dans le texte\n"
         "de l'appelant ; `nature` : \"mot\", \"nombre\", \"symbole\", \"abreviation\" ou\n"
         "\"code\" ; `aligne` est faux quand ses lettres n'ont pas pu être placées sous ses\n"
         "sons ; `langue` nomme la langue dont espeak-ng a suivi les règles quand ce\n"
         "n'est pas le français (\"en\") ; `relu_en_francais` est vrai quand le mot a\n"
         "alors été relu seul avec les règles du français, dont sa prononciation vient.",
         kJetonTexte, count(kJetonTexte), false, nullptr, nullptr},
    };
    static_assert(std::size(defs) == static_cast<std::size_t>(Rec::Count_));
    return defs[static_cast<int>(r)];
}

}  // namespace vantro::py::detail
