// Abbreviations, units and symbols, with what a reader says for them.
#pragma once

#include <cstdint>

#include "common/text.hpp"

namespace vantro::text {

struct Abbreviation {
    TextView written;  // exactly as written (case counts: "M." is monsieur, "m" a metre)
    TextView reading;  // singular reading
    TextView plural;   // reading after a number of 2 or more ("" when the same)
    std::uint8_t flags;
};

constexpr std::uint8_t kTitle = 1;            // before a name: never ends a sentence, may take a "."
constexpr std::uint8_t kAfterNumberOnly = 2;  // a unit that is a plain letter or word elsewhere (m, g, s)
constexpr std::uint8_t kMayEndSentence = 4;   // its full stop can also close the sentence (etc.)

// The entry whose `written` starts `s` at its beginning, the longest one,
// among the entries holding a character other than a letter (M., J.-C., n°,
// km/h, m²); nullptr when none does.
const Abbreviation* match_dotted_abbreviation(TextView s);

// The entry written exactly `word` (letters only: Mme, km, kg), or nullptr.
const Abbreviation* find_abbreviation(TextView word);

// What a reader says for a symbol standing on its own or after a number
// ("%": "pour cent"), with its plural after 2 or more; reading empty when the
// character is no symbol that is read aloud.
struct SymbolReading {
    TextView reading;
    TextView plural;
};
SymbolReading symbol_reading(char32_t c);

// Currency signs, which a number's decimals follow as a second amount (10,50 €).
bool is_currency(char32_t c);

}  // namespace vantro::text
