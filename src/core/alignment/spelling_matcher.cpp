#include "alignment/spelling_matcher.hpp"

#include <map>

namespace vantro {

SpellingMatcher::SpellingMatcher(const std::vector<TextView>& spellings) {
    std::vector<std::map<char32_t, std::uint32_t>> children(1);
    std::vector<std::uint64_t> ends(1, 0);
    for (std::size_t i = 0; i < spellings.size() && i < TRACKED; ++i) {
        std::uint32_t node = 0;
        for (char32_t c : spellings[i]) {
            auto [it, fresh] = children[node].try_emplace(c, static_cast<std::uint32_t>(children.size()));
            if (fresh) {
                children.emplace_back();
                ends.push_back(0);
            }
            node = it->second;
        }
        ends[node] |= std::uint64_t{1} << i;
    }
    root_ends_ = ends[0];
    first_.clear();
    for (const auto& edges : children) {
        first_.push_back(static_cast<std::uint32_t>(edges_.size()));
        for (const auto& [c, to] : edges) edges_.push_back(Edge{c, to});
    }
    first_.push_back(static_cast<std::uint32_t>(edges_.size()));
    ends_ = std::move(ends);
}

}  // namespace vantro
