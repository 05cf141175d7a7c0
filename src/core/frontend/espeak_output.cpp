#include "frontend/espeak_output.hpp"

#include "frontend/language_marker.hpp"
#include "unicode/unicode.hpp"

namespace vantro {

namespace {

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
        if (const std::size_t len = language_marker_length(text, i)) {
            i += len;
            continue;
        }
        if (!dropped(text[i])) out.push_back(text[i]);
        ++i;
    }
    return out;
}

}  // namespace vantro
