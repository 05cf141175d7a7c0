// Unicode properties, with exactly the answers of CPython 3.11 (Unicode 14.0),
// so that tokens, lower-casing and offsets agree with the host's str.
#pragma once

#include "common/text.hpp"

namespace vantro::unicode {

// General category starts with "M" (Mn, Mc, Me).
bool is_mark(char32_t c) noexcept;

// str.isspace() of this single code point.
bool is_space(char32_t c) noexcept;

// str.strip() with no argument: `s` without the white space at both ends.
TextView strip(TextView s) noexcept;

// str.lower() / str.upper() of a whole text, full mappings included
// (one code point may become several) and the final-sigma rule of lower().
Text to_lower(TextView s);
Text to_upper(TextView s);

// str.lower() of a text holding this single code point.
Text lower_char(char32_t c);

}  // namespace vantro::unicode
