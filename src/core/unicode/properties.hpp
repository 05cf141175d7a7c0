// Per-code-point properties behind NFC and the text tokenizer, with the
// answers of Python 3.11's unicodedata (Unicode 14.0).
#pragma once

#include <cstdint>

#include "common/text.hpp"

namespace vantro::unicode {

// unicodedata.category, in the generator's order (gen_unicode_tables.py).
enum class Category : std::uint8_t {
    Cn, Lu, Ll, Lt, Lm, Lo, Mn, Mc, Me, Nd, Nl, No, Pc, Pd, Ps, Pe,
    Pi, Pf, Po, Sm, Sc, Sk, So, Zs, Zl, Zp, Cc, Cf, Cs, Co,
};
Category category(char32_t c) noexcept;

inline bool is_letter(Category g) noexcept { return g >= Category::Lu && g <= Category::Lo; }
inline bool is_mark(Category g) noexcept { return g >= Category::Mn && g <= Category::Me; }
inline bool is_number(Category g) noexcept { return g >= Category::Nd && g <= Category::No; }
inline bool is_punctuation(Category g) noexcept { return g >= Category::Pc && g <= Category::Po; }
inline bool is_symbol(Category g) noexcept { return g >= Category::Sm && g <= Category::So; }

// unicodedata.combining.
std::uint8_t combining_class(char32_t c) noexcept;

enum class QuickCheck : std::uint8_t { Yes = 0, Maybe = 1, No = 2 };
// NFC_Quick_Check: No never occurs in NFC; Maybe may combine with what precedes.
QuickCheck nfc_quick_check(char32_t c) noexcept;

// Appends the full canonical decomposition of `c` (c itself when it has none).
void append_decomposition(Text& out, char32_t c);

// The primary composite of `first` + `second`, or 0 when they do not compose.
char32_t compose(char32_t first, char32_t second) noexcept;

}  // namespace vantro::unicode
