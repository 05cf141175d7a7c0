// Tracks, one appended character at a time, whether a growing grapheme can
// still be spelled exactly like a key of the phoneme table, and whether it
// holds the shared-letter mark: all the ranking needs to know of its text.
#pragma once

#include <cstdint>
#include <vector>

#include "common/text.hpp"

namespace vantro {

class KeyPrefixes {
public:
    using State = std::uint32_t;
    // The empty text.
    static constexpr State ROOT = 0;
    // Not a prefix of any key, no "²" so far.
    static constexpr State DEAD = 0xFFFFFFFEu;
    // Holds a "²": such a grapheme never counts as outside the table.
    static constexpr State SHARED = 0xFFFFFFFFu;

    KeyPrefixes() = default;
    explicit KeyPrefixes(const std::vector<Text>& keys);

    State step(State s, char32_t c) const noexcept;
    State walk(State s, TextView text) const noexcept {
        for (char32_t c : text) {
            if (s == SHARED) break;
            s = step(s, c);
        }
        return s;
    }
    // The text read so far is itself a key.
    bool is_key(State s) const noexcept { return s < terminal_.size() && terminal_[s]; }
    // A finished grapheme in this state is one that is neither a key nor
    // marked as shared.
    bool outside_table(State s) const noexcept { return s != SHARED && !is_key(s); }

private:
    struct Edge {
        char32_t c;
        State to;
    };
    // Edges of node i are edges_[first_[i] .. first_[i + 1]), sorted by character.
    std::vector<std::uint32_t> first_;
    std::vector<Edge> edges_;
    std::vector<bool> terminal_;
};

}  // namespace vantro
