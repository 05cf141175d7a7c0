// How the words of a reading group are laid out for a single alignment.
#pragma once

#include "common/text.hpp"

namespace vantro {

struct GroupWord {
    Text text;               // written text of the word
    std::int64_t span_start; // where it starts in the caller's text
};

// The written form a group of several words is aligned as: the words' texts
// with nothing between them, the offsets where each word but the last ends
// in it, and for each of its characters the position in the caller's text.
struct GroupAlignmentText {
    Text text;
    std::vector<std::int64_t> word_boundaries;
    std::vector<std::int64_t> char_map;
};
GroupAlignmentText build_group_alignment_text(const std::vector<GroupWord>& words);

// A span of the alignment text, moved into the caller's text: it starts on
// its first letter and ends just after its last one, whatever lies between
// the words there. A start or end past the letters (an end of 0 included)
// falls just after the group's last letter. A negative start counts from the
// end of the letters (std::out_of_range below the first). Positions beyond
// 64 bits throw std::overflow_error, here and in build_group_alignment_text.
Span map_group_span(Span span, const std::vector<std::int64_t>& char_map);

}  // namespace vantro
