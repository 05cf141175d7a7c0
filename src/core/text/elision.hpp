// Elided words (l’, qu’, jusqu’) and the words that keep their apostrophe.
#pragma once

#include <cstddef>

#include "common/text.hpp"

namespace vantro::text {

// `lower` (lower case, without its apostrophe) is a form that French elides
// before a vowel: l, d, j, m, t, s, c, ç, n, qu, jusqu, lorsqu, puisqu, quoiqu, presqu.
bool is_elided_form(TextView lower);

// `lower` (lower case, apostrophes as U+0027) starts with a word that keeps
// its apostrophe even though the part before it is an elided form
// (presqu'île). Words whose first part is no elided form (aujourd'hui,
// prud'homme, quelqu'un, o'clock) stay whole without being listed.
bool keeps_apostrophe(TextView lower);

// No elided form is longer than this, and no word that keeps its apostrophe
// needs more than kKeptPrefix characters to be recognised: the tests look at
// bounded prefixes, so that a word of many elisions (l'l'l'…) costs linear time.
constexpr std::size_t kLongestElided = 6;
constexpr std::size_t kKeptPrefix = 12;

}  // namespace vantro::text
