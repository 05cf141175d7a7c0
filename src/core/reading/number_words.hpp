// Numbers left in digits by the tokenizer's reading, said in French words.
#pragma once

#include <optional>

#include "common/text.hpp"

namespace vantro::reading {

// "1998" -> "mille neuf cent quatre-vingt-dix-huit" (ASCII digits only;
// leading zeros are said: "007" -> "zéro zéro sept"). Past the largest
// number the tokenizer spells, digits are said one by one. nullopt when
// `digits` is empty or holds anything else.
std::optional<Text> cardinal_words(TextView digits);

// A formula's reading (as the tokenizer gives it: "8 heures 30", "3,5",
// "moins 5", "12/05/2023") with every number in it said in words: "huit
// heures trente", "trois virgule cinq", "moins cinq", "douze mai deux mille
// vingt-trois"; "1/2" -> "un demi", "1939-1945" -> both numbers, "1 heure"
// -> "une heure". Words are kept; runs of spaces become one space.
Text spell_numbers(TextView lecture);

// True when `s` holds only letters, apostrophes, hyphens and spaces (and at
// least one letter): a reading espeak-ng says word for word.
bool is_word_reading(TextView s) noexcept;

}  // namespace vantro::reading
