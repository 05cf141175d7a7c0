// Character offsets moved by an amount that comes from the caller: the sum
// must not wrap around.
#pragma once

#include <cstdint>
#include <stdexcept>

namespace vantro {

// a + b; std::overflow_error when the sum does not fit in 64 bits.
inline std::int64_t add_offset(std::int64_t a, std::int64_t b) {
    std::int64_t sum;
    if (__builtin_add_overflow(a, b, &sum)) throw std::overflow_error("character offset beyond the 64-bit range");
    return sum;
}

}  // namespace vantro
