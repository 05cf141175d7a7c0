#include "export/text_walk.hpp"

namespace vantro::exporting::detail {

using namespace view;

std::vector<int> junction_gaps(const LetterView& v) {
    std::vector<int> gaps(v.text.size() + 1, NONE);
    for (std::size_t j = 0; j < v.junctions.size(); ++j) {
        const int w = v.junctions[j].word_before;
        if (w < 0 || static_cast<std::size_t>(w) + 1 >= v.words.size()) continue;
        const std::int64_t start = v.words[static_cast<std::size_t>(w)].span.end;
        if (start >= 0 && static_cast<std::size_t>(start) <= v.text.size()) gaps[static_cast<std::size_t>(start)] = static_cast<int>(j);
    }
    return gaps;
}

std::vector<int> letter_at_positions(const LetterView& v) {
    std::vector<int> at(v.text.size(), NONE);
    for (std::size_t i = 0; i < v.letters.size(); ++i) {
        const std::int64_t p = v.letters[i].position;
        if (p >= 0 && static_cast<std::size_t>(p) < at.size()) at[static_cast<std::size_t>(p)] = static_cast<int>(i);
    }
    return at;
}

std::vector<int> liaison_of_letters(const LetterView& v) {
    std::vector<int> of(v.letters.size(), NONE);
    for (std::size_t j = 0; j < v.junctions.size(); ++j) {
        const int l = v.junctions[j].letter;
        if (l >= 0 && static_cast<std::size_t>(l) < of.size()) of[static_cast<std::size_t>(l)] = static_cast<int>(j);
    }
    return of;
}

Text letter_title(const LetterView& v, const Letter& l, int junction) {
    Text out;
    if (l.unit != NONE) {
        out += U"« ";
        out += v.units[static_cast<std::size_t>(l.unit)].letters;
        out += U" »";
    }
    switch (l.role) {
        case Role::Muette: out += out.empty() ? U"lettre muette" : U" lettre muette"; return out;
        case Role::Signe: return U"signe, sans son";
        case Role::Inconnue: return U"lettre non alignée";
        default: break;
    }
    if (!l.phonemes.empty()) {
        out += out.empty() ? U"/" : U" /";
        for (int k : l.phonemes) out += v.phonemes[static_cast<std::size_t>(k)].ipa;
        out += U"/";
    }
    if (junction != NONE) out += U", liaison /" + v.junctions[static_cast<std::size_t>(junction)].consonant + U"/";
    if (l.syllable != NONE) {
        out += U" — syllabe /";
        out += v.syllables[static_cast<std::size_t>(l.syllable)].phone;
        out += U"/";
    }
    return out;
}

}  // namespace vantro::exporting::detail
