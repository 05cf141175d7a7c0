// Which of a phoneme's graphemes occur at a given place of a word.
#pragma once

#include <cstdint>
#include <vector>

#include "common/text.hpp"

namespace vantro {

// The graphemes (without "²") of one table entry, merged into a trie so that
// one walk along the word finds every grapheme that occurs there. Only the
// first 64 graphemes are tracked; callers test the others one by one.
class SpellingMatcher {
public:
    static constexpr std::size_t TRACKED = 64;

    SpellingMatcher() = default;
    explicit SpellingMatcher(const std::vector<TextView>& spellings);

    // Bit i set: spelling i is a prefix of `text`.
    std::uint64_t match(const char32_t* text, std::size_t length) const noexcept {
        std::uint64_t found = root_ends_;
        std::uint32_t node = 0;
        for (std::size_t k = 0; k < length; ++k) {
            const char32_t c = text[k];
            const Edge* e = edges_.data() + first_[node];
            const Edge* end = edges_.data() + first_[node + 1];
            while (e != end && e->c != c) ++e;
            if (e == end) break;
            node = e->to;
            found |= ends_[node];
        }
        return found;
    }

private:
    struct Edge {
        char32_t c;
        std::uint32_t to;
    };
    std::uint64_t root_ends_ = 0;        // empty spellings
    std::vector<std::uint32_t> first_ = {0, 0};  // edges of node i: [first_[i], first_[i + 1])
    std::vector<Edge> edges_;
    std::vector<std::uint64_t> ends_ = {0};
};

}  // namespace vantro
