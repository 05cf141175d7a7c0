// A clause as espeak-ng reads it in context: its words, and the phonemes of each.
#pragma once

#include <string>
#include <vector>

#include "common/text.hpp"

namespace vantro::reading {

struct SpokenPhoneme {
    Text ipa;              // as espeak-ng writes it in IPA: stress marks, length marks, "-" included
    bool liaison = false;  // the consonant is one espeak-ng sounds only before a vowel (a liaison)
};

// What espeak-ng prints between two spaces: one word, or several words it
// reads as one (parce que, tout le monde), or a part of one.
struct SpokenChunk {
    std::vector<SpokenPhoneme> phonemes;
    // Starts with the pause espeak-ng puts before an h aspiré (le | héros),
    // "onze" or "oui": no liaison, elision or enchaînement before it.
    bool disjonctif = false;
    // The language whose rules read it, when not the voice's own ("en").
    std::string language;
};

using SpokenClause = std::vector<SpokenChunk>;

}  // namespace vantro::reading
