// Cleaning of what espeak-ng prints for a word.
#pragma once

#include <string_view>

#include "common/text.hpp"

namespace vantro {

// Decodes UTF-8 (undecodable bytes become U+FFFD), strips white space at both
// ends, removes language-switch markers such as "(en)" / "(fr)", the stress
// marks U+02C8 and U+02CC, every "-" and every space.
Text clean_espeak_output(std::string_view raw_stdout);

}  // namespace vantro
