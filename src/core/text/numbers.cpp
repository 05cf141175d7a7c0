#include "text/numbers.hpp"

#include <array>

#include "text/abbreviations.hpp"
#include "text/french_numbers.hpp"
#include "text/scan.hpp"

namespace vantro::text {

namespace {

// Superscript letters of ordinal endings (1ᵉʳ, 2ᵈ) as plain ones. Capitals
// are no ending: 3D is a code.
char32_t plain_letter(char32_t c) {
    switch (c) {
        case U'ᵉ': return U'e';
        case U'ʳ': return U'r';
        case U'ˢ': return U's';
        case U'ᵈ': return U'd';
        case U'ⁿ': return U'n';
        default: return c;
    }
}

struct Ending {
    TextView written;
    OrdinalEnding what;
};

// 1er, 1re, 2e, 2nd: the endings of the French style guides, and the common
// ème and ère.
constexpr std::array<Ending, 20> kEndings = {{
    {U"er", {true, false, false, false}},    {U"ers", {true, false, true, false}},
    {U"re", {true, true, false, false}},     {U"res", {true, true, true, false}},
    {U"ère", {true, true, false, false}},    {U"ères", {true, true, true, false}},
    {U"e", {true, false, false, false}},     {U"es", {true, false, true, false}},
    {U"è", {true, false, false, false}},     {U"ème", {true, false, false, false}},
    {U"èmes", {true, false, true, false}},   {U"ième", {true, false, false, false}},
    {U"ièmes", {true, false, true, false}},  {U"nd", {true, false, false, true}},
    {U"nds", {true, false, true, true}},     {U"nde", {true, true, false, true}},
    {U"ndes", {true, true, true, true}},     {U"d", {true, false, false, true}},
    {U"de", {true, true, false, true}},      {U"ds", {true, false, true, true}},
}};

bool is_unit(TextView letters) {
    const Abbreviation* a = find_abbreviation(letters);
    return a && !a->plural.empty();
}

bool word_boundary(TextView t, std::size_t i) { return i >= t.size() || !is_alnum(t[i]); }

// Two digits for the minutes, and nothing alphanumeric after them.
bool two_digits_at(TextView t, std::size_t i) {
    return i + 2 <= t.size() && is_digit(t[i]) && is_digit(t[i + 1]) && word_boundary(t, i + 2);
}

bool ascii_digits(TextView s) {
    for (char32_t c : s)
        if (c < U'0' || c > U'9') return false;
    return true;
}

std::optional<std::uint64_t> parse(TextView digits) {
    if (digits.empty() || digits.size() > 18 || !ascii_digits(digits)) return std::nullopt;
    std::uint64_t v = 0;
    for (char32_t c : digits) v = v * 10 + (c - U'0');
    return v;
}

}  // namespace

OrdinalEnding ordinal_ending(TextView suffix) {
    Text plain;
    plain.reserve(suffix.size());
    for (char32_t c : suffix) plain.push_back(plain_letter(c));
    for (const Ending& e : kEndings)
        if (e.written == plain) return e.what;
    return {};
}

std::optional<Text> ordinal_reading(std::uint64_t value, const OrdinalEnding& ending) {
    std::optional<Text> words;
    if (ending.second && value == 2) words = Text(ending.feminine ? U"seconde" : U"second");
    else words = ordinal_words(value, ending.feminine);
    if (words && ending.plural) words->push_back(U's');
    return words;
}

NumberScan scan_number(TextView t, std::size_t start) {
    const std::size_t n = t.size();
    NumberScan r;
    std::size_t i = start;
    TextView sign;
    if (t[i] == U'-' || t[i] == U'\u2212') sign = U"moins", ++i;
    else if (t[i] == U'+') sign = U"plus", ++i;

    const std::size_t digits_start = i;
    // Integer part, with its groups of three digits.
    Text integer;
    std::size_t e = digits_end(t, i);
    integer.append(t.substr(i, e - i));
    i = e;
    if (integer.size() <= 3) {
        while (i + 4 <= n && is_group_space(t[i]) && digits_end(t, i + 1) == i + 4) {
            integer.append(t.substr(i + 1, 3));
            i += 4;
        }
    }
    r.value = parse(integer);

    // Decimals and other runs joined to it.
    Text joined;
    Text cents;  // two decimals after a comma or a full stop, for amounts
    std::size_t joins = 0;
    while (i + 1 < n && (t[i] == U',' || t[i] == U'.' || t[i] == U'/' || t[i] == U':' || is_hyphen(t[i])) &&
           is_digit(t[i + 1])) {
        e = digits_end(t, i + 1);
        joined.push_back(is_hyphen(t[i]) ? U'-' : t[i]);
        joined.append(t.substr(i + 1, e - i - 1));
        if (++joins == 1 && (t[i] == U',' || t[i] == U'.') && e - i - 1 == 2) cents.assign(t.substr(i + 1, 2));
        else cents.clear();
        i = e;
    }
    const bool plural = r.value && *r.value >= 2;

    Text core = integer + joined;
    bool done = false;
    if (i < n && is_letter(t[i])) {
        // Letters right after the digits.
        const std::size_t le = letters_end(t, i);
        const TextView letters = t.substr(i, le - i);
        const OrdinalEnding ending = joins == 0 ? ordinal_ending(letters) : OrdinalEnding{};
        // "nd" and "d" only ever follow a 2.
        if (ending.ordinal && word_boundary(t, le) && (!ending.second || r.value == 2u)) {
            std::optional<Text> words = r.value ? ordinal_reading(*r.value, ending) : std::nullopt;
            core = words ? *words : core + Text(letters);
            i = le;
            done = true;
        } else if (letters == U"h" && joins == 0) {
            core.append(plural ? U" heures" : U" heure");
            i = le;
            if (two_digits_at(t, i)) core.append(U" ").append(t.substr(i, 2)), i += 2;
            done = true;
        } else if (!(is_unit(letters) && word_boundary(t, le))) {
            r.code = true;
            r.end = word_run(t, digits_start).end;
            return r;
        }
    } else if (joins == 0 && i + 2 <= n && is_group_space(t[i]) && t[i + 1] == U'h' && word_boundary(t, i + 2)) {
        // 8 h, 8 h 30
        core.append(plural ? U" heures" : U" heure");
        i += 2;
        if (i + 1 < n && is_group_space(t[i]) && two_digits_at(t, i + 1)) core.append(U" ").append(t.substr(i + 1, 2)), i += 3;
        done = true;
    }
    if (!done) {
        // A sign after the number: 50 %, 10 €, 20 °C.
        std::size_t k = i < n && is_group_space(t[i]) ? i + 1 : i;
        if (k < n && (t[k] == U'%' || t[k] == U'\u2030' || t[k] == U'\u00B0' || is_currency(t[k]))) {
            const SymbolReading s = symbol_reading(t[k]);
            const TextView said = s.reading.empty() ? TextView(t.substr(k, 1))
                                  : plural && !s.plural.empty() ? s.plural : s.reading;
            if (is_currency(t[k]) && !cents.empty()) {
                core = integer + U" " + Text(said) + U" " + cents;
            } else {
                core.append(U" ").append(said);
            }
            ++k;
            if (t[k - 1] == U'\u00B0' && k < n && (t[k] == U'C' || t[k] == U'F') && word_boundary(t, k + 1)) {
                core.append(t[k] == U'C' ? U" Celsius" : U" Fahrenheit");
                ++k;
            }
            i = k;
        }
    }
    r.end = skip_marks(t, i);
    if (!sign.empty()) r.reading.append(sign).append(U" ");
    r.reading.append(core);
    return r;
}

}  // namespace vantro::text
