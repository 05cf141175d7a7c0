// Cuts one written word into the words a reader says: elided words (l’|enfant,
// jusqu’|à), and inverted pronouns after a verb (dit|-elle, a|-t-il).
#pragma once

#include <cstddef>
#include <vector>

#include "common/text.hpp"
#include "text/piece.hpp"

namespace vantro::text {

// Lower case, apostrophes as U+0027: the form compared with the tables.
Text comparable(TextView s);

// Appends the pieces of the word [begin, end) of `t` (a run of letters joined
// by apostrophes and hyphens, without digits) to `out`, as Word pieces with
// their elision and hyphen flags; their readings are left to the caller.
void split_word(TextView t, std::size_t begin, std::size_t end, std::vector<Piece>& out);

}  // namespace vantro::text
