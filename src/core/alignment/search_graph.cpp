#include "alignment/search_graph.hpp"

#include <limits>

namespace vantro::detail {

namespace {

constexpr std::uint32_t NO_NODE = 0xFFFFFFFFu;
constexpr std::int32_t UNREACHABLE = std::numeric_limits<std::int32_t>::max();

}  // namespace

void SearchGraph::reset(const SearchWord& word, const CompiledTable& table, bool exact_levels,
                        bool shared_may_follow) {
    shared_may_follow_ = shared_may_follow;
    word_ = &word;
    table_ = &table;
    prefixes_ = &table.key_prefixes();
    exact_levels_ = exact_levels;
    max_key_length_ = table.max_key_length();
    slots_.clear();
    nodes_.clear();
    kept_ = 0;
    winner_root_ = 0;
    frames_.clear();
    pending_.clear();
    pending_.emplace_back();  // the empty text
}

std::uint32_t SearchGraph::add_grouping(const std::vector<GroupElement>& elements) {
    const auto& entries = table_->entries();
    auto splits = [&](const GroupElement& e) {
        return e.entry != CompiledTable::NONE && entries[e.entry].tokens.size() >= 2;
    };
    const auto base = static_cast<std::uint32_t>(slots_.size());
    slot_of_element_.resize(elements.size() + 1);
    std::uint32_t idx = base;
    for (std::size_t j = 0; j < elements.size(); ++j) {
        slot_of_element_[j] = idx;
        idx += 1 + (splits(elements[j]) ? static_cast<std::uint32_t>(entries[elements[j].entry].tokens.size()) : 0);
    }
    slot_of_element_[elements.size()] = idx;
    slots_.resize(idx + 1);

    auto set_candidates = [&](Slot& s, std::uint32_t entry) {
        if (entry == CompiledTable::NONE) return;
        const CompiledTable::Entry& e = entries[entry];
        s.entry = &e;
        s.candidates = e.graphemes.data();
        s.first_letters = e.first_letters.data();
        s.n_candidates = static_cast<std::uint32_t>(e.graphemes.size());
    };
    for (std::size_t j = 0; j < elements.size(); ++j) {
        const std::uint32_t at = slot_of_element_[j];
        const std::uint32_t after = slot_of_element_[j + 1];
        Slot& u = slots_[at];
        u.element = elements[j].text;
        set_candidates(u, elements[j].entry);
        u.next = after;
        u.has_graphemes = j > 0;
        if (!splits(elements[j])) continue;
        const CompiledTable::Entry& e = entries[elements[j].entry];
        const auto n_tokens = static_cast<std::uint32_t>(e.tokens.size());
        u.can_split = true;
        u.split_to = at + 1;
        u.split_extra = n_tokens - 1;
        for (std::uint32_t o = 0; o < n_tokens; ++o) {
            Slot& s = slots_[at + 1 + o];
            s.element = e.tokens[o];
            set_candidates(s, e.token_entries[o]);
            s.next = o + 1 < n_tokens ? at + 2 + o : after;
            s.has_graphemes = j > 0 || o > 0;
        }
    }
    Slot& end = slots_[idx];
    end.is_end = true;
    end.has_graphemes = true;

    index_base_ = base;
    index_width_ = static_cast<std::uint32_t>(word_->norm.size()) + 1;
    index_.assign(static_cast<std::size_t>(idx + 1 - base) * index_width_, NO_NODE);
    return base;
}

bool SearchGraph::candidate_matches(const Slot& slot, std::uint32_t i, std::uint32_t pos) const noexcept {
    const char32_t first = slot.first_letters[i];
    if (first != 0 && (pos >= word_->norm.size() || word_->norm[pos] != first)) return false;
    return word_->matches(pos, slot.candidates[i].norm);
}

std::uint32_t SearchGraph::grow_pending(std::uint32_t pending, char32_t letter) {
    for (std::uint32_t c = pending_[pending].first_child; c != 0; c = pending_[c].next_sibling) {
        if (pending_[c].letter == letter) return c;
    }
    Pending p;
    const Pending& base = pending_[pending];
    p.letter = letter;
    p.cost = base.cost;
    p.cost.append_char(letter);
    p.cost.append_char(SILENT_MARK);
    p.shared = base.shared || letter == SHARED_MARK;
    p.long_text = base.long_text || base.text.size() + 2 > max_key_length_;
    if (!p.long_text) {
        p.text = base.text;
        p.text.push_back(letter);
        p.text.push_back(SILENT_MARK);
        p.from_root = prefixes_->walk(KeyPrefixes::ROOT, p.text);
    } else {
        p.from_root = p.shared ? KeyPrefixes::SHARED : KeyPrefixes::DEAD;
    }
    const auto id = static_cast<std::uint32_t>(pending_.size());
    p.next_sibling = pending_[pending].first_child;
    pending_.push_back(std::move(p));
    pending_[pending].first_child = id;
    return id;
}

KeyPrefixes::State SearchGraph::append_pending(State last, const Pending& p) const {
    if (last == SETTLED) return SETTLED;
    if (p.long_text) return (last == KeyPrefixes::SHARED || p.shared) ? KeyPrefixes::SHARED : KeyPrefixes::DEAD;
    return prefixes_->walk(last, p.text);
}

// Characters without sound after an arrival: they go to the last grapheme,
// or nowhere before the first one.
void SearchGraph::settle(Move& mv, std::uint32_t from_level) const {
    mv.arrival = mv.to.pos;
    if (word_->ignored(mv.to.pos)) step_over_unsounded(mv);
    mv.to.level = exact_levels_ ? from_level + mv.gain.placed.plain : 0;
    settle_standing(mv.to.last, mv.gain);
}

void SearchGraph::step_over_unsounded(Move& mv) const {
    const bool has_graphemes = slots_[mv.to.slot].has_graphemes;
    while (word_->ignored(mv.to.pos)) {
        if (has_graphemes) {
            const char32_t c = word_->orig[mv.to.pos];
            mv.gain.placed.append_char(c);
            mv.to.last = grow_last(mv.to.last, c);
        }
        ++mv.to.pos;
    }
}

// The moves of a state, in the order the depth-first search tries them:
// each candidate grapheme that occurs here, the split of a compound
// element, a silent letter where nothing can be read (or a softening e),
// a silent final e or s at a word end.
std::uint32_t SearchGraph::next_choice(const Frame& f, const Slot& slot) const noexcept {
    const std::uint32_t nc = slot.n_candidates;
    std::uint32_t c = f.choice;
    if (c < nc) {
        if (c < SpellingMatcher::TRACKED) {
            const std::uint64_t rest = f.matching & (~std::uint64_t{0} << c);
            if (rest != 0) return static_cast<std::uint32_t>(__builtin_ctzll(rest));
            c = nc < SpellingMatcher::TRACKED ? nc : static_cast<std::uint32_t>(SpellingMatcher::TRACKED);
        }
        for (; c < nc; ++c) {
            if (candidate_matches(slot, c, f.key.pos)) return c;
        }
    }
    const unsigned rest = static_cast<unsigned>(f.specials) >> (c - nc);
    return rest != 0 ? c + static_cast<std::uint32_t>(__builtin_ctz(rest)) : nc + 3;
}

void SearchGraph::make_move(const StateKey& from, const Slot& slot, std::uint32_t choice, Move& mv) {
    const std::uint32_t nc = slot.n_candidates;
    const std::uint32_t pos = from.pos;
    mv.to = from;
    Gain& gain = mv.gain;
    gain = Gain{};
    if (choice < nc) {
        const Grapheme& g = slot.candidates[choice];
        gain.finished_outside = slot.has_graphemes ? outside(from.last) : 0;
        if (from.pending == 0) {
            gain.placed = g.cost;
            mv.to.last = g.prefix;
        } else {
            const Pending& p = pending_[from.pending];
            gain.placed = p.cost;
            gain.placed.append(g.cost);
            mv.to.last = prefixes_->walk(p.from_root, g.raw);
        }
        mv.to.pending = 0;
        mv.to.slot = slot.next;
        mv.to.pos = pos + static_cast<std::uint32_t>(g.norm.size());
    } else if (choice == nc) {
        mv.to.slot = slot.split_to;
        gain.extra = static_cast<std::int32_t>(slot.split_extra);
    } else {
        const char32_t letter = word_->orig[pos];
        gain.silent = 1;
        if ((choice == nc + 1 && word_->has(pos, SearchWord::LOWER_H)) || !slot.has_graphemes) {
            // A silent h waits for the grapheme after it; so does anything
            // silent before the first grapheme.
            mv.to.pending = grow_pending(from.pending, letter);
        } else {
            gain.placed.append_char(letter);
            gain.placed.append_char(SILENT_MARK);
            mv.to.last = grow_last(grow_last(from.last, letter), SILENT_MARK);
        }
        mv.to.pos = pos + 1;
    }
    settle(mv, from.level);
}

// End of the elements: waiting silent letters, then every letter left, go
// to the last grapheme; a letter left that may not be silent is a dead end.
SearchGraph::Value SearchGraph::finish(const StateKey& key) const {
    const SearchWord& w = *word_;
    if (key.pos < w.size && !w.tail(key.pos).silent) return Value{UNREACHABLE, 0, 0, 0, 0};
    const Pending& p = pending_[key.pending];
    TextCost placed = p.cost;
    State last = append_pending(key.last, p);
    std::int32_t muettes = 0;
    if (key.pos < w.size) {
        placed.append(w.tail(key.pos).cost);
        muettes = static_cast<std::int32_t>(w.size - key.pos);
        for (std::uint32_t k = key.pos; k < w.size && last != KeyPrefixes::SHARED && last != SETTLED; ++k) {
            if (last == KeyPrefixes::DEAD) {
                last = w.tail(k).shared ? KeyPrefixes::SHARED : KeyPrefixes::DEAD;
                break;
            }
            last = prefixes_->step(prefixes_->step(last, w.orig[k]), SILENT_MARK);
        }
    }
    return Value{muettes, static_cast<std::int32_t>(placed.marks), placed.penalty,
                 outside(last), 0};
}

void SearchGraph::offer(std::uint32_t node, std::uint32_t choice, std::uint32_t child, const Gain& gain) {
    const Value& c = nodes_[child].value;
    if (c.muettes == UNREACHABLE) return;
    const Value v{gain.silent + c.muettes, static_cast<std::int32_t>(gain.placed.marks) + c.marks,
                  gain.placed.penalty + static_cast<std::int64_t>(c.marks) * gain.placed.plain + c.penalty,
                  gain.finished_outside + c.outside, gain.extra + c.extra};
    Node& n = nodes_[node];
    const Value& b = n.value;
    bool better = b.muettes == UNREACHABLE;
    if (!better) {
        // Both ways on from here see the same number L of characters placed
        // before them; with equal silent letters and no silent mark from
        // elsewhere they also place equally many marks, so L cancels out
        // and is kept in the state (as `level`) only otherwise.
        const std::int64_t level = n.key.level;
        const std::int64_t pv = v.penalty + level * v.marks;
        const std::int64_t pb = b.penalty + level * b.marks;
        if (v.muettes != b.muettes) better = v.muettes < b.muettes;
        else if (pv != pb) better = pv < pb;
        else if (v.outside != b.outside) better = v.outside < b.outside;
        else better = v.extra < b.extra;
    }
    if (better) {
        n.value = v;
        n.best = choice;
        n.best_child = child;
    }
}

std::uint64_t SearchGraph::matching_candidates(const Slot& slot, std::uint32_t pos, bool& beyond) const noexcept {
    beyond = false;
    if (slot.entry == nullptr) return 0;
    const Text& norm = word_->norm;
    const std::uint64_t found = slot.entry->spellings.match(norm.data() + pos, norm.size() - pos);
    for (std::uint32_t i = SpellingMatcher::TRACKED; i < slot.n_candidates && !beyond; ++i) beyond = candidate_matches(slot, i, pos);
    return found;
}

void SearchGraph::push_frame(std::uint32_t node) {
    Frame f{};
    f.key = nodes_[node].key;
    f.node = node;
    f.waiting = NO_NODE;
    const Slot& slot = slots_[f.key.slot];
    const std::uint32_t pos = f.key.pos;
    bool beyond = false;
    f.matching = matching_candidates(slot, pos, beyond);
    const bool possible = f.matching != 0 || beyond;
    // The moves after the graphemes, as bits: split, silent letter, silent
    // final e or s at a word end.
    const SearchWord& w = *word_;
    if (slot.can_split && !possible) f.specials |= 1;
    if (pos < w.size && (!possible || w.has(pos, SearchWord::SOFTENING_E)) && w.has(pos, SearchWord::MAY_BE_SILENT))
        f.specials |= 2;
    if (pos < w.size && possible && w.has(pos, SearchWord::WORD_END) && w.has(pos, SearchWord::LOWER_E_OR_S))
        f.specials |= 4;
    frames_.push_back(f);
}

void SearchGraph::evaluate(std::uint32_t root) {
    if (slots_[nodes_[root].key.slot].is_end) {
        nodes_[root].value = finish(nodes_[root].key);
        return;
    }
    frames_.clear();
    push_frame(root);
    while (!frames_.empty()) {
        const std::size_t top = frames_.size() - 1;
        if (frames_[top].waiting != NO_NODE) {
            Frame& f = frames_[top];
            offer(f.node, f.waiting_choice, f.waiting, f.gain);
            f.waiting = NO_NODE;
        }
        bool descended = false;
        for (;;) {
            Frame& f = frames_[top];
            const Slot& slot = slots_[f.key.slot];
            const std::uint32_t choice = next_choice(f, slot);
            if (choice > slot.n_candidates + 2) break;
            f.choice = choice + 1;
            Move mv;
            make_move(f.key, slot, choice, mv);
            bool fresh = false;
            const std::uint32_t child = find_or_add(mv.to, fresh);
            if (fresh && slots_[mv.to.slot].is_end) {
                nodes_[child].value = finish(mv.to);
                fresh = false;
            }
            if (!fresh) {
                // Every state reached again is already solved: a move always
                // advances in the word or in the elements, so no state lies
                // below itself.
                offer(frames_[top].node, choice, child, mv.gain);
                continue;
            }
            f.waiting = child;
            f.waiting_choice = choice;
            f.gain = mv.gain;
            push_frame(child);
            descended = true;
            break;
        }
        if (!descended) frames_.pop_back();
    }
}

bool SearchGraph::solve(std::uint32_t start, std::size_t n_elements, std::optional<Score>& best) {
    Move mv;
    mv.to = StateKey{start, 0, KeyPrefixes::ROOT, 0, 0};
    settle(mv, 0);
    bool fresh = false;
    const std::uint32_t root = find_or_add(mv.to, fresh);
    evaluate(root);
    const Value& v = nodes_[root].value;
    // Nothing is placed before the start, so L is 0 there.
    const Score score{v.muettes, v.penalty, v.outside, static_cast<std::int64_t>(n_elements) + v.extra};
    if (v.muettes == UNREACHABLE || (best && !(score < *best))) {
        nodes_.resize(kept_);
        return false;
    }
    best = score;
    winner_root_ = root - kept_;
    keep_last_states();
    return true;
}

void SearchGraph::keep_last_states() {
    const std::uint32_t shift = kept_;
    if (shift > 0) {
        auto moved = [shift](std::uint32_t n) { return n == NO_NODE ? n : n - shift; };
        for (std::size_t i = shift; i < nodes_.size(); ++i) {
            Node& n = nodes_[i];
            n.next = moved(n.next);
            n.best_child = moved(n.best_child);
            nodes_[i - shift] = n;
        }
        nodes_.resize(nodes_.size() - shift);
    }
    kept_ = static_cast<std::uint32_t>(nodes_.size());
}

void SearchGraph::spell(std::vector<TextView>& align_ph, std::vector<Text>& align_gr) {
    const SearchWord& w = *word_;
    Text pending;
    std::uint32_t node_id = winner_root_;
    // Each state's best move leads to a state whose key is where the move
    // arrives: the moves need not be made again.
    for (;;) {
        const StateKey& key = nodes_[node_id].key;
        const Slot& slot = slots_[key.slot];
        if (slot.is_end) {
            Text& last = align_gr.back();
            last += pending;
            for (std::uint32_t k = key.pos; k < w.size; ++k) {
                last.push_back(w.orig[k]);
                last.push_back(SILENT_MARK);
            }
            return;
        }
        const Node& node = nodes_[node_id];
        const StateKey& to = nodes_[node.best_child].key;
        const std::uint32_t choice = node.best;
        const std::uint32_t nc = slot.n_candidates;
        // Where the move ends before the characters without sound after it.
        std::uint32_t arrival = key.pos;
        if (choice < nc) {
            const Grapheme& g = slot.candidates[choice];
            align_ph.push_back(slot.element);
            align_gr.emplace_back(pending);
            align_gr.back() += g.raw;
            pending.clear();
            arrival += static_cast<std::uint32_t>(g.norm.size());
        } else if (choice > nc) {
            const char32_t letter = w.orig[key.pos];
            if (to.pending != key.pending) {
                pending.push_back(letter);
                pending.push_back(SILENT_MARK);
            } else {
                align_gr.back().push_back(letter);
                align_gr.back().push_back(SILENT_MARK);
            }
            arrival += 1;
        }
        if (slots_[to.slot].has_graphemes) {
            for (std::uint32_t k = arrival; k < to.pos; ++k) align_gr.back().push_back(w.orig[k]);
        }
        node_id = node.best_child;
    }
}

void SearchGraph::release_large_buffers() {
    constexpr std::size_t KEEP = std::size_t{1} << 14;
    if (nodes_.capacity() > KEEP) std::vector<Node>().swap(nodes_);
    if (index_.capacity() > KEEP) std::vector<std::uint32_t>().swap(index_);
    if (frames_.capacity() > KEEP) std::vector<Frame>().swap(frames_);
    if (pending_.capacity() > KEEP) std::vector<Pending>().swap(pending_);
    if (slots_.capacity() > KEEP) std::vector<Slot>().swap(slots_);
}

std::uint32_t SearchGraph::find_or_add(const StateKey& key, bool& fresh) {
    std::uint32_t& head = index_[static_cast<std::size_t>(key.slot - index_base_) * index_width_ + key.pos];
    for (std::uint32_t n = head; n != NO_NODE; n = nodes_[n].next) {
        if (nodes_[n].key == key) {
            fresh = false;
            return n;
        }
    }
    const auto id = static_cast<std::uint32_t>(nodes_.size());
    nodes_.push_back(Node{key, head, NO_NODE, NO_NODE, Value{UNREACHABLE, 0, 0, 0, 0}});
    head = id;
    fresh = true;
    return id;
}

}  // namespace vantro::detail
