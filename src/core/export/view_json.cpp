// The letter view as a JSON document. Its layout is versioned (JSON_VERSION)
// and described by the schema shipped with the package: change both together.

#include "export/json_writer.hpp"
#include "export/renderers.hpp"

namespace vantro::exporting {

namespace {

using namespace view;

const char32_t* role(Role r) {
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

void constituent(json::Writer& w, Constituent c) {
    switch (c) {
        case Constituent::Attaque: w.string(U"attaque"); return;
        case Constituent::Noyau: w.string(U"noyau"); return;
        case Constituent::Coda: w.string(U"coda"); return;
        case Constituent::Aucun: break;
    }
    w.null();
}

// A span, or null for what has no letter.
void span(json::Writer& w, Span s, bool has_letters) {
    if (has_letters) w.pair(s.start, s.end);
    else w.null();
}

void text_or_null(json::Writer& w, TextView t) {
    if (t.empty()) w.null();
    else w.string(t);
}

void part(json::Writer& w, TextView name, const Part& p) {
    w.key(name).object();
    w.key(U"span");
    span(w, p.span, !p.letters.empty());
    w.key(U"phone").string(p.phone).key(U"lettres").indices(p.letters).key(U"phonemes").indices(p.phonemes);
    w.end();
}

}  // namespace

Text to_json(const LetterView& v) {
    Text out;
    out.reserve(v.letters.size() * 200 + 256);
    json::Writer w(out);
    w.object();
    w.key(U"version").string(JSON_VERSION);
    w.key(U"mode").string(v.mode == SyllableMode::Ecrites ? U"ecrites" : U"orales");
    w.key(U"texte").string(v.text);

    w.key(U"lettres").array();
    for (const Letter& l : v.letters) {
        w.object().key(U"position").number(l.position).key(U"caractere").string(TextView(&l.character, 1));
        w.key(U"groupe").index(l.group).key(U"mot").index(l.word).key(U"syllabe").index(l.syllable);
        w.key(U"constituant");
        constituent(w, l.constituent);
        w.key(U"phonemes").indices(l.phonemes).key(U"role").string(role(l.role)).key(U"unite").index(l.unit);
        w.end();
    }
    w.end();

    w.key(U"phonemes").array();
    for (const PhonemeOut& p : v.phonemes) {
        w.object().key(U"ipa").string(p.ipa).key(U"grapheme").string(p.grapheme);
        w.key(U"span").pair(p.span.start, p.span.end).key(U"lettres").indices(p.letters);
        w.key(U"groupe").index(p.group).key(U"syllabe").index(p.syllable).key(U"constituant");
        constituent(w, p.constituent);
        w.end();
    }
    w.end();

    w.key(U"unites").array();
    for (const Unit& u : v.units) {
        w.object().key(U"graphie").string(u.letters).key(U"span").pair(u.span.start, u.span.end);
        w.key(U"lettres").indices(u.letter_indices).key(U"phonemes").indices(u.phonemes);
        w.key(U"muette").boolean(u.silent).end();
    }
    w.end();

    w.key(U"syllabes").array();
    for (const Syllable& s : v.syllables) {
        w.object().key(U"groupe").index(s.group).key(U"phone").string(s.phone).key(U"span");
        span(w, s.span, !s.letter_indices.empty());
        w.key(U"texte").string(s.letters).key(U"lettres").indices(s.letter_indices);
        w.key(U"phonemes").indices(s.phonemes);
        part(w, U"attaque", s.attaque);
        part(w, U"noyau", s.noyau);
        part(w, U"coda", s.coda);
        w.end();
    }
    w.end();

    w.key(U"mots").array();
    for (const WordOut& m : v.words) {
        w.object().key(U"groupe").index(m.group).key(U"span").pair(m.span.start, m.span.end).key(U"texte").string(m.text);
        w.key(U"langue");
        text_or_null(w, from_utf8(m.language));
        w.key(U"relu_en_francais").boolean(m.reread).end();
    }
    w.end();

    w.key(U"jonctions").array();
    for (const Junction& j : v.junctions) {
        w.object().key(U"groupe").index(j.group).key(U"mot_avant").index(j.word_before);
        w.key(U"etiquette").string(j.label).key(U"type");
        text_or_null(w, j.kind);
        w.key(U"consonne");
        text_or_null(w, j.consonant);
        w.key(U"lettre").index(j.letter).end();
    }
    w.end();

    w.key(U"groupes").array();
    for (const GroupOut& g : v.groups) {
        w.object().key(U"span").pair(g.span.start, g.span.end);
        w.key(U"premier_mot").number(g.first_word).key(U"nb_mots").number(g.word_count);
        w.key(U"premiere_syllabe").number(g.first_syllable).key(U"nb_syllabes").number(g.syllable_count);
        w.key(U"alignement_ok").boolean(g.alignment_ok).key(U"formule").boolean(g.formula).key(U"lecture");
        if (g.formula) w.string(g.display);
        else w.null();
        w.end();
    }
    w.end();

    w.end();
    return out;
}

}  // namespace vantro::exporting
