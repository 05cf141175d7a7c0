// Ways to group the phoneme tokens of a pronunciation into table entries.
#pragma once

#include <cstdint>
#include <vector>

#include "alignment/phone_table.hpp"
#include "common/text.hpp"

namespace vantro::detail {

// How many groupings the search tries at most, repeats included.
constexpr std::size_t MAX_GROUPINGS = 32;

// One element of a grouping: a key of the table or a single token.
struct GroupElement {
    TextView text;                   // what the alignment records for it
    std::uint32_t entry;             // table entry whose key is `text`, or CompiledTable::NONE
    std::uint32_t id;                // equal ids exactly for equal texts
};

class Groupings {
public:
    // Distinct groupings, each once, in the order of their first appearance.
    std::size_t size() const noexcept { return count_; }
    const std::vector<GroupElement>& operator[](std::size_t i) const noexcept { return store_[i]; }

    // Enumerates groupings depth first, longest entries first (table order
    // among equals, then the single token), and stops after MAX_GROUPINGS of
    // them, counting repeats: a token that is itself a key comes out both as
    // that key and as the token, and both spell the same grouping. Repeats
    // cannot change the best alignment (a later equal one never wins), so
    // only the first copy is kept, and repeats are counted, not built.
    void generate(const CompiledTable& table, const std::vector<TextView>& tokens);

private:
    struct Option {
        GroupElement element;
        std::uint32_t next;  // position after the tokens it takes
    };
    struct Frame {
        std::uint32_t pos;     // next token to group
        std::uint32_t option;  // next option to try there
    };
    void keep(const std::vector<GroupElement>& grouping);

    std::vector<std::vector<GroupElement>> store_;  // reused from call to call
    std::size_t count_ = 0;
    std::vector<std::uint32_t> token_ids_;
    std::vector<GroupElement> single_;
    std::vector<Option> options_;
    std::vector<std::uint32_t> option_start_;
    std::vector<std::uint32_t> leaves_;
    std::vector<GroupElement> current_;
    std::vector<Frame> stack_;
};

}  // namespace vantro::detail
