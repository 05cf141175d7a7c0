#include "alignment/key_prefixes.hpp"

#include <algorithm>
#include <map>

#include "common/grapheme_marks.hpp"

namespace vantro {

KeyPrefixes::KeyPrefixes(const std::vector<Text>& keys) {
    // Built as an ordinary trie first, then flattened for cache-friendly steps.
    std::vector<std::map<char32_t, State>> children(1);
    std::vector<bool> terminal(1, false);
    for (const Text& key : keys) {
        State s = ROOT;
        for (char32_t c : key) {
            auto it = children[s].find(c);
            if (it == children[s].end()) {
                const State next = static_cast<State>(children.size());
                children[s].emplace(c, next);
                children.emplace_back();
                terminal.push_back(false);
                s = next;
            } else {
                s = it->second;
            }
        }
        terminal[s] = true;
    }
    first_.reserve(children.size() + 1);
    for (const auto& edges : children) {
        first_.push_back(static_cast<std::uint32_t>(edges_.size()));
        for (const auto& [c, to] : edges) edges_.push_back(Edge{c, to});
    }
    first_.push_back(static_cast<std::uint32_t>(edges_.size()));
    terminal_ = std::move(terminal);
}

KeyPrefixes::State KeyPrefixes::step(State s, char32_t c) const noexcept {
    if (s == SHARED || c == SHARED_MARK) return SHARED;
    if (s == DEAD || first_.empty()) return DEAD;
    const Edge* b = edges_.data() + first_[s];
    const Edge* e = edges_.data() + first_[s + 1];
    for (const Edge* p = b; p != e; ++p) {
        if (p->c == c) return p->to;
        if (p->c > c) break;
    }
    return DEAD;
}

}  // namespace vantro
