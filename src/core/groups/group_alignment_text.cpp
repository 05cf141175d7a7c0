#include "groups/group_alignment_text.hpp"

#include "common/offsets.hpp"

namespace vantro {

GroupAlignmentText build_group_alignment_text(const std::vector<GroupWord>& words) {
    GroupAlignmentText out;
    std::size_t total = 0;
    for (const GroupWord& w : words) total += w.text.size();
    out.text.reserve(total);
    out.char_map.reserve(total);
    out.word_boundaries.reserve(words.empty() ? 0 : words.size() - 1);

    for (std::size_t i = 0; i < words.size(); ++i) {
        const GroupWord& w = words[i];
        out.text.append(w.text);
        for (std::size_t k = 0; k < w.text.size(); ++k)
            out.char_map.push_back(add_offset(w.span_start, static_cast<std::int64_t>(k)));
        if (i + 1 < words.size()) out.word_boundaries.push_back(static_cast<std::int64_t>(out.text.size()));
    }
    return out;
}

Span map_group_span(Span span, const std::vector<std::int64_t>& char_map) {
    const auto n = static_cast<std::int64_t>(char_map.size());
    Span out = span;
    if (span.start < n)
        out.start = char_map.at(static_cast<std::size_t>(span.start >= 0 ? span.start : span.start + n));
    else if (n > 0)
        out.start = add_offset(char_map.back(), 1);
    if (span.end > 0 && span.end <= n)
        out.end = add_offset(char_map[static_cast<std::size_t>(span.end - 1)], 1);
    else if (n > 0)
        out.end = add_offset(char_map.back(), 1);
    return out;
}

}  // namespace vantro
