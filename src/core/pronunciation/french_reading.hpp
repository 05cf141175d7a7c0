// A French reading of a word that espeak-ng reads as a foreign one.
//
// espeak-ng has no setting that keeps it on its French rules: a word listed
// as English in its French dictionary ("dos", "do") or matching one of its
// English letter patterns ("th" before a consonant, a final "ll", "-ing")
// is read with the English rules. Read again with a combining grapheme
// joiner (U+034F, silent) inside it, the word matches neither the dictionary
// entry nor a pattern that spans the joiner, and the French letter rules
// read it. Every inner position is tried; the shortest reading that stays
// French wins (a joiner inside a digraph makes both letters sound, which
// only lengthens the reading), the leftmost among equals; a consonant the
// joiner doubled is said once.
#pragma once

#include <optional>
#include <string>

#include "common/text.hpp"
#include "frontend/espeak_library.hpp"

namespace vantro::pronunciation {

// The cleaned French reading of `word` (one word, no spaces) by `espeak`
// with `voice`, or nothing when espeak-ng reads it in another language
// wherever the joiner goes. A word espeak-ng already reads in French gets
// that reading. Throws EspeakLibraryError as EspeakLibrary::ipa does.
std::optional<Text> french_reading(EspeakLibrary& espeak, const std::string& voice, TextView word);

}  // namespace vantro::pronunciation
