// What a piece of grapheme text adds to the silent-letter position penalty.
#pragma once

#include <cstdint>

#include "common/grapheme_marks.hpp"
#include "common/text.hpp"

namespace vantro {

// The penalty walks the concatenated graphemes: every "°" costs the number of
// other characters before it. A piece of text is summed up by how many of
// each kind it holds and what it costs when it starts the concatenation, so
// that pieces can be joined without looking at their characters again.
struct TextCost {
    std::uint32_t plain = 0;    // characters other than "°" ("²" included)
    std::uint32_t marks = 0;    // "°" characters
    std::int64_t penalty = 0;   // cost of its "°" when the text starts at position 0

    // Cost of `this` followed by `tail`.
    void append(const TextCost& tail) noexcept {
        penalty += tail.penalty + static_cast<std::int64_t>(tail.marks) * plain;
        marks += tail.marks;
        plain += tail.plain;
    }
    void append_char(char32_t c) noexcept {
        if (c == SILENT_MARK) {
            penalty += plain;
            ++marks;
        } else {
            ++plain;
        }
    }
    static TextCost of(TextView text) noexcept {
        TextCost t;
        for (char32_t c : text) t.append_char(c);
        return t;
    }
    friend bool operator==(const TextCost&, const TextCost&) = default;
};

}  // namespace vantro
