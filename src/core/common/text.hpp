// Code-point strings and small shared value types of the core.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

namespace vantro {

// Texts are sequences of code points, so that every offset counts exactly
// as Python's str does (lone surrogates included).
using Text = std::u32string;
using TextView = std::u32string_view;

// Character span into a written text: start inclusive, end exclusive.
struct Span {
    std::int64_t start = 0;
    std::int64_t end = 0;
    friend bool operator==(const Span&, const Span&) = default;
};

// Keys are mostly one to three code points (phonemes, graphemes): an inline
// multiplicative hash costs a fraction of a call to the byte hasher.
struct TextHash {
    using is_transparent = void;
    std::size_t operator()(TextView s) const noexcept {
        std::uint64_t h = s.size();
        for (char32_t c : s) h = (h ^ c) * 0x9E3779B97F4A7C15ull;
        return static_cast<std::size_t>(h ^ (h >> 29));
    }
    std::size_t operator()(const Text& s) const noexcept { return (*this)(TextView(s)); }
};
struct TextEq {
    using is_transparent = void;
    bool operator()(TextView a, TextView b) const noexcept { return a == b; }
};

// Sets and maps of texts that accept string views for look-ups.
using TextSet = std::unordered_set<Text, TextHash, TextEq>;
template <class V>
using TextMap = std::unordered_map<Text, V, TextHash, TextEq>;

inline bool contains(const TextSet& s, TextView t) { return s.find(t) != s.end(); }

// An integer in decimal, as the host writes it.
Text decimal(std::int64_t n);

// UTF-8 conversions for tests, tools and error messages (never for offsets).
Text from_utf8(std::string_view s);
std::string to_utf8(TextView s);

}  // namespace vantro
