// The letter view as a JSON document. Its layout is versioned (JSON_VERSION)
// and described by the schema shipped with the package: change both together.

#include "export/renderers.hpp"

namespace vantro::exporting {

namespace {

using json::Array;
using json::Object;
using json::Value;
using namespace view;

Value index(int i) { return i == NONE ? Value() : Value(i); }

Value indices(const std::vector<int>& v) {
    Array a;
    a.reserve(v.size());
    for (int i : v) a.emplace_back(i);
    return a;
}

Value span(Span s) { return Array{Value(s.start), Value(s.end)}; }
Value span_or_null(Span s, bool has_letters) { return has_letters ? span(s) : Value(); }

Value role(Role r) {
    switch (r) {
        case Role::Sonore: return U"sonore";
        case Role::Muette: return U"muette";
        case Role::Partagee: return U"partagee";
        case Role::Liaison: return U"liaison";
        case Role::Signe: return U"signe";
        case Role::Inconnue: break;
    }
    return U"inconnue";
}

Value constituent(Constituent c) {
    switch (c) {
        case Constituent::Attaque: return U"attaque";
        case Constituent::Noyau: return U"noyau";
        case Constituent::Coda: return U"coda";
        case Constituent::Aucun: break;
    }
    return Value();
}

Value part(const Part& p) {
    return Object{{U"span", span_or_null(p.span, !p.letters.empty())},
                  {U"phone", p.phone},
                  {U"lettres", indices(p.letters)},
                  {U"phonemes", indices(p.phonemes)}};
}

}  // namespace

Value to_json_tree(const LetterView& v) {
    Array letters, phonemes, units, syllables, words, junctions, groups;
    for (const Letter& l : v.letters)
        letters.push_back(Object{{U"position", Value(l.position)},
                                 {U"caractere", Text(1, l.character)},
                                 {U"groupe", index(l.group)},
                                 {U"mot", index(l.word)},
                                 {U"syllabe", index(l.syllable)},
                                 {U"constituant", constituent(l.constituent)},
                                 {U"phonemes", indices(l.phonemes)},
                                 {U"role", role(l.role)},
                                 {U"unite", index(l.unit)}});
    for (const PhonemeOut& p : v.phonemes)
        phonemes.push_back(Object{{U"ipa", p.ipa},
                                  {U"grapheme", p.grapheme},
                                  {U"span", span(p.span)},
                                  {U"lettres", indices(p.letters)},
                                  {U"groupe", index(p.group)},
                                  {U"syllabe", index(p.syllable)},
                                  {U"constituant", constituent(p.constituent)}});
    for (const Unit& u : v.units)
        units.push_back(Object{{U"graphie", u.letters},
                               {U"span", span(u.span)},
                               {U"lettres", indices(u.letter_indices)},
                               {U"phonemes", indices(u.phonemes)},
                               {U"muette", u.silent}});
    for (const Syllable& s : v.syllables)
        syllables.push_back(Object{{U"groupe", index(s.group)},
                                   {U"phone", s.phone},
                                   {U"span", span_or_null(s.span, !s.letter_indices.empty())},
                                   {U"texte", s.letters},
                                   {U"lettres", indices(s.letter_indices)},
                                   {U"phonemes", indices(s.phonemes)},
                                   {U"attaque", part(s.attaque)},
                                   {U"noyau", part(s.noyau)},
                                   {U"coda", part(s.coda)}});
    for (const WordOut& w : v.words)
        words.push_back(Object{{U"groupe", index(w.group)}, {U"span", span(w.span)}, {U"texte", w.text}});
    for (const Junction& j : v.junctions)
        junctions.push_back(Object{{U"groupe", index(j.group)},
                                   {U"mot_avant", index(j.word_before)},
                                   {U"etiquette", j.label},
                                   {U"type", j.kind.empty() ? Value() : Value(j.kind)},
                                   {U"consonne", j.consonant.empty() ? Value() : Value(j.consonant)},
                                   {U"lettre", index(j.letter)}});
    for (const GroupOut& g : v.groups)
        groups.push_back(Object{{U"span", span(g.span)},
                                {U"premier_mot", g.first_word},
                                {U"nb_mots", g.word_count},
                                {U"premiere_syllabe", g.first_syllable},
                                {U"nb_syllabes", g.syllable_count},
                                {U"alignement_ok", g.alignment_ok},
                                {U"formule", g.formula},
                                {U"lecture", g.formula ? Value(g.display) : Value()}});
    return Object{{U"version", Text(JSON_VERSION)},
                  {U"mode", v.mode == SyllableMode::Ecrites ? U"ecrites" : U"orales"},
                  {U"texte", v.text},
                  {U"lettres", std::move(letters)},
                  {U"phonemes", std::move(phonemes)},
                  {U"unites", std::move(units)},
                  {U"syllabes", std::move(syllables)},
                  {U"mots", std::move(words)},
                  {U"jonctions", std::move(junctions)},
                  {U"groupes", std::move(groups)}};
}

Text to_json(const LetterView& v) { return json::write(to_json_tree(v)); }

}  // namespace vantro::exporting
