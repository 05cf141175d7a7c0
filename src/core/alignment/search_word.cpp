#include "alignment/search_word.hpp"

#include "phonology/tokens.hpp"
#include "unicode/unicode.hpp"

namespace vantro::detail {

namespace {

bool all_ascii(TextView s) noexcept {
    for (char32_t c : s) {
        if (c >= 0x80) return false;
    }
    return true;
}

}  // namespace

void SearchWord::prepare(TextView ortho, const TextSet& silent_letters,
                         const std::vector<std::int64_t>* word_boundaries) {
    orig = ortho;
    size = static_cast<std::uint32_t>(ortho.size());
    if (all_ascii(ortho)) {
        norm.assign(ortho.begin(), ortho.end());
        for (char32_t& c : norm) {
            if (c >= U'A' && c <= U'Z') c += 32;
        }
    } else {
        norm = unicode::to_lower(ortho);
    }

    // Single ASCII letters of the set answer from a bit mask; anything else
    // goes through the set itself.
    std::uint64_t ascii_silent[2] = {0, 0};
    for (const Text& s : silent_letters) {
        if (s.size() == 1 && s[0] < 0x80) ascii_silent[s[0] >> 6] |= std::uint64_t{1} << (s[0] & 63);
    }

    flags.assign(size, 0);
    for (std::uint32_t p = 0; p < size; ++p) {
        const char32_t c = ortho[p];
        std::uint8_t f = is_ignored_char(c) ? IGNORED : 0;
        if (c < 0x80) {
            const char32_t low = (c >= U'A' && c <= U'Z') ? c + 32 : c;
            if ((ascii_silent[low >> 6] >> (low & 63)) & 1) f |= MAY_BE_SILENT;
            if (low == U'h') f |= LOWER_H;
            if (low == U'e' || low == U's') f |= LOWER_E_OR_S;
        } else {
            const Text low = unicode::lower_char(c);
            if (contains(silent_letters, low)) f |= MAY_BE_SILENT;
            if (low == U"h") f |= LOWER_H;
            if (low == U"e" || low == U"s") f |= LOWER_E_OR_S;
        }
        flags[p] = f;
    }
    if (word_boundaries) {
        for (std::int64_t b : *word_boundaries) {
            for (std::int64_t q : {b - 1, b - 2}) {
                if (q >= 0 && q < static_cast<std::int64_t>(size)) flags[static_cast<std::size_t>(q)] |= WORD_END;
            }
        }
    }

    tail_silent.assign(size + 1, 1);
    tail_cost.assign(size + 1, TextCost{});
    tail_shared.assign(size + 1, 0);
    for (std::uint32_t p = size; p-- > 0;) {
        tail_silent[p] = tail_silent[p + 1] && has(p, MAY_BE_SILENT);
        TextCost piece;
        piece.append_char(ortho[p]);
        piece.append_char(SILENT_MARK);
        piece.append(tail_cost[p + 1]);
        tail_cost[p] = piece;
        tail_shared[p] = tail_shared[p + 1] || ortho[p] == SHARED_MARK;
    }
}

}  // namespace vantro::detail
