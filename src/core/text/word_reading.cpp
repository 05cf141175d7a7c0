#include "text/word_reading.hpp"

#include "text/abbreviations.hpp"
#include "text/characters.hpp"
#include "text/french_numbers.hpp"
#include "text/numbers.hpp"
#include "text/scan.hpp"
#include "text/word_splitter.hpp"
#include "text/word_table.hpp"

namespace vantro::text {

namespace {

constexpr bool is_roman_letter(char32_t c) {
    return c == U'I' || c == U'V' || c == U'X' || c == U'L' || c == U'C' || c == U'D' || c == U'M';
}

// Capitals that spell a roman numeral but stand for something else far more
// often (a CD, a CV, the vi editor, the size XL).
constexpr WordTable<14> kNotRoman = {
    U"CD", U"DC", U"MC", U"CV", U"CM", U"MD", U"XL", U"CC", U"VI", U"MIX", U"DIX", U"MI", U"DI", U"LI",
};

constexpr WordTable<12> kRomanNouns = {
    U"siècle", U"chapitre", U"tome", U"acte", U"livre", U"partie", U"volume", U"scène", U"leçon", U"titre",
    U"article", U"annexe",
};

// A roman numeral as a number: an ordinal (XIXe, Ier, IIIe) anywhere, a
// cardinal (XIV, II) after a name or a noun that numbers with one.
bool read_roman(TextView w, Piece& p, const Context& before) {
    std::size_t k = 0;
    while (k < w.size() && is_roman_letter(w[k])) ++k;
    if (k == 0) return false;
    const TextView letters = w.substr(0, k), suffix = w.substr(k);
    const std::optional<std::uint64_t> value = roman_value(letters);
    if (!value) return false;
    if (!suffix.empty()) {
        // C, D, L and M alone with an ending are words (Ce, De, Le, Me).
        if (k == 1 && letters != U"I" && letters != U"V" && letters != U"X") return false;
        const OrdinalEnding ending = ordinal_ending(suffix);
        if (!ending.ordinal || (ending.second && *value != 2)) return false;
        std::optional<Text> words = ordinal_reading(*value, ending);
        if (!words) return false;
        p.kind = TokenKind::Number;
        p.reading = std::move(*words);
        return true;
    }
    if (!before.after_name || in_table(kNotRoman, letters)) return false;
    p.kind = TokenKind::Number;
    p.reading = *cardinal_words(*value);
    return true;
}

}  // namespace

bool numbers_with_roman(TextView lower) { return in_table(kRomanNouns, lower); }

Text word_reading(TextView written) {
    Text out;
    out.reserve(written.size());
    for (char32_t c : written) {
        if (is_apostrophe(c)) out.push_back(U'\'');
        else if (is_hyphen(c)) out.push_back(U'-');
        else if (!is_invisible_joiner(c) && !is_middle_dot(c)) out.push_back(c);
    }
    return out;
}

void read_word(TextView t, Piece& p, const Context& before) {
    const TextView w = t.substr(p.begin, p.end - p.begin);
    p.kind = TokenKind::Word;
    if (p.elide || p.trait_union_avant) {
        p.reading = word_reading(w);
        return;
    }
    for (char32_t c : w)
        if (is_digit(c)) {
            p.kind = TokenKind::Code;
            p.reading = word_reading(w);
            return;
        }
    if (const Abbreviation* a = find_abbreviation(w);
        a && (!(a->flags & kAfterNumberOnly) || before.after_number)) {
        p.kind = TokenKind::Abbreviation;
        p.reading = Text(before.after_plural_number && !a->plural.empty() ? a->plural : a->reading);
        if ((a->flags & kTitle) && p.end < t.size() && t[p.end] == U'.') ++p.end;
        return;
    }
    if (read_roman(w, p, before)) return;
    // An initial: one capital and its full stop (J. K. Rowling).
    if (skip_marks(w, 1) == w.size() && unicode::category(w[0]) == unicode::Category::Lu && p.end < t.size() &&
        t[p.end] == U'.') {
        ++p.end;
        p.kind = TokenKind::Abbreviation;
        p.reading = Text(w);
        return;
    }
    p.reading = word_reading(w);
}

}  // namespace vantro::text
