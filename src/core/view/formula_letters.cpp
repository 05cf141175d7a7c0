// A formula (a number, a symbol) keeps its written characters; its syllables
// are the steps of its reading, each holding the characters it reads.

#include "view/french_letters.hpp"
#include "view/group_work.hpp"

namespace vantro::view::detail {

namespace {

bool inside(Span s, std::int64_t lo, std::int64_t hi) { return s.start >= lo && s.end <= hi && s.start <= s.end; }

}  // namespace

void place_formula(GroupWork& g) {
    const auto& steps = g.input->reading;
    if (g.words.empty()) return;
    const std::int64_t lo = g.words.front().start, hi = g.words.back().end;
    // Steps may count from the start of the text or from the start of the formula.
    bool absolute = true, relative = true;
    for (const ReadingStep& s : steps) {
        absolute = absolute && inside(s.span, lo, hi);
        relative = relative && inside(s.span, 0, hi - lo);
    }
    const std::int64_t shift = !absolute && relative ? lo : 0;

    g.phonemes.clear();
    g.syllables.assign(steps.size(), SyllableWork{});
    for (std::size_t s = 0; s < steps.size(); ++s) {
        PhonemeWork p;
        p.ipa = steps[s].phone;
        p.grapheme = steps[s].ortho;
        p.syllable = static_cast<int>(s);
        p.constituent = Constituent::Noyau;
        p.order = 2 * static_cast<int>(s);
        g.phonemes.push_back(std::move(p));
        g.syllables[s].phone = steps[s].phone;
        g.syllables[s].phonemes.push_back(static_cast<int>(s));
    }
    UnitWork unit{{}, false};
    int prev = steps.empty() ? NONE : 0;
    for (int i = 0; i < static_cast<int>(g.letters.size()); ++i) {
        LetterWork& l = g.letters[static_cast<std::size_t>(i)];
        for (std::size_t s = 0; s < steps.size(); ++s) {
            const Span sp{steps[s].span.start + shift, steps[s].span.end + shift};
            if (l.position >= sp.start && l.position < sp.end) l.claims.push_back({static_cast<int>(s), ClaimKind::Spelled, false});
        }
        // Characters no step names go with the step of the character before.
        l.syllable = l.claims.empty() ? prev : l.claims.front().phoneme;
        prev = l.syllable;
        l.constituent = l.syllable == NONE ? Constituent::Aucun : Constituent::Noyau;
        l.role = is_sign(l.character) ? Role::Signe : Role::Sonore;
        if (l.syllable != NONE) g.syllables[static_cast<std::size_t>(l.syllable)].letters.push_back(i);
        if (l.role != Role::Signe) {
            l.unit = 0;
            unit.letters.push_back(i);
        }
    }
    if (!unit.letters.empty()) g.units.push_back(std::move(unit));
}

}  // namespace vantro::view::detail
