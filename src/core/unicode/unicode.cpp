#include "unicode/unicode.hpp"

#include <cstdint>

namespace vantro::unicode {

namespace {

struct Record {
    std::uint8_t flags;
    std::int32_t lower;
    std::int32_t upper;
};

#include "unicode/unicode_tables.inc"

constexpr char32_t kCodeSpaceEnd = 0x110000;
constexpr char32_t kCapitalSigma = 0x03A3;
constexpr char32_t kSmallSigma = 0x03C3;
constexpr char32_t kFinalSigma = 0x03C2;

// Two-stage look-up: the high bits pick a shared block, the low bits the entry.
inline const Record& record_of(char32_t c) noexcept {
    if (c >= kCodeSpaceEnd) return kRecords[0];
    const std::size_t block = kStage1[c >> kShift];
    const std::size_t entry = (block << kShift) | (c & ((char32_t{1} << kShift) - 1));
    return kRecords[kStage2[entry]];
}

inline bool case_ignorable(char32_t c) noexcept { return (record_of(c).flags & kCaseIgnorable) != 0; }
inline bool cased(char32_t c) noexcept { return (record_of(c).flags & kCased) != 0; }

// CPython's rule: U+03A3 becomes final sigma when a cased letter precedes it
// and none follows it, case-ignorable characters being skipped on both sides.
char32_t lower_capital_sigma(TextView s, std::size_t i) noexcept {
    std::size_t j = i;
    bool seen = false;
    while (j > 0) {
        --j;
        if (!case_ignorable(s[j])) { seen = true; break; }
    }
    if (!seen || !cased(s[j])) return kSmallSigma;
    for (std::size_t k = i + 1; k < s.size(); ++k) {
        if (!case_ignorable(s[k])) return cased(s[k]) ? kSmallSigma : kFinalSigma;
    }
    return kFinalSigma;
}

inline void append_mapped(Text& out, char32_t c, std::int32_t value, bool expansion) {
    if (!expansion) {
        out.push_back(static_cast<char32_t>(static_cast<std::int64_t>(c) + value));
        return;
    }
    const char32_t* p = kExpansions + value;
    out.append(p + 1, p + 1 + *p);
}

}  // namespace

bool is_mark(char32_t c) noexcept {
    if (c < 0x0300) return false;  // nothing below the combining diacritics block
    return (record_of(c).flags & kMark) != 0;
}

bool is_space(char32_t c) noexcept {
    if (c < 0x80) return c == ' ' || (c >= 0x09 && c <= 0x0D) || (c >= 0x1C && c <= 0x1F);
    return (record_of(c).flags & kSpace) != 0;
}

TextView strip(TextView s) noexcept {
    std::size_t b = 0, e = s.size();
    while (b < e && is_space(s[b])) ++b;
    while (e > b && is_space(s[e - 1])) --e;
    return s.substr(b, e - b);
}

Text to_lower(TextView s) {
    Text out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char32_t c = s[i];
        if (c < 0x80) {
            out.push_back(c >= 'A' && c <= 'Z' ? c + 32 : c);
        } else if (c < 0x100) {
            // Latin-1 upper-case letters sit 32 below their lower case; U+00D7 is the sign ×.
            out.push_back(c >= 0xC0 && c <= 0xDE && c != 0xD7 ? c + 32 : c);
        } else if (c == kCapitalSigma) {
            out.push_back(lower_capital_sigma(s, i));
        } else {
            const Record& r = record_of(c);
            append_mapped(out, c, r.lower, (r.flags & kLowerExt) != 0);
        }
    }
    return out;
}

Text to_upper(TextView s) {
    Text out;
    out.reserve(s.size());
    for (const char32_t c : s) {
        if (c < 0x80) {
            out.push_back(c >= 'a' && c <= 'z' ? c - 32 : c);
        } else {
            const Record& r = record_of(c);
            append_mapped(out, c, r.upper, (r.flags & kUpperExt) != 0);
        }
    }
    return out;
}

Text lower_char(char32_t c) { return to_lower(TextView(&c, 1)); }

}  // namespace vantro::unicode
