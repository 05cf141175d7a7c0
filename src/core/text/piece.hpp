// A token while the tokenizer is still deciding about it: positions in the
// NFC text, its reading, and what surrounds it.
#pragma once

#include <cstddef>

#include "common/text.hpp"
#include "text/token.hpp"

namespace vantro::text {

struct Piece {
    TokenKind kind = TokenKind::Word;
    std::size_t begin = 0;  // NFC positions
    std::size_t end = 0;
    Text reading;           // what a phonemizer is given for it
    bool elide = false;
    bool elision_avant = false;
    bool trait_union_avant = false;
    bool may_end_sentence = false;  // holds a full stop (or ! ? …) that can close the sentence
    bool space_before = false;      // white space between the previous piece and this one
    bool paragraph_before = false;  // a blank line (or a paragraph separator) before it
};

}  // namespace vantro::text
