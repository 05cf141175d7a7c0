// The alignment search seen as a graph of states.
//
// A depth-first search over spellings revisits the same situation along
// many paths. What the rest of a spelling can do, and what it adds to the
// ranking key, depends only on a small state: the remaining elements, the
// position in the word, the silent letters waiting for the next grapheme,
// what the last grapheme's text can still become (a key of the table, or
// not), and, only when silent marks can come from elsewhere than silent
// letters, the number of characters placed so far. The best way to finish
// is therefore computed once per state (bottom-up, explicit stack), and the
// winning alignment is spelled by walking from the start along the first
// best move of each state: that is the first alignment with the best key in
// the order of the depth-first search.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "alignment/groupings.hpp"
#include "alignment/phone_table.hpp"
#include "alignment/search_word.hpp"
#include "alignment/text_cost.hpp"

namespace vantro::detail {

// Ranking key of a complete alignment, compared element by element.
struct Score {
    std::int64_t muettes = 0;
    std::int64_t penalty = 0;
    std::int64_t outside = 0;    // graphemes neither a key nor marked "²"
    std::int64_t graphemes = 0;
    friend auto operator<=>(const Score&, const Score&) = default;
};

class SearchGraph {
public:
    // `exact_levels`: silent marks may come from table graphemes or be
    // silent letters themselves, so the number of characters placed so far
    // becomes part of the state. `shared_may_follow`: a "²" may be a silent
    // letter, so a grapheme may gain one after it was placed.
    void reset(const SearchWord& word, const CompiledTable& table, bool exact_levels, bool shared_may_follow);
    // Lays out the states of one grouping; returns its start.
    std::uint32_t add_grouping(const std::vector<GroupElement>& elements);
    // Solves the grouping laid out last, which starts at `start`. When it
    // has an alignment whose key is smaller than `best` (or `best` is empty),
    // it becomes the winner, `best` takes its key and true is returned; only
    // the winner's states are kept.
    bool solve(std::uint32_t start, std::size_t n_elements, std::optional<Score>& best);
    // The winner's first alignment with the best key; graphemes in the lower
    // case of the table, silent letters as written.
    void spell(std::vector<TextView>& align_ph, std::vector<Text>& align_gr);

    std::size_t state_count() const noexcept { return nodes_.size(); }
    // Gives back the memory of an unusually large search.
    void release_large_buffers();

private:
    using Grapheme = CompiledTable::Grapheme;
    using State = KeyPrefixes::State;
    // A last grapheme whose standing (in the table or not) can no longer
    // change and has been counted already: states that differ only there
    // have the same future.
    static constexpr State SETTLED = 0xFFFFFFFDu;

    // Where in the (possibly split) element list the search stands.
    struct Slot {
        const CompiledTable::Entry* entry = nullptr;  // the element's entry, if it is a key
        const Grapheme* candidates = nullptr;
        const char32_t* first_letters = nullptr;
        std::uint32_t n_candidates = 0;
        TextView element;
        std::uint32_t next = 0;           // slot once this element is spelled
        std::uint32_t split_to = 0;       // first token's slot, when the element may split
        std::uint32_t split_extra = 0;    // graphemes a split adds
        bool can_split = false;
        bool has_graphemes = false;       // a grapheme was placed before this slot
        bool is_end = false;
    };

    // Silent letters waiting for the next grapheme, shared as a tree of
    // texts: the same letters in the same order are the same pending text.
    struct Pending {
        char32_t letter = 0;             // the last silent letter added
        std::uint32_t first_child = 0;   // 0: none (the empty text is never a child)
        std::uint32_t next_sibling = 0;
        bool long_text = false;          // longer than any key
        bool shared = false;             // holds a "²"
        Text text;                       // kept while it is not long
        TextCost cost;
        State from_root = KeyPrefixes::ROOT;
    };

    struct StateKey {
        std::uint32_t slot;
        std::uint32_t pos;
        State last;           // the last grapheme's text as far as it matters
        std::uint32_t pending;
        std::uint32_t level;  // characters placed so far, when `exact_levels`
        friend bool operator==(const StateKey&, const StateKey&) = default;
    };

    // What the best way to finish adds to the key, counted from the state:
    // its "°" cost `marks * L + penalty` where L is the number of characters
    // placed before the state.
    struct Value {
        std::int32_t muettes;
        std::int32_t marks;
        std::int64_t penalty;
        std::int32_t outside;
        std::int32_t extra;
    };

    struct Node {
        StateKey key;
        std::uint32_t next;        // another state at the same slot and position
        std::uint32_t best;        // first move reaching `value`
        std::uint32_t best_child;  // the state it leads to
        Value value;
    };

    // What a move adds to the key.
    struct Gain {
        TextCost placed;  // characters added to the graphemes, in order
        std::int32_t silent = 0;
        std::int32_t finished_outside = 0;  // graphemes whose standing became known
        std::int32_t extra = 0;
    };

    struct Move {
        StateKey to;
        Gain gain;
        std::uint32_t arrival = 0;  // position before characters without sound
    };

    struct Frame {
        std::uint64_t matching;  // candidates below 64 that occur here
        StateKey key;
        std::uint32_t node;
        std::uint32_t choice;    // next move to try
        std::uint32_t waiting;   // state being solved below, or none
        std::uint32_t waiting_choice;
        std::uint8_t specials;   // the other moves that apply (see push_frame)
        Gain gain;               // of the move to `waiting`
    };

    // Bit i: candidate i occurs at `pos` (candidates from 64 on are tested one by one).
    std::uint64_t matching_candidates(const Slot& slot, std::uint32_t pos, bool& beyond) const noexcept;
    // The first move from `f.choice` on that applies, or past the last move.
    std::uint32_t next_choice(const Frame& f, const Slot& slot) const noexcept;
    bool candidate_matches(const Slot& slot, std::uint32_t i, std::uint32_t pos) const noexcept;
    // Makes a move known to apply.
    void make_move(const StateKey& from, const Slot& slot, std::uint32_t choice, Move& mv);
    void settle(Move& mv, std::uint32_t from_level) const;
    void step_over_unsounded(Move& mv) const;
    State grow_last(State last, char32_t c) const noexcept {
        return last == SETTLED ? SETTLED : prefixes_->step(last, c);
    }
    // Graphemes of the last one's standing still to be counted as outside the table.
    std::int32_t outside(State last) const noexcept {
        return last != SETTLED && prefixes_->outside_table(last) ? 1 : 0;
    }
    void settle_standing(State& last, Gain& gain) const noexcept {
        if (!shared_may_follow_ && (last == KeyPrefixes::DEAD || last == KeyPrefixes::SHARED)) {
            gain.finished_outside += last == KeyPrefixes::DEAD ? 1 : 0;
            last = SETTLED;
        }
    }
    std::uint32_t grow_pending(std::uint32_t pending, char32_t letter);
    State append_pending(State last, const Pending& p) const;
    Value finish(const StateKey& key) const;
    void offer(std::uint32_t node, std::uint32_t choice, std::uint32_t child, const Gain& gain);
    void evaluate(std::uint32_t node);
    void push_frame(std::uint32_t node);
    // Makes the states solved last the winner's, in place of the previous ones.
    void keep_last_states();
    // Index of the node of `key`; `fresh` tells whether it was just added.
    std::uint32_t find_or_add(const StateKey& key, bool& fresh);

    const SearchWord* word_ = nullptr;
    const CompiledTable* table_ = nullptr;
    const KeyPrefixes* prefixes_ = nullptr;
    bool exact_levels_ = false;
    bool shared_may_follow_ = false;
    std::size_t max_key_length_ = 0;

    std::vector<Slot> slots_;
    std::vector<Pending> pending_;
    std::vector<Node> nodes_;      // the winner's states, then those being solved
    std::uint32_t kept_ = 0;       // how many states the winner has
    std::uint32_t winner_root_ = 0;
    std::vector<Frame> frames_;
    std::vector<std::uint32_t> slot_of_element_;
    // States of the grouping being solved, by slot and position: the first
    // of a chain of nodes (most chains hold one).
    std::vector<std::uint32_t> index_;
    std::uint32_t index_base_ = 0;
    std::uint32_t index_width_ = 0;
};

}  // namespace vantro::detail
