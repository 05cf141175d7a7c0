// Which liaisons a reading of French text makes.
//
// espeak-ng, reading a sentence in context, sounds a liaison wherever its
// rules allow one, including some that French forbids (after a singular noun:
// "le bras‿est", "une fois‿un", "Dupont‿et") and optional ones a teacher
// rarely marks (after a plural noun: "les enfants‿ont"). A liaison it sounds
// is kept only when these rules allow it:
//   1. never before a disjunctive word (h aspiré, onze, oui, huit, yaourt ...),
//      whether espeak-ng marks it or the lexicon lists it;
//   2. never after a word of `jamais_apres` ("et");
//   3. never after an inverted pronoun, unless the next word is joined to it
//      by a hyphen as well (ont-ils | eu, but allez-vous-en);
//   4. always inside an inversion (est-il, dit-elle, prends-en) and inside an
//      expression espeak-ng reads as one word (de temps‿en temps);
//   5. otherwise only after the words of `donneurs`: determiners, pronouns,
//      short prepositions and adverbs, numbers, adjectives that come before
//      the noun, and the forms of être and avoir (a compound number by its
//      last part: vingt-deux‿ans). Nouns, proper nouns and
//      other verbs give none: after a singular noun French forbids it, after
//      a plural one it is optional and left out.
// Liaisons espeak-ng does not sound are not added.
#pragma once

#include <optional>
#include <vector>

#include "common/text.hpp"
#include "phonology/phoneme_sets.hpp"
#include "reading/spoken.hpp"

namespace vantro::reading {

struct LiaisonLexicon {
    TextSet disjonctifs;  // lower case; a plural in -s or -x is found through its singular
    TextSet donneurs;     // lower case
    TextSet jamais_apres;
};

// `word` (as written, any case) starts with a disjunction.
bool is_disjonctif(const LiaisonLexicon& lexicon, TextView word);

// `word` gives liaisons (rule 5): listed, or a compound number whose last part is.
bool is_donneur(const LiaisonLexicon& lexicon, TextView word);

// The liaison consonant espeak-ng sounds at the end of a word read in
// context ("z" in les‿enfants, "t" in grand‿homme, "n" in un‿ami, "ʁ" in
// premier‿étage), or nothing. `phonemes` is the word's share of the reading.
// Heard as a liaison: espeak-ng's own liaison phonemes (its z2, t2, p2); a
// final written n sounded after a nasal vowel; the r of a final -er sounded
// after /e/; and a plain z, t or p sounded for a final s or x, t or d, p,
// after a word that gives liaisons (dix‿ans, vingt‿ans: espeak-ng writes
// these as it writes the t of sept) or inside an expression espeak-ng reads
// as one word (de temps‿en temps).
std::optional<Text> heard_liaison(const LiaisonLexicon& lexicon, TextView word,
                                  const std::vector<SpokenPhoneme>& phonemes, bool in_expression);

struct LiaisonPair {
    TextView previous;        // the word that would give the liaison, as written
    TextView next;            // the word after it
    bool previous_inverted;   // `previous` is joined by a hyphen to the word before it
    bool next_inverted;       // `next` is joined by a hyphen to `previous`
    bool next_disjonctif;     // marked by espeak-ng or listed
    bool in_expression;       // both read by espeak-ng as one word (de temps‿en temps)
};

// Whether French makes the liaison between these two words.
bool liaison_allowed(const LiaisonLexicon& lexicon, const LiaisonPair& pair);

}  // namespace vantro::reading
