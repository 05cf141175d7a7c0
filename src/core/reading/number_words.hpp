// Numbers written in digits, said in French words.
#pragma once

#include <optional>

#include "common/text.hpp"

namespace vantro::reading {

// "1998" -> "mille neuf cent quatre-vingt-dix-huit" (digits only; leading
// zeros are said: "007" -> "zéro zéro sept"). Traditional spelling: hyphens
// below one hundred, "et" in 21, 31 ... 71, the plural of "vingts" and
// "cents" when they end the number. More than 18 digits are said one by one.
// nullopt when `digits` is empty or holds anything but ASCII digits.
std::optional<Text> cardinal_words(TextView digits);

// The ordinal of a cardinal in words: "un" -> "premier" (or "première"),
// "vingt et un" -> "vingt et unième", "cinq" -> "cinquième".
Text ordinal_words(TextView cardinal, bool feminine);

// The reading of a formula token with every number in it said in words:
// "8 heures 30" -> "huit heures trente", "3,5" -> "trois virgule cinq",
// "1er" -> "premier", "XIXe" -> "dix-neuvième", "-5" -> "moins cinq",
// "1 000" -> "mille", "1 heure" -> "une heure", "1/2" -> "un demi", and the
// signs said as words ("%" -> "pour cent"). Words are kept; runs of spaces
// become one space.
Text spell_numbers(TextView lecture);

// True when `s` holds only letters, apostrophes, hyphens and spaces: a
// reading espeak-ng can say word for word.
bool is_word_reading(TextView s) noexcept;

}  // namespace vantro::reading
