// Numbers as French texts write them, and what a reader says for them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "common/text.hpp"

namespace vantro::text {

struct NumberScan {
    std::size_t end = 0;  // position after the number
    // Digits run straight into letters that are neither an ordinal ending,
    // nor h, nor a unit (3D, 4x4, 2CV): the whole run is a code, not a number.
    bool code = false;
    // The reading handed to a phonemizer: digits without group spaces, then
    // words where digits alone are read badly ("moins 5", "deuxième",
    // "8 heures 30", "50 pour cent", "10 euros 50").
    Text reading;
    std::optional<std::uint64_t> value;  // the integer part, when in ASCII digits
};

// The number that starts at `start`: a digit, or a sign (- + U+2212) that a
// digit follows. Groups of three digits after spaces (1 000 000), decimals
// and other digit runs joined by , . / : or a hyphen (3,5; 12/05/2023; 8:30;
// 1939-1945), an ordinal ending (1er, 1re, 2e, 2nd, 3ᵉ), hours (8 h 30,
// 14h), and a sign after it (50 %, 10 €, 20 °C) all belong to it. A unit in
// letters (10 km) does not: it is a token of its own.
NumberScan scan_number(TextView t, std::size_t start);

// The ordinal ending of `suffix` (1er, 2e, 2nde, 3ᵉ, 1ères): whether it is
// one, feminine, plural. Superscript letters count as plain ones.
struct OrdinalEnding {
    bool ordinal = false;
    bool feminine = false;
    bool plural = false;
    bool second = false;  // nd / nde: "second", "seconde"
};
OrdinalEnding ordinal_ending(TextView suffix);

// The reading of an ordinal: "premier", "deuxième", "seconde", "vingt et unièmes".
std::optional<Text> ordinal_reading(std::uint64_t value, const OrdinalEnding& ending);

}  // namespace vantro::text
