// The phoneme-to-graphemes table, and a compiled form of it for the search.
#pragma once

#include <cstddef>
#include <cstdint>

#include "alignment/key_prefixes.hpp"
#include "alignment/spelling_matcher.hpp"
#include "alignment/text_cost.hpp"
#include "common/text.hpp"

namespace vantro {

// Keys and grapheme lists in file order: the order decides the search's ties.
struct PhoneTable {
    std::vector<std::pair<Text, std::vector<Text>>> entries;
};

// What the search needs from the table, computed once per table.
class CompiledTable {
public:
    static constexpr std::uint32_t NONE = 0xFFFFFFFFu;

    struct Grapheme {
        Text raw;   // as written in the table, markers included
        Text norm;  // with every "²" removed: what must occur in the word
        bool has_shared_mark = false;
        TextCost cost;                                   // of `raw`
        KeyPrefixes::State prefix = KeyPrefixes::ROOT;   // `raw` read from the empty text
    };
    struct Entry {
        Text key;
        std::vector<Text> tokens;  // iter_phonemes(lower(key))
        std::vector<Grapheme> graphemes;
        std::vector<std::uint32_t> token_ids;      // ids of `tokens` (see token_id)
        std::vector<std::uint32_t> token_entries;  // entry whose key is that token, or NONE
        std::vector<char32_t> first_letters;       // first letter of each norm, 0 when empty
        SpellingMatcher spellings;                 // finds the norms that occur at a place
    };

    explicit CompiledTable(const PhoneTable& table);

    // Entries in table order; a key that appears twice keeps its first
    // place and its last list.
    const std::vector<Entry>& entries() const noexcept { return entries_; }
    // Indices into entries(): keys with at least one token, most tokens first,
    // table order among equals.
    const std::vector<std::size_t>& bloc_order() const noexcept { return bloc_order_; }
    // Candidate graphemes of an element; nullptr when the element is no key.
    const std::vector<Grapheme>* candidates(TextView element) const;
    bool is_key(TextView s) const { return index_.find(s) != index_.end(); }
    std::size_t max_key_length() const noexcept { return max_key_length_; }

    // Entry index of a key, or NONE.
    std::uint32_t entry_of(TextView key) const;
    // Small id of a phoneme token that occurs in some key's token list, or NONE.
    std::uint32_t token_id(TextView token) const {
        // Most tokens are one code point below the marks: no string to hash.
        if (token.size() == 1 && token[0] < DENSE_TOKENS) return dense_token_ids_[token[0]];
        return other_token_id(token);
    }
    // Entry whose key is exactly the token with this id, or NONE.
    std::uint32_t entry_of_token(std::uint32_t id) const noexcept { return token_entry_[id]; }
    // Entries of bloc_order() whose first token has this id, in that order.
    const std::vector<std::uint32_t>& blocs_starting_with(std::uint32_t id) const noexcept {
        return blocs_by_first_token_[id];
    }
    // The same without the entry whose key is the token itself, each with
    // its second token's id (NONE for a key of one token): the entries that
    // offer a grouping other than the token alone.
    struct Alternative {
        std::uint32_t entry;
        std::uint32_t second;
    };
    const std::vector<Alternative>& alternatives_to(std::uint32_t id) const noexcept {
        return alternatives_by_first_token_[id];
    }
    const KeyPrefixes& key_prefixes() const noexcept { return prefixes_; }
    // Some table grapheme holds a "°" of its own.
    bool has_silent_marks() const noexcept { return has_silent_marks_; }

private:
    std::vector<Entry> entries_;
    std::vector<std::size_t> bloc_order_;
    TextMap<std::size_t> index_;
    std::size_t max_key_length_ = 0;
    TextMap<std::uint32_t> token_index_;
    // Ids of one-code-point tokens: directly for the low code points (where
    // IPA lives), sorted pairs for the rest.
    static constexpr char32_t DENSE_TOKENS = 0x300;
    std::vector<std::uint32_t> dense_token_ids_;
    std::vector<std::pair<char32_t, std::uint32_t>> one_char_tokens_;
    std::vector<std::uint32_t> token_entry_;
    std::vector<std::vector<std::uint32_t>> blocs_by_first_token_;
    std::vector<std::vector<Alternative>> alternatives_by_first_token_;
    std::uint32_t other_token_id(TextView token) const;
    KeyPrefixes prefixes_;
    bool has_silent_marks_ = false;
};

}  // namespace vantro
