// Where a hyphenated word ends and its inverted pronouns begin.
//
// French joins a verb to the pronouns that follow it with hyphens (dit-elle,
// a-t-il, donne-le-moi, allez-vous-en), and spells compounds the same way
// (arc-en-ciel, peut-être). The pronouns are words of their own; the
// compound stays whole.
#pragma once

#include <cstddef>
#include <vector>

#include "common/text.hpp"

namespace vantro::text {

// `parts`: the lower-case parts of a hyphenated word, apostrophes as U+0027
// ("donne", "le", "moi"). Returns the index of the first part that is an
// inverted pronoun, or parts.size() when the word is a compound without one.
// A euphonic t counts with the pronoun after it (a-t-il: 1); so does an
// elided pronoun with en or y (va-t'en: 1). The first part is never a
// pronoun, nor a part that follows a preposition (garde-à-vous, chez-moi).
std::size_t first_inverted_pronoun(const std::vector<Text>& parts);

// "t" between a verb and il, elle, on, ils, elles, iel, iels or en.
bool is_euphonic_t(const std::vector<Text>& parts, std::size_t index);

}  // namespace vantro::text
