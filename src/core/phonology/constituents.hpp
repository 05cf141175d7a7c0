// Onset, nucleus and coda of one syllable.
#pragma once

#include <array>
#include <optional>

#include "common/text.hpp"
#include "phonology/phoneme_sets.hpp"

namespace vantro {

class PhonemeClassifier;

// (attaque, noyau, coda), or nothing when no token is a vowel. The nucleus is
// the first vowel token; everything after it, later vowels included, is coda.
std::optional<std::array<Text, 3>> decouper_syllabe(TextView syll_phone, const PhonemeSets& sets);
// The same three parts as views into `syll_phone`.
std::optional<std::array<TextView, 3>> decouper_syllabe_views(TextView syll_phone, const PhonemeSets& sets);
std::optional<std::array<TextView, 3>> decouper_syllabe_views(TextView syll_phone,
                                                              const PhonemeClassifier& classifier);

}  // namespace vantro
