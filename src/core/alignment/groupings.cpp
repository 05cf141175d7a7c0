#include "alignment/groupings.hpp"

#include <algorithm>

namespace vantro::detail {

namespace {

std::uint32_t saturating_add(std::uint32_t a, std::uint32_t b) noexcept {
    return static_cast<std::uint32_t>(std::min<std::size_t>(std::size_t{a} + b, MAX_GROUPINGS));
}

}  // namespace

void Groupings::keep(const std::vector<GroupElement>& grouping) {
    if (count_ == store_.size()) store_.emplace_back();
    store_[count_++].assign(grouping.begin(), grouping.end());
}

void Groupings::generate(const CompiledTable& table, const std::vector<TextView>& tokens) {
    count_ = 0;
    const auto n = static_cast<std::uint32_t>(tokens.size());
    const auto n_entries = static_cast<std::uint32_t>(table.entries().size());

    // Each element gets an id that is equal exactly for equal texts: the
    // entry index for a key, else something no key can have.
    token_ids_.resize(n);
    single_.resize(n);
    for (std::uint32_t i = 0; i < n; ++i) {
        const std::uint32_t tid = table.token_id(tokens[i]);
        token_ids_[i] = tid;
        GroupElement e{tokens[i], CompiledTable::NONE, 0};
        if (tid != CompiledTable::NONE && table.entry_of_token(tid) != CompiledTable::NONE) {
            e.entry = table.entry_of_token(tid);
            e.id = e.entry;
        } else if (tid != CompiledTable::NONE) {
            e.id = n_entries + n + tid;  // a token of some key, not a key itself
        } else {
            e.id = n_entries + i;  // unknown to the table
        }
        single_[i] = e;
    }

    auto starts_here = [&](const CompiledTable::Entry& e, std::uint32_t pos) {
        return e.token_ids.size() <= n - pos &&
               std::equal(e.token_ids.begin(), e.token_ids.end(), token_ids_.begin() + pos);
    };
    auto blocs_at = [&](std::uint32_t pos) -> const std::vector<std::uint32_t>* {
        const std::uint32_t tid = token_ids_[pos];
        return tid == CompiledTable::NONE ? nullptr : &table.blocs_starting_with(tid);
    };

    // Most pronunciations offer one text per position (a token, maybe also
    // as a key): then there is a single grouping, token by token.
    bool choice_anywhere = false;
    for (std::uint32_t pos = 0; pos < n && !choice_anywhere; ++pos) {
        const std::uint32_t tid = token_ids_[pos];
        if (tid == CompiledTable::NONE) continue;
        // The second token rules out most entries before their whole list is compared.
        const std::uint32_t second = pos + 1 < n ? token_ids_[pos + 1] : CompiledTable::NONE;
        for (const CompiledTable::Alternative& alt : table.alternatives_to(tid)) {
            if ((alt.second == CompiledTable::NONE || alt.second == second) &&
                starts_here(table.entries()[alt.entry], pos)) {
                choice_anywhere = true;
                break;
            }
        }
    }
    if (!choice_anywhere) {
        keep(single_);
        return;
    }

    // Options at each position, in the order the enumeration tries them:
    // the entries whose tokens start there, then the single token.
    option_start_.resize(n + 1);
    options_.clear();
    for (std::uint32_t pos = 0; pos < n; ++pos) {
        option_start_[pos] = static_cast<std::uint32_t>(options_.size());
        if (const std::vector<std::uint32_t>* blocs = blocs_at(pos)) {
            for (std::uint32_t idx : *blocs) {
                const CompiledTable::Entry& e = table.entries()[idx];
                if (!starts_here(e, pos)) continue;
                options_.push_back(Option{GroupElement{e.key, idx, idx},
                                          pos + static_cast<std::uint32_t>(e.token_ids.size())});
            }
        }
        options_.push_back(Option{single_[pos], pos + 1});
    }
    option_start_[n] = static_cast<std::uint32_t>(options_.size());

    // How many groupings (repeats included, capped) start at each position.
    leaves_.resize(n + 1);
    leaves_[n] = 1;
    for (std::uint32_t pos = n; pos-- > 0;) {
        std::uint32_t total = 0;
        for (std::uint32_t o = option_start_[pos]; o < option_start_[pos + 1]; ++o) {
            total = saturating_add(total, leaves_[options_[o].next]);
        }
        leaves_[pos] = total;
    }

    // Depth first, as the groupings are defined. Two options of one position
    // that hold the same text lead to the very same groupings: the later one
    // is only counted. Options with different texts at the same place give
    // groupings that differ there, so no other repeat exists.
    std::vector<GroupElement>& current = current_;
    current.clear();
    stack_.clear();
    stack_.push_back(Frame{0, option_start_[0]});
    std::size_t produced = 0;
    while (!stack_.empty() && produced < MAX_GROUPINGS) {
        Frame& f = stack_.back();
        if (f.pos == n) {
            ++produced;
            keep(current);
            stack_.pop_back();
            if (!current.empty()) current.pop_back();
            continue;
        }
        const std::uint32_t end = option_start_[f.pos + 1];
        bool pushed = false;
        while (f.option < end && produced < MAX_GROUPINGS) {
            const Option& opt = options_[f.option];
            bool repeat = false;
            for (std::uint32_t o = option_start_[f.pos]; o < f.option && !repeat; ++o) {
                repeat = options_[o].element.id == opt.element.id;
            }
            ++f.option;
            if (repeat) {
                produced = std::min<std::size_t>(produced + leaves_[opt.next], MAX_GROUPINGS);
                continue;
            }
            current.push_back(opt.element);
            stack_.push_back(Frame{opt.next, option_start_[opt.next]});
            pushed = true;
            break;
        }
        if (pushed) continue;
        stack_.pop_back();
        if (!current.empty()) current.pop_back();
    }
}

}  // namespace vantro::detail
