// The lexicon of the liaison rules, from the data file.
#pragma once

#include <memory>

#include "bindings/common/convert.hpp"
#include "reading/liaison_rules.hpp"

namespace vantro::py {

// The member "lecture_en_contexte" of the loaded data document
// (vantro_aligneur._chargeur._charger()): its lists of disjunctive words,
// of words that give liaisons (an object of lists) and of words after
// which there is none. Made again only when those lists are no longer the
// same objects holding the same words; a lexicon once handed out never
// changes. Empty with KeyError when the member is missing, TypeError when it
// is not shaped so.
std::shared_ptr<const reading::LiaisonLexicon> current_liaison_lexicon();

}  // namespace vantro::py
