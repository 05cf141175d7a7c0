// The words of a plain text, as the word-by-word text analysis finds them.
#pragma once

#include "common/text.hpp"

namespace vantro {

// Every word, left to right, without overlap: a run of Latin letters (a-z,
// A-Z, U+00C0-U+00FF, U+0100-U+024F), then any number of pieces made of an
// apostrophe (U+0027, or the typographic U+2019 or U+02BC, so that "l’école"
// is one word as "l'école" is) or a hyphen "-" and a run of a-z, A-Z,
// U+00C0-U+00FF. The same matches as the expression
// "[a-zA-ZÀ-ÿ\u0100-\u024F]+(?:['’ʼ-][a-zA-ZÀ-ÿ]+)*". (The range
// U+00C0-U+00FF holds the signs × and ÷: they count as letters.)
std::vector<Span> find_words(TextView text);

}  // namespace vantro
