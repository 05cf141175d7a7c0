// The small word tables of the tokenizer: fixed arrays of lower-case forms.
#pragma once

#include <array>
#include <cstddef>

#include "common/text.hpp"

namespace vantro::text {

template <std::size_t N>
using WordTable = std::array<TextView, N>;

template <std::size_t N>
constexpr bool in_table(const WordTable<N>& table, TextView word) noexcept {
    for (TextView entry : table)
        if (entry == word) return true;
    return false;
}

}  // namespace vantro::text
