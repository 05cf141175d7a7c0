// Language switches in espeak-ng's output.
//
// espeak-ng reads a word that its French dictionary or letter rules take for
// a foreign one with that language's rules, and says so by wrapping the
// reading in markers: "(en)pˈʊl(fr)". The phonemizers drop the markers; this
// finds them first, so a result can say that its pronunciation is not French.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "common/text.hpp"

namespace vantro::pronunciation {

struct LanguageSwitch {
    std::string language;  // as espeak-ng writes it: "en", "en-us", ...
    // Code-point span, in the text searched, of the reading between the
    // opening marker and the marker that switches back (or the text's end).
    std::size_t start = 0;
    std::size_t end = 0;
};

// The switches in `raw` (espeak-ng's output, decoded, not cleaned), in order.
// A marker naming `base_language` (e.g. "fr") only closes a switch.
std::vector<LanguageSwitch> find_language_switches(TextView raw, std::string_view base_language = "fr");

// True when some part of `raw` (UTF-8 bytes as espeak-ng prints them) was
// read with the rules of a language other than `base_language`.
bool has_language_switch(std::string_view raw, std::string_view base_language = "fr");

// The language of a voice as espeak-ng names it in its markers: "fr" for
// "fr-be" or "fr+f3".
std::string_view voice_language(std::string_view voice) noexcept;

// The first language other than `voice`'s own whose rules read part of `raw`
// (one word's output, UTF-8 as espeak-ng prints it), or "" when none did.
std::string foreign_language(std::string_view raw, std::string_view voice);

}  // namespace vantro::pronunciation
