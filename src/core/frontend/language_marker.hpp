// espeak-ng's language-switch markers, "(en)" or "(en-us)": one reading of
// their shape for every place that meets them, on code points or UTF-8 bytes.
#pragma once

#include <cstddef>

namespace vantro {

// Length of a marker starting at `i` — "(", ASCII letters, optionally "-" and
// ASCII letters or digits, then ")" — or 0 when none starts there. A bare "-"
// is not part of a marker.
template <class View>
constexpr std::size_t language_marker_length(const View& s, std::size_t i) noexcept {
    using Unit = typename View::value_type;
    const auto letter = [](Unit c) { return (c >= Unit('a') && c <= Unit('z')) || (c >= Unit('A') && c <= Unit('Z')); };
    const auto alnum = [&](Unit c) { return letter(c) || (c >= Unit('0') && c <= Unit('9')); };
    if (i >= s.size() || s[i] != Unit('(')) return 0;
    std::size_t k = i + 1;
    while (k < s.size() && letter(s[k])) ++k;
    if (k == i + 1) return 0;
    if (k < s.size() && s[k] == Unit('-')) {
        std::size_t m = k + 1;
        while (m < s.size() && alnum(s[m])) ++m;
        if (m > k + 1) k = m;
    }
    return k < s.size() && s[k] == Unit(')') ? k + 1 - i : 0;
}

}  // namespace vantro
