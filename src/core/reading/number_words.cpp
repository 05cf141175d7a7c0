#include "reading/number_words.hpp"

#include <array>
#include <cstdint>

#include "text/french_numbers.hpp"
#include "unicode/unicode.hpp"

namespace vantro::reading {

namespace {

inline bool is_digit(char32_t c) noexcept { return c >= U'0' && c <= U'9'; }

// Latin letters, the only ones a French reading is made of.
inline bool is_latin_letter(char32_t c) noexcept {
    return (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z') ||
           (c >= 0xC0 && c <= 0x24F && c != 0xD7 && c != 0xF7) || (c >= 0x1E00 && c <= 0x1EFF);
}

inline bool is_group_space(char32_t c) noexcept {
    return c == U' ' || c == U'\u00A0' || c == U'\u202F' || c == U'\u2009';
}

const std::array<const char32_t*, 12> kMonths = {U"janvier", U"février", U"mars",      U"avril",
                                                 U"mai",     U"juin",    U"juillet",   U"août",
                                                 U"septembre", U"octobre", U"novembre", U"décembre"};

void append_word(Text& out, TextView word) {
    if (word.empty()) return;
    if (!out.empty() && out.back() != U' ') out += U' ';
    out.append(word);
}

// The digits at `i`, groups of three after spaces included ("1 000 000").
std::size_t scan_integer(TextView s, std::size_t i, Text& digits) {
    std::size_t j = i;
    while (j < s.size() && is_digit(s[j])) digits.push_back(s[j++]);
    if (j - i > 3) return j;
    while (j < s.size() && is_group_space(s[j])) {
        std::size_t k = j + 1;
        std::size_t n = 0;
        while (k < s.size() && is_digit(s[k]) && n < 4) ++k, ++n;
        if (n != 3) break;
        digits.append(s.substr(j + 1, 3));
        j = k;
    }
    return j;
}

std::size_t scan_digits(TextView s, std::size_t i, Text& digits) {
    while (i < s.size() && is_digit(s[i])) digits.push_back(s[i++]);
    return i;
}

unsigned small_value(TextView digits) {
    unsigned v = 0;
    for (char32_t c : digits) {
        v = v * 10 + (c - U'0');
        if (v > 10000) break;
    }
    return v;
}

// "un" -> "une" when the number counts a feminine noun that follows it
// ("1 heure", "21 heures").
void feminine_before(Text& out, std::size_t number_start, TextView rest) {
    while (!rest.empty() && rest.front() == U' ') rest.remove_prefix(1);
    static const std::array<TextView, 5> kFeminine = {U"heure", U"minute", U"seconde", U"fois", U"année"};
    bool feminine = false;
    for (TextView noun : kFeminine) feminine = feminine || rest.substr(0, noun.size()) == noun;
    if (!feminine || out.size() < number_start + 2) return;
    const TextView number = TextView(out).substr(number_start);
    if (number == U"un" || number.ends_with(U" un") || number.ends_with(U"-un")) out += U'e';
}

}  // namespace

std::optional<Text> cardinal_words(TextView digits) {
    if (digits.empty()) return std::nullopt;
    for (char32_t c : digits)
        if (!is_digit(c)) return std::nullopt;
    Text out;
    std::size_t i = 0;
    while (i + 1 < digits.size() && digits[i] == U'0') {
        append_word(out, *text::cardinal_words(0));
        ++i;
    }
    const TextView rest = digits.substr(i);
    std::optional<Text> words;
    if (rest.size() <= 12) {
        std::uint64_t n = 0;
        for (char32_t c : rest) n = n * 10 + (c - U'0');
        words = text::cardinal_words(n);
    }
    if (words) {
        append_word(out, *words);
    } else {
        for (char32_t c : rest) append_word(out, *text::cardinal_words(c - U'0'));
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
        if (!is_digit(c)) {
            if (unicode::is_space(c)) {
                if (!out.empty() && out.back() != U' ') out += U' ';
            } else {
                out.push_back(c);
            }
            ++i;
            continue;
        }
        Text digits;
        std::size_t j = scan_integer(s, i, digits);
        const std::size_t number_start = out.empty() ? 0 : out.size() + 1;
        const bool more = j + 1 < s.size() && is_digit(s[j + 1]);
        if (more && s[j] == U'/') {
            Text second;
            std::size_t k = scan_digits(s, j + 1, second);
            if (k + 1 < s.size() && s[k] == U'/' && is_digit(s[k + 1])) {
                // A date: day, month in words, year.
                Text year;
                k = scan_digits(s, k + 1, year);
                const unsigned month = small_value(second);
                append_word(out, small_value(digits) == 1 ? Text(U"premier") : *cardinal_words(digits));
                if (month >= 1 && month <= 12)
                    append_word(out, kMonths[month - 1]);
                else
                    append_word(out, *cardinal_words(second));
                append_word(out, *cardinal_words(year));
            } else {
                // A fraction: un demi, trois quarts, cinq sur huit.
                append_word(out, *cardinal_words(digits));
                const unsigned den = small_value(second);
                const bool plural = small_value(digits) > 1;
                if (den == 2)
                    append_word(out, plural ? U"demis" : U"demi");
                else if (den == 4)
                    append_word(out, plural ? U"quarts" : U"quart");
                else
                    append_word(out, U"sur " + *cardinal_words(second));
            }
            i = k;
            continue;
        }
        append_word(out, *cardinal_words(digits));
        if (more && (s[j] == U',' || s[j] == U'.')) {
            Text decimals;
            const std::size_t k = scan_digits(s, j + 1, decimals);
            append_word(out, s[j] == U',' ? U"virgule" : U"point");
            append_word(out, *cardinal_words(decimals));
            j = k;
        } else if (more && (s[j] == U':' || s[j] == U'-')) {
            ++j;  // 8:30, 1939-1945: both numbers said
        } else {
            feminine_before(out, number_start, s.substr(j));
        }
        i = j;
    }
    while (!out.empty() && out.back() == U' ') out.pop_back();
    return out;
}

}  // namespace vantro::reading
