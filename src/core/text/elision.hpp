// Elided words (l’, qu’, jusqu’) and the words that keep their apostrophe.
#pragma once

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

}  // namespace vantro::text
