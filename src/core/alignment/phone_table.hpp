// The phoneme-to-graphemes table, and a compiled form of it for the search.
#pragma once

#include <cstddef>

#include "common/text.hpp"

namespace vantro {

// Keys and grapheme lists in file order: the order decides the search's ties.
struct PhoneTable {
    std::vector<std::pair<Text, std::vector<Text>>> entries;
};

// What the search needs from the table, computed once per table.
class CompiledTable {
public:
    struct Grapheme {
        Text raw;   // as written in the table, markers included
        Text norm;  // with every "²" removed: what must occur in the word
        bool has_shared_mark = false;
    };
    struct Entry {
        Text key;
        std::vector<Text> tokens;  // iter_phonemes(lower(key))
        std::vector<Grapheme> graphemes;
    };

    explicit CompiledTable(const PhoneTable& table);

    // Entries in table order; a key that appears twice keeps its last list.
    const std::vector<Entry>& entries() const noexcept { return entries_; }
    // Indices into entries(): keys with at least one token, most tokens first,
    // table order among equals.
    const std::vector<std::size_t>& bloc_order() const noexcept { return bloc_order_; }
    // Candidate graphemes of an element; nullptr when the element is no key.
    const std::vector<Grapheme>* candidates(TextView element) const;
    bool is_key(TextView s) const { return index_.find(s) != index_.end(); }
    std::size_t max_key_length() const noexcept { return max_key_length_; }

private:
    std::vector<Entry> entries_;
    std::vector<std::size_t> bloc_order_;
    TextMap<std::size_t> index_;
    std::size_t max_key_length_ = 0;
};

}  // namespace vantro
