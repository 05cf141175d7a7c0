// The written form as the segmentation search reads it, prepared once per call.
#pragma once

#include <cstdint>
#include <vector>

#include "alignment/text_cost.hpp"
#include "common/text.hpp"

namespace vantro::detail {

struct SearchWord {
    enum Flag : std::uint8_t {
        IGNORED = 1,         // a character without sound
        MAY_BE_SILENT = 2,   // its lower case is in the silent-letter set
        LOWER_H = 4,         // its lower case is "h"
        LOWER_E_OR_S = 8,    // its lower case is "e" or "s"
        WORD_END = 16,       // one of the last two characters of a word of the group
        SOFTENING_E = 32,    // an "e" between "g" or "c" and "a", "o" or "u"
    };

    TextView orig;    // as given: the case rebuild and silent letters copy from it
    Text norm;        // lower case: graphemes are matched against it
    std::uint32_t size = 0;  // characters of `orig`
    std::vector<std::uint8_t> flags;  // per character of `orig`
    // The characters from a position p (up to `size`) to the end, written
    // as silent letters after the last grapheme.
    struct Tail {
        TextCost cost;
        bool silent = true;   // all of them may be silent
        bool shared = false;  // one of them is a "²"
    };
    // Worked out from the end on first request: the search ends its
    // spellings near the end of the word, so most positions never ask.
    const Tail& tail(std::uint32_t pos) const noexcept {
        while (tails_from_ > pos) extend_tails();
        return tails_[pos];
    }

    void prepare(TextView ortho, const TextSet& silent_letters,
                 const std::vector<std::int64_t>* word_boundaries);

    bool has(std::uint32_t pos, Flag f) const noexcept { return (flags[pos] & f) != 0; }
    bool ignored(std::uint32_t pos) const noexcept { return pos < size && (flags[pos] & IGNORED) != 0; }
    // `piece` occurs in the lower-cased form at `pos`.
    bool matches(std::uint32_t pos, TextView piece) const noexcept {
        return pos <= norm.size() && norm.size() - pos >= piece.size() &&
               TextView(norm).substr(pos, piece.size()) == piece;
    }

private:
    void extend_tails() const noexcept;

    mutable std::vector<Tail> tails_;
    mutable std::uint32_t tails_from_ = 0;  // tails_[p] is known for p >= this
};

}  // namespace vantro::detail
