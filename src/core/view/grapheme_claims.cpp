// Which letters each aligned phoneme spells, read from its grapheme and span.

#include <algorithm>

#include "common/grapheme_marks.hpp"

#include "view/group_work.hpp"

namespace vantro::view::detail {

namespace {

Claim* claim_of(LetterWork& l, int phoneme) {
    for (Claim& c : l.claims)
        if (c.phoneme == phoneme) return &c;
    return nullptr;
}

}  // namespace

int GroupWork::letter_at(std::int64_t position) const {
    auto it = std::lower_bound(letters.begin(), letters.end(), position,
                               [](const LetterWork& l, std::int64_t p) { return l.position < p; });
    return it != letters.end() && it->position == position ? static_cast<int>(it - letters.begin()) : NONE;
}

std::pair<int, int> GroupWork::letters_in(Span span) const {
    auto by_pos = [](const LetterWork& l, std::int64_t p) { return l.position < p; };
    auto first = std::lower_bound(letters.begin(), letters.end(), span.start, by_pos);
    auto last = std::lower_bound(first, letters.end(), std::max(span.start, span.end), by_pos);
    return {static_cast<int>(first - letters.begin()), static_cast<int>(last - letters.begin())};
}

int first_phoneme(const LetterWork& l) {
    int best = NONE;
    for (const Claim& c : l.claims)
        if (best == NONE || c.phoneme < best) best = c.phoneme;
    return best;
}

// The letters of a grapheme are laid, in order, on the letters its span
// covers; markers take no letter. A span covering fewer letters than the
// grapheme has leaves the rest unplaced rather than spilling over.
void claim_letters(GroupWork& g) {
    if (!g.aligned()) return;
    int last_claimed = NONE;  // the last letter an earlier phoneme reached
    for (int k = 0; k < static_cast<int>(g.phonemes.size()); ++k) {
        const AlignedPhoneme& ph = g.input->phonemes[static_cast<std::size_t>(k)];
        auto [cursor, end] = g.letters_in(ph.span);
        int prev = NONE;
        int reached = NONE;
        for (char32_t c : ph.grapheme) {
            if (c == SILENT_MARK) {
                if (prev != NONE) claim_of(g.letters[static_cast<std::size_t>(prev)], k)->silent = true;
            } else if (c == SHARED_MARK) {
                if (prev != NONE) {
                    LetterWork& l = g.letters[static_cast<std::size_t>(prev)];
                    claim_of(l, k)->kind = ClaimKind::Shared;
                    if (k > 0 && !claim_of(l, k - 1)) l.claims.push_back({k - 1, ClaimKind::Shared, false});
                } else if (last_claimed != NONE) {
                    LetterWork& l = g.letters[static_cast<std::size_t>(last_claimed)];
                    if (!claim_of(l, k)) l.claims.push_back({k, ClaimKind::Attached, false});
                }
            } else if (cursor < end) {
                prev = cursor++;
                LetterWork& l = g.letters[static_cast<std::size_t>(prev)];
                if (!claim_of(l, k)) l.claims.push_back({k, ClaimKind::Spelled, false});
                reached = prev;
            } else {
                prev = NONE;
            }
        }
        if (reached != NONE) last_claimed = reached;
    }
    for (LetterWork& l : g.letters)
        std::sort(l.claims.begin(), l.claims.end(), [](const Claim& a, const Claim& b) { return a.phoneme < b.phoneme; });
}

}  // namespace vantro::view::detail
