#include "alignment/phone_table.hpp"

#include <algorithm>

#include "phonology/tokens.hpp"
#include "unicode/unicode.hpp"

namespace vantro {

namespace {

CompiledTable::Grapheme compile_grapheme(const Text& raw) {
    CompiledTable::Grapheme g;
    g.raw = raw;
    g.norm.reserve(raw.size());
    for (char32_t c : raw) {
        if (c == SHARED_MARK) {
            g.has_shared_mark = true;
        } else {
            g.norm.push_back(c);
        }
    }
    g.cost = TextCost::of(raw);
    return g;
}

}  // namespace

CompiledTable::CompiledTable(const PhoneTable& table) {
    for (const auto& [key, graphemes] : table.entries) {
        auto [it, inserted] = index_.try_emplace(key, entries_.size());
        if (inserted) {
            entries_.emplace_back();
            entries_.back().key = key;
        }
        Entry& e = entries_[it->second];
        e.graphemes.clear();
        for (const Text& raw : graphemes) e.graphemes.push_back(compile_grapheme(raw));
    }

    std::vector<Text> keys;
    keys.reserve(entries_.size());
    for (Entry& e : entries_) {
        e.tokens = iter_phonemes(unicode::to_lower(e.key));
        max_key_length_ = std::max(max_key_length_, e.key.size());
        keys.push_back(e.key);
        for (const Text& tok : e.tokens) {
            const auto id = static_cast<std::uint32_t>(token_index_.size());
            auto [tit, fresh] = token_index_.try_emplace(tok, id);
            e.token_ids.push_back(tit->second);
        }
    }
    prefixes_ = KeyPrefixes(keys);

    token_entry_.assign(token_index_.size(), NONE);
    dense_token_ids_.assign(DENSE_TOKENS, NONE);
    for (const auto& [tok, id] : token_index_) {
        token_entry_[id] = entry_of(tok);
        if (tok.size() != 1) continue;
        if (tok[0] < DENSE_TOKENS) {
            dense_token_ids_[tok[0]] = id;
        } else {
            one_char_tokens_.emplace_back(tok[0], id);
        }
    }
    std::sort(one_char_tokens_.begin(), one_char_tokens_.end());

    for (Entry& e : entries_) {
        std::vector<TextView> norms;
        for (Grapheme& g : e.graphemes) {
            g.prefix = prefixes_.walk(KeyPrefixes::ROOT, g.raw);
            has_silent_marks_ = has_silent_marks_ || g.cost.marks > 0;
            e.first_letters.push_back(g.norm.empty() ? char32_t{0} : g.norm.front());
            norms.push_back(g.norm);
        }
        e.spellings = SpellingMatcher(norms);
        for (std::uint32_t id : e.token_ids) e.token_entries.push_back(token_entry_[id]);
    }

    // A key without any token could be taken again and again at one place
    // of the pronunciation without consuming it: it never groups tokens.
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        if (!entries_[i].tokens.empty()) bloc_order_.push_back(i);
    }
    std::stable_sort(bloc_order_.begin(), bloc_order_.end(), [&](std::size_t a, std::size_t b) {
        return entries_[a].tokens.size() > entries_[b].tokens.size();
    });
    blocs_by_first_token_.resize(token_index_.size());
    for (std::size_t i : bloc_order_) {
        blocs_by_first_token_[entries_[i].token_ids.front()].push_back(static_cast<std::uint32_t>(i));
    }
    alternatives_by_first_token_.resize(token_index_.size());
    for (std::uint32_t id = 0; id < token_index_.size(); ++id) {
        for (std::uint32_t i : blocs_by_first_token_[id]) {
            if (i == token_entry_[id]) continue;
            const auto& ids = entries_[i].token_ids;
            alternatives_by_first_token_[id].push_back(Alternative{i, ids.size() > 1 ? ids[1] : NONE});
        }
    }
}

const std::vector<CompiledTable::Grapheme>* CompiledTable::candidates(TextView element) const {
    auto it = index_.find(element);
    return it == index_.end() ? nullptr : &entries_[it->second].graphemes;
}

std::uint32_t CompiledTable::entry_of(TextView key) const {
    auto it = index_.find(key);
    return it == index_.end() ? NONE : static_cast<std::uint32_t>(it->second);
}

std::uint32_t CompiledTable::other_token_id(TextView token) const {
    if (token.size() == 1) {
        if (token[0] < DENSE_TOKENS) return dense_token_ids_[token[0]];
        auto it = std::lower_bound(one_char_tokens_.begin(), one_char_tokens_.end(),
                                   std::pair<char32_t, std::uint32_t>{token[0], 0});
        return it != one_char_tokens_.end() && it->first == token[0] ? it->second : NONE;
    }
    auto it = token_index_.find(token);
    return it == token_index_.end() ? NONE : it->second;
}

}  // namespace vantro
