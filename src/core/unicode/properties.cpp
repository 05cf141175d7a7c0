#include "unicode/properties.hpp"

#include <algorithm>

namespace vantro::unicode {

namespace {

struct PropRecord {
    std::uint8_t category;
    std::uint8_t flags;
    std::uint8_t ccc;
};

#include "unicode/normalization_tables.inc"

constexpr char32_t kCodeSpaceEnd = 0x110000;
constexpr std::uint8_t kDecomposable = 4;

// Hangul syllables are L V or L V T jamo, numbered arithmetically.
constexpr char32_t kSBase = 0xAC00, kLBase = 0x1100, kVBase = 0x1161, kTBase = 0x11A7;
constexpr char32_t kLCount = 19, kVCount = 21, kTCount = 28;
constexpr char32_t kNCount = kVCount * kTCount, kSCount = kLCount * kNCount;

inline const PropRecord& record_of(char32_t c) noexcept {
    if (c >= kCodeSpaceEnd) return kPropRecords[0];
    const std::size_t block = kPropStage1[c >> kPropShift];
    const std::size_t entry = (block << kPropShift) | (c & ((char32_t{1} << kPropShift) - 1));
    return kPropRecords[kPropStage2[entry]];
}

}  // namespace

Category category(char32_t c) noexcept { return static_cast<Category>(record_of(c).category); }

std::uint8_t combining_class(char32_t c) noexcept { return c < 0x300 ? 0 : record_of(c).ccc; }

QuickCheck nfc_quick_check(char32_t c) noexcept {
    if (c < 0x300) return QuickCheck::Yes;
    return static_cast<QuickCheck>(record_of(c).flags & 3);
}

void append_decomposition(Text& out, char32_t c) {
    if (c >= kSBase && c < kSBase + kSCount) {
        const char32_t s = c - kSBase;
        out.push_back(kLBase + s / kNCount);
        out.push_back(kVBase + (s % kNCount) / kTCount);
        if (s % kTCount != 0) out.push_back(kTBase + s % kTCount);
        return;
    }
    if (c < 0xC0 || (record_of(c).flags & kDecomposable) == 0) {
        out.push_back(c);
        return;
    }
    const auto* end = kDecompCodePoints + std::size(kDecompCodePoints);
    const auto* at = std::lower_bound(kDecompCodePoints, end, c);
    const char32_t* d = kDecompChars + kDecompOffsets[at - kDecompCodePoints];
    out.append(d + 1, d + 1 + *d);
}

char32_t compose(char32_t first, char32_t second) noexcept {
    if (first >= kLBase && first < kLBase + kLCount && second >= kVBase && second < kVBase + kVCount)
        return kSBase + ((first - kLBase) * kVCount + (second - kVBase)) * kTCount;
    if (first >= kSBase && first < kSBase + kSCount && (first - kSBase) % kTCount == 0 && second > kTBase &&
        second < kTBase + kTCount)
        return first + (second - kTBase);
    if (first >= kCodeSpaceEnd || second >= kCodeSpaceEnd) return 0;
    const std::uint64_t key = std::uint64_t{first} << 21 | second;
    const auto* end = kComposeKeys + std::size(kComposeKeys);
    const auto* at = std::lower_bound(kComposeKeys, end, key);
    return at != end && *at == key ? kComposeValues[at - kComposeKeys] : 0;
}

}  // namespace vantro::unicode
