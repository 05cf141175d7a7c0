// Numbers written out in French words, for what a phonemizer reads badly
// from digits (ordinals: 2e, XIXe) and for roman numerals.
#pragma once

#include <cstdint>
#include <optional>

#include "common/text.hpp"

namespace vantro::text {

// Largest number spelled out: 999 999 999 999.
constexpr std::uint64_t kMaxSpelled = 999'999'999'999ull;

// 21 -> "vingt et un", 80 -> "quatre-vingts", 200 000 -> "deux cent mille".
// Traditional spelling (hyphens below a hundred). nullopt above kMaxSpelled.
std::optional<Text> cardinal_words(std::uint64_t n);

// 2 -> "deuxième", 21 -> "vingt et unième"; 1 -> "premier" or "première".
// nullopt above kMaxSpelled.
std::optional<Text> ordinal_words(std::uint64_t n, bool feminine);

// The value of a roman numeral in upper case and in canonical form
// (XIV, MCMXCVIII), or nullopt.
std::optional<std::uint64_t> roman_value(TextView s);

}  // namespace vantro::text
