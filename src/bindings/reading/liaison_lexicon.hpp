// The lexicon of the liaison rules, from the data file.
#pragma once

#include "bindings/common/convert.hpp"
#include "reading/liaison_rules.hpp"

namespace vantro::py {

// The member "lecture_en_contexte" of the loaded data document
// (vantro_aligneur._chargeur._charger()): its lists of disjunctive words,
// of words that give liaisons (an object of lists) and of words after
// which there is none. False with KeyError when the member is missing,
// TypeError when it is not shaped so.
bool read_liaison_lexicon(reading::LiaisonLexicon& out);

}  // namespace vantro::py
