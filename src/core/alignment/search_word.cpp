#include "alignment/search_word.hpp"

#include <algorithm>

#include "phonology/tokens.hpp"
#include "unicode/unicode.hpp"

namespace vantro::detail {

namespace {

bool all_latin1(TextView s) noexcept {
    for (char32_t c : s) {
        if (c >= 0x100) return false;
    }
    return true;
}

// Lower case of a code point below U+0100: the Latin-1 capitals sit 32
// below their small letters (U+00D7 is the sign ×); nothing else changes.
constexpr char32_t lower_latin1(char32_t c) noexcept {
    return (c >= U'A' && c <= U'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7) ? c + 32 : c;
}

}  // namespace

void SearchWord::prepare(TextView ortho, const TextSet& silent_letters,
                         const std::vector<std::int64_t>* word_boundaries) {
    orig = ortho;
    size = static_cast<std::uint32_t>(ortho.size());
    if (all_latin1(ortho)) {
        // French words nearly always: no call into the Unicode tables.
        norm.clear();
        norm.append(ortho);
        for (char32_t& c : norm) c = lower_latin1(c);
    } else {
        // "İ" (U+0130) is the one character whose lower case is two
        // characters ("i" and a combining dot). It is read as a plain "i":
        // then a position in the lower-cased word is the same position in
        // the word, and the spans and the written case stay within it.
        if (ortho.find(U'\u0130') == TextView::npos) {
            norm = unicode::to_lower(ortho);
        } else {
            Text plain(ortho);
            std::replace(plain.begin(), plain.end(), U'\u0130', U'I');
            norm = unicode::to_lower(plain);
        }
    }

    // Single ASCII letters of the set answer from a bit mask; anything else
    // goes through the set itself.
    std::uint64_t ascii_silent[2] = {0, 0};
    for (const Text& s : silent_letters) {
        if (s.size() == 1 && s[0] < 0x80) ascii_silent[s[0] >> 6] |= std::uint64_t{1} << (s[0] & 63);
    }

    flags.resize(size);
    // Lower-casing maps one character to one unless a rare letter expands;
    // then each character is lower-cased on its own.
    const bool one_to_one = norm.size() == size;
    for (std::uint32_t p = 0; p < size; ++p) {
        const char32_t c = ortho[p];
        std::uint8_t f = is_ignored_char(c) ? IGNORED : 0;
        bool silent = false;
        char32_t low = 0;
        if (c < 0x80) {
            low = (c >= U'A' && c <= U'Z') ? c + 32 : c;
            silent = (ascii_silent[low >> 6] >> (low & 63)) & 1;
        } else if (one_to_one && c != U'\u03A3') {
            // (a capital sigma lowers by context in the whole word, not alone)
            low = norm[p];
            silent = contains(silent_letters, TextView(&low, 1));
        } else {
            const Text lowered = unicode::lower_char(c);
            silent = contains(silent_letters, lowered);
            if (lowered.size() == 1) low = lowered[0];
        }
        if (silent) f |= MAY_BE_SILENT;
        if (low == U'h') f |= LOWER_H;
        if (low == U'e' || low == U's') f |= LOWER_E_OR_S;
        flags[p] = f;
    }
    // "geai", "mangeait", "douceâtre": the e only softens the consonant
    // before it. It may be silent even where a vowel grapheme could start
    // with it, so that it stays with its consonant (ge°, ce°).
    if (one_to_one) {
        for (std::uint32_t p = 1; p + 1 < size; ++p) {
            if (norm[p] == U'e' && (norm[p - 1] == U'g' || norm[p - 1] == U'c') &&
                TextView(U"aouâôû").find(norm[p + 1]) != TextView::npos) {
                flags[p] |= SOFTENING_E;
            }
        }
    }
    if (word_boundaries) {
        for (std::int64_t b : *word_boundaries) {
            if (b <= 0) continue;  // marks nothing, and b - 2 could wrap below the 64-bit range
            for (std::int64_t q : {b - 1, b - 2}) {
                if (q >= 0 && q < static_cast<std::int64_t>(size)) flags[static_cast<std::size_t>(q)] |= WORD_END;
            }
        }
    }

    tails_.resize(size + 1);
    tails_[size] = Tail{};
    tails_from_ = size;
}

void SearchWord::extend_tails() const noexcept {
    const std::uint32_t p = --tails_from_;
    const Tail& next = tails_[p + 1];
    Tail& t = tails_[p];
    t.silent = next.silent && has(p, MAY_BE_SILENT);
    t.shared = next.shared || orig[p] == SHARED_MARK;
    t.cost = TextCost{};
    t.cost.append_char(orig[p]);
    t.cost.append_char(SILENT_MARK);
    t.cost.append(next.cost);
}

}  // namespace vantro::detail
