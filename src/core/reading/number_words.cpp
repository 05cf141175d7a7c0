#include "reading/number_words.hpp"

#include <array>
#include <cstdint>

#include "unicode/unicode.hpp"

namespace vantro::reading {

namespace {

const std::array<const char32_t*, 20> kBelowTwenty = {
    U"zéro", U"un",       U"deux",     U"trois",    U"quatre",   U"cinq",   U"six",
    U"sept", U"huit",     U"neuf",     U"dix",      U"onze",     U"douze",  U"treize",
    U"quatorze", U"quinze", U"seize", U"dix-sept", U"dix-huit", U"dix-neuf"};
const std::array<const char32_t*, 7> kTens = {U"", U"dix", U"vingt", U"trente", U"quarante", U"cinquante",
                                              U"soixante"};

inline bool is_digit(char32_t c) noexcept { return c >= U'0' && c <= U'9'; }

// Latin letters, the only ones a French reading is made of.
inline bool is_latin_letter(char32_t c) noexcept {
    return (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z') ||
           (c >= 0xC0 && c <= 0x24F && c != 0xD7 && c != 0xF7) || (c >= 0x1E00 && c <= 0x1EFF);
}

// 0 < n < 100. `plural_end`: "quatre-vingts" when it ends the number.
Text below_hundred(unsigned n, bool plural_end) {
    if (n < 20) return kBelowTwenty[n];
    const unsigned t = n / 10;
    const unsigned u = n % 10;
    Text out;
    if (t <= 6) {
        out = kTens[t];
        if (u == 1)
            out += U" et un";
        else if (u > 0)
            out.append(U"-").append(kBelowTwenty[u]);
    } else if (t == 7) {
        out = U"soixante";
        out.append(u == 1 ? U" et " : U"-").append(kBelowTwenty[10 + u]);
    } else {
        out = U"quatre-vingt";
        if (t == 8 && u == 0) {
            if (plural_end) out += U's';
        } else {
            out.append(U"-").append(kBelowTwenty[(t - 8) * 10 + u]);
        }
    }
    return out;
}

// 0 < n < 1000.
Text below_thousand(unsigned n, bool plural_end) {
    const unsigned h = n / 100;
    const unsigned r = n % 100;
    Text out;
    if (h > 0) {
        if (h > 1) out.append(kBelowTwenty[h]).append(U" ");
        out += U"cent";
        if (h > 1 && r == 0 && plural_end) out += U's';
    }
    if (r > 0) {
        if (!out.empty()) out += U' ';
        out += below_hundred(r, plural_end);
    }
    return out;
}

Text cardinal(std::uint64_t n) {
    if (n == 0) return kBelowTwenty[0];
    struct Scale {
        std::uint64_t value;
        const char32_t* name;  // a noun, plural in -s ("" for mille, which is invariable)
    };
    static const std::array<Scale, 5> kScales = {{{1000000000000000ull, U"billiard"},
                                                  {1000000000000ull, U"billion"},
                                                  {1000000000ull, U"milliard"},
                                                  {1000000ull, U"million"},
                                                  {1000ull, nullptr}}};
    Text out;
    for (const Scale& s : kScales) {
        const auto k = static_cast<unsigned>(n / s.value);
        n %= s.value;
        if (k == 0) continue;
        if (!out.empty()) out += U' ';
        if (s.name) {
            // Before a noun the plurals of vingt and cent stay.
            out.append(below_thousand(k, true)).append(U" ").append(s.name);
            if (k > 1) out += U's';
        } else {
            // "mille", never "un mille"; vingt and cent stay singular before it.
            if (k > 1) out.append(below_thousand(k, false)).append(U" ");
            out += U"mille";
        }
    }
    if (n > 0) {
        if (!out.empty()) out += U' ';
        out += below_thousand(static_cast<unsigned>(n), true);
    }
    return out;
}

bool ends_with(TextView s, TextView suffix) {
    return s.size() >= suffix.size() && s.substr(s.size() - suffix.size()) == suffix;
}

// Position just after the last word of `words`, and where that word starts
// (after its last space or hyphen).
std::size_t last_word_start(TextView words) {
    const std::size_t cut = words.find_last_of(U" -");
    return cut == TextView::npos ? 0 : cut + 1;
}

int roman_value(char32_t c) {
    switch (c) {
    case U'I': return 1;
    case U'V': return 5;
    case U'X': return 10;
    case U'L': return 50;
    case U'C': return 100;
    case U'D': return 500;
    case U'M': return 1000;
    default: return 0;
    }
}

// Value of a Roman numeral in capitals (up to 3999), or 0.
unsigned roman(TextView s) {
    if (s.empty() || s.size() > 15) return 0;
    unsigned total = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const int v = roman_value(s[i]);
        if (v == 0) return 0;
        const int next = i + 1 < s.size() ? roman_value(s[i + 1]) : 0;
        if (v < next)
            total -= static_cast<unsigned>(v);
        else
            total += static_cast<unsigned>(v);
    }
    return total > 0 && total < 4000 ? total : 0;
}

// Ordinal suffixes as written after a number: "er", "re", "e", "ème" ...
struct Suffix {
    TextView text;
    bool feminine;
    bool second;  // "nd", "nde": second(e)
};
const std::array<Suffix, 14> kOrdinalSuffixes = {{{U"ère", true, false},
                                                  {U"ere", true, false},
                                                  {U"re", true, false},
                                                  {U"er", false, false},
                                                  {U"ᵉʳ", false, false},
                                                  {U"ʳᵉ", true, false},
                                                  {U"ème", false, false},
                                                  {U"eme", false, false},
                                                  {U"ième", false, false},
                                                  {U"è", false, false},
                                                  {U"ᵉ", false, false},
                                                  {U"nde", true, true},
                                                  {U"nd", false, true},
                                                  {U"e", false, false}}};

// The ordinal suffix at `i`, when it ends a word there.
const Suffix* ordinal_suffix_at(TextView s, std::size_t i) {
    for (const Suffix& suf : kOrdinalSuffixes) {
        if (s.substr(i, suf.text.size()) != suf.text) continue;
        const std::size_t end = i + suf.text.size();
        if (end < s.size() && is_latin_letter(s[end])) continue;
        return &suf;
    }
    return nullptr;
}

Text ordinal_of(std::uint64_t n, const Suffix& suf) {
    if (suf.second && n == 2) return suf.feminine ? U"seconde" : U"second";
    return ordinal_words(cardinal(n), suf.feminine);
}

// Signs said as words inside a formula.
const char32_t* sign_word(char32_t c) {
    switch (c) {
    case U'%': return U"pour cent";
    case U'‰': return U"pour mille";
    case U'€': return U"euros";
    case U'$': return U"dollars";
    case U'£': return U"livres";
    case U'°': return U"degrés";
    case U'+': return U"plus";
    case U'=': return U"égale";
    case U'&': return U"et";
    case U'§': return U"paragraphe";
    case U'@': return U"arobase";
    case U'×': return U"fois";
    case U'÷': return U"divisé par";
    case U'±': return U"plus ou moins";
    case U'#': return U"dièse";
    default: return nullptr;
    }
}

// Digits of a number that may use spaces between groups of three ("1 000 000").
// Returns the end of the number and appends its digits to `digits`.
std::size_t scan_integer(TextView s, std::size_t i, Text& digits) {
    std::size_t j = i;
    while (j < s.size() && is_digit(s[j])) digits.push_back(s[j++]);
    if (j - i > 3) return j;
    // A group of three digits after a space (plain, no-break or narrow no-break).
    while (j < s.size() &&
           (s[j] == U' ' || s[j] == U'\u00A0' || s[j] == U'\u202F' || s[j] == U'\u2009')) {
        std::size_t k = j + 1;
        std::size_t n = 0;
        while (k < s.size() && is_digit(s[k]) && n < 4) ++k, ++n;
        if (n != 3) break;
        digits.append(s.substr(j + 1, 3));
        j = k;
    }
    return j;
}

void append_word(Text& out, TextView word) {
    if (word.empty()) return;
    if (!out.empty() && out.back() != U' ') out += U' ';
    out.append(word);
}

// "un" -> "une" when the number (in `out`, from `number_start`) counts a
// feminine noun that follows: "1 heure", "21 heures".
void feminine_before(Text& out, std::size_t number_start, TextView rest) {
    std::size_t k = 0;
    while (k < rest.size() && rest[k] == U' ') ++k;
    const TextView next = rest.substr(k);
    if (next.substr(0, 5) != U"heure" && next.substr(0, 7) != U"minute" && next.substr(0, 7) != U"seconde" &&
        next.substr(0, 4) != U"fois" && next.substr(0, 5) != U"année")
        return;
    if (out.size() >= number_start + 2 && ends_with(out, U"un") &&
        (out.size() == number_start + 2 || out[out.size() - 3] == U' ' || out[out.size() - 3] == U'-'))
        out += U'e';
}

}  // namespace

std::optional<Text> cardinal_words(TextView digits) {
    if (digits.empty()) return std::nullopt;
    for (char32_t c : digits)
        if (!is_digit(c)) return std::nullopt;
    Text out;
    std::size_t i = 0;
    // Leading zeros are said (a code, an hour: "07").
    while (i + 1 < digits.size() && digits[i] == U'0') {
        append_word(out, kBelowTwenty[0]);
        ++i;
    }
    const TextView rest = digits.substr(i);
    if (rest.size() > 18) {
        for (char32_t c : rest) append_word(out, kBelowTwenty[c - U'0']);
        return out;
    }
    std::uint64_t n = 0;
    for (char32_t c : rest) n = n * 10 + (c - U'0');
    append_word(out, cardinal(n));
    return out;
}

Text ordinal_words(TextView words, bool feminine) {
    if (words == U"un") return feminine ? U"première" : U"premier";
    Text out(words);
    const std::size_t start = last_word_start(out);
    TextView last = TextView(out).substr(start);
    if (last == U"cinq") {
        out += U"uième";
    } else if (last == U"neuf") {
        out.back() = U'v';
        out += U"ième";
    } else {
        if (ends_with(last, U"s") && (ends_with(last, U"vingts") || ends_with(last, U"cents"))) out.pop_back();
        if (!out.empty() && out.back() == U'e') out.pop_back();
        out += U"ième";
    }
    return out;
}

bool is_word_reading(TextView s) noexcept {
    bool any = false;
    for (char32_t c : s) {
        if (is_latin_letter(c) || unicode::is_mark(c)) {
            any = true;
            continue;
        }
        if (c != U' ' && c != U'\'' && c != U'-') return false;
    }
    return any;
}

Text spell_numbers(TextView s) {
    Text out;
    for (std::size_t i = 0; i < s.size();) {
        const char32_t c = s[i];
        if (is_digit(c)) {
            Text digits;
            std::size_t j = scan_integer(s, i, digits);
            const std::size_t number_start = out.empty() ? 0 : out.size() + 1;
            // A fraction: "1/2", "3/4".
            if (j + 1 < s.size() && s[j] == U'/' && is_digit(s[j + 1])) {
                Text den;
                std::size_t k = j + 1;
                while (k < s.size() && is_digit(s[k])) den.push_back(s[k++]);
                append_word(out, *cardinal_words(digits));
                if (den == U"2")
                    append_word(out, U"demi");
                else if (den == U"4")
                    append_word(out, U"quart");
                else
                    append_word(out, U"sur " + *cardinal_words(den));
                i = k;
                continue;
            }
            if (const Suffix* suf = j < s.size() ? ordinal_suffix_at(s, j) : nullptr;
                suf && digits.size() <= 18) {
                std::uint64_t n = 0;
                for (char32_t d : digits) n = n * 10 + (d - U'0');
                if (n > 0) {
                    append_word(out, ordinal_of(n, *suf));
                    i = j + suf->text.size();
                    continue;
                }
            }
            append_word(out, *cardinal_words(digits));
            // A decimal part: "3,5", "0,25".
            if (j + 1 < s.size() && (s[j] == U',' || s[j] == U'.') && is_digit(s[j + 1])) {
                append_word(out, s[j] == U',' ? U"virgule" : U"point");
                Text decimals;
                std::size_t k = j + 1;
                while (k < s.size() && is_digit(s[k])) decimals.push_back(s[k++]);
                append_word(out, *cardinal_words(decimals));
                j = k;
            } else {
                feminine_before(out, number_start, s.substr(j));
            }
            i = j;
            continue;
        }
        // A Roman numeral with an ordinal suffix: "XIXe", "IIIe".
        if (roman_value(c) && (i == 0 || !is_latin_letter(s[i - 1]))) {
            std::size_t j = i;
            while (j < s.size() && roman_value(s[j])) ++j;
            const Suffix* suf = j < s.size() ? ordinal_suffix_at(s, j) : nullptr;
            if (suf && !suf->second) {
                if (const unsigned n = roman(s.substr(i, j - i))) {
                    append_word(out, ordinal_of(n, *suf));
                    i = j + suf->text.size();
                    continue;
                }
            }
        }
        if (c == U'-' && i + 1 < s.size() && is_digit(s[i + 1]) && (i == 0 || s[i - 1] == U' ')) {
            append_word(out, U"moins");
            ++i;
            continue;
        }
        if (const char32_t* word = sign_word(c)) {
            append_word(out, word);
            ++i;
            continue;
        }
        if (unicode::is_space(c)) {
            if (!out.empty() && out.back() != U' ') out += U' ';
            ++i;
            continue;
        }
        if (!out.empty() && out.back() == U' ' && (c == U',' || c == U'.')) {
            ++i;  // stray punctuation inside a formula is not said
            continue;
        }
        out.push_back(c);
        ++i;
    }
    while (!out.empty() && out.back() == U' ') out.pop_back();
    return out;
}

}  // namespace vantro::reading
