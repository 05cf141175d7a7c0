#include "alignment/groupings.hpp"

namespace vantro::detail {

namespace {

struct Frame {
    std::uint32_t pos;     // next token to group
    std::uint32_t option;  // next entry of the candidate list to try; past it, the single token
};

std::uint64_t hash_of(const std::vector<GroupElement>& g) noexcept {
    std::uint64_t h = 0x9E3779B97F4A7C15ull ^ g.size();
    for (const GroupElement& e : g) h = (h ^ e.id) * 0x100000001B3ull + (h >> 29);
    return h;
}

bool same(const std::vector<GroupElement>& a, const std::vector<GroupElement>& b) noexcept {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].id != b[i].id) return false;
    }
    return true;
}

}  // namespace

void Groupings::generate(const CompiledTable& table, const std::vector<TextView>& tokens) {
    distinct.clear();
    hashes_.clear();
    const auto n = static_cast<std::uint32_t>(tokens.size());
    const auto n_entries = static_cast<std::uint32_t>(table.entries().size());

    token_ids_.resize(n);
    std::vector<GroupElement> single(n);
    for (std::uint32_t i = 0; i < n; ++i) {
        const std::uint32_t tid = table.token_id(tokens[i]);
        token_ids_[i] = tid;
        GroupElement e{tokens[i], CompiledTable::NONE, 0};
        if (tid != CompiledTable::NONE && table.entry_of_token(tid) != CompiledTable::NONE) {
            e.entry = table.entry_of_token(tid);
            e.id = e.entry;
        } else if (tid != CompiledTable::NONE) {
            e.id = n_entries + n + 1 + tid;  // a token of some key, not a key itself
        } else {
            e.id = n_entries + i;  // unknown to the table: never equal to anything else
        }
        single[i] = e;
    }

    auto matches = [&](const CompiledTable::Entry& e, std::uint32_t pos) {
        if (e.token_ids.size() > n - pos) return false;
        for (std::size_t k = 0; k < e.token_ids.size(); ++k) {
            if (e.token_ids[k] != token_ids_[pos + k]) return false;
        }
        return true;
    };
    static const std::vector<std::uint32_t> no_blocs;
    auto blocs_at = [&](std::uint32_t pos) -> const std::vector<std::uint32_t>& {
        const std::uint32_t tid = token_ids_[pos];
        return tid == CompiledTable::NONE ? no_blocs : table.blocs_starting_with(tid);
    };

    std::vector<GroupElement> current;
    std::vector<Frame> stack;
    stack.push_back(Frame{0, 0});
    std::size_t produced = 0;
    while (!stack.empty() && produced < MAX_GROUPINGS) {
        Frame& f = stack.back();
        if (f.pos == n) {
            ++produced;
            const std::uint64_t h = hash_of(current);
            bool seen = false;
            for (std::size_t k = 0; k < distinct.size() && !seen; ++k) {
                seen = hashes_[k] == h && same(distinct[k], current);
            }
            if (!seen) {
                distinct.push_back(current);
                hashes_.push_back(h);
            }
            stack.pop_back();
            if (!current.empty()) current.pop_back();
            continue;
        }
        const std::vector<std::uint32_t>& blocs = blocs_at(f.pos);
        bool pushed = false;
        while (f.option < blocs.size()) {
            const std::uint32_t idx = blocs[f.option++];
            const CompiledTable::Entry& e = table.entries()[idx];
            if (matches(e, f.pos)) {
                current.push_back(GroupElement{e.key, idx, idx});
                const std::uint32_t next = f.pos + static_cast<std::uint32_t>(e.token_ids.size());
                stack.push_back(Frame{next, 0});
                pushed = true;
                break;
            }
        }
        if (pushed) continue;
        if (f.option == blocs.size()) {
            ++f.option;
            current.push_back(single[f.pos]);
            const std::uint32_t next = f.pos + 1;
            stack.push_back(Frame{next, 0});
            continue;
        }
        stack.pop_back();
        if (!current.empty()) current.pop_back();
    }
}

}  // namespace vantro::detail
