#include "frontend/espeak_output.hpp"

#include "unicode/unicode.hpp"

namespace vantro {

namespace {

inline bool ascii_letter(char32_t c) noexcept { return (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z'); }
inline bool ascii_digit(char32_t c) noexcept { return c >= U'0' && c <= U'9'; }

// Length of a language-switch marker starting at `i` — "(", ASCII letters,
// optionally "-" and ASCII letters or digits, then ")", as in "(en)" or
// "(en-us)" — or 0 when none starts there.
std::size_t marker_length(TextView s, std::size_t i) noexcept {
    if (s[i] != U'(') return 0;
    std::size_t k = i + 1;
    while (k < s.size() && ascii_letter(s[k])) ++k;
    if (k == i + 1) return 0;
    if (k < s.size() && s[k] == U'-') {
        std::size_t m = k + 1;
        while (m < s.size() && (ascii_letter(s[m]) || ascii_digit(s[m]))) ++m;
        if (m > k + 1) k = m;  // a bare "-" is not part of a marker
    }
    if (k < s.size() && s[k] == U')') return k + 1 - i;
    return 0;
}

inline bool dropped(char32_t c) noexcept { return c == U'\u02C8' || c == U'\u02CC' || c == U'-' || c == U' '; }

}  // namespace

Text clean_espeak_output(std::string_view raw_stdout) {
    const Text decoded = from_utf8(raw_stdout);
    const TextView text = unicode::strip(decoded);
    Text out;
    out.reserve(text.size());
    // Markers are found in the stripped text itself, left to right and without
    // overlap, so the characters dropped below can never join a new marker.
    for (std::size_t i = 0; i < text.size();) {
        if (const std::size_t len = marker_length(text, i)) {
            i += len;
            continue;
        }
        if (!dropped(text[i])) out.push_back(text[i]);
        ++i;
    }
    return out;
}

}  // namespace vantro
