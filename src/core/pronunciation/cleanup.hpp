// Pronunciation clean-up: espeak-ng's systematic mistakes on French words,
// corrected before a reading is aligned and syllabified.
//
// Each rule rewrites phonemes of one word's reading where its spelling shows
// what French says (a "u" before a vowel is the glide /ɥ/, "gn" is /ɲ/, ...).
// The rules are a table: each names the words that justify it and the words
// it must leave alone, and the tests walk that table.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "common/text.hpp"

namespace vantro::pronunciation {

struct CleanupRule {
    std::string_view name;         // stable identifier, e.g. "ui_glide"
    std::string_view description;  // one line, for reports and docs
    // "word=espeak reading=corrected reading" triples that justify the rule,
    // and "word=reading" pairs it must keep as they are.
    std::span<const std::u32string_view> fixes;
    std::span<const std::u32string_view> keeps;
};

// The rules, in the order they are applied.
std::span<const CleanupRule> cleanup_rules() noexcept;

struct CleanupResult {
    Text ipa;                  // the corrected reading
    std::uint32_t applied = 0; // bit i set when cleanup_rules()[i] changed something
};

// The reading `ipa` of the written word `word` (any case; hyphens and
// apostrophes allowed) with the rules applied. `ipa` is one word's reading
// as the phonemizers return it: no stress marks, no spaces. A reading that
// no rule touches comes back unchanged, and so does anything that is not a
// French reading (the rules only match French phonemes and letters).
CleanupResult clean_pronunciation_traced(TextView word, TextView ipa);
Text clean_pronunciation(TextView word, TextView ipa);

}  // namespace vantro::pronunciation
