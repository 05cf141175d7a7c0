#include "text/french_numbers.hpp"

#include <array>

namespace vantro::text {

namespace {

constexpr std::array<TextView, 20> kUnits = {
    U"zéro", U"un", U"deux", U"trois", U"quatre", U"cinq", U"six", U"sept", U"huit", U"neuf",
    U"dix", U"onze", U"douze", U"treize", U"quatorze", U"quinze", U"seize", U"dix-sept", U"dix-huit", U"dix-neuf",
};
constexpr std::array<TextView, 7> kTens = {U"", U"", U"vingt", U"trente", U"quarante", U"cinquante", U"soixante"};

void below_hundred(Text& out, unsigned n) {
    if (n < 20) {
        out.append(kUnits[n]);
    } else if (n < 70) {
        out.append(kTens[n / 10]);
        if (n % 10 == 1) out.append(U" et un");
        else if (n % 10 != 0) out.append(U"-").append(kUnits[n % 10]);
    } else if (n < 80) {
        out.append(n == 71 ? U"soixante et onze" : U"soixante-");
        if (n != 71) out.append(kUnits[n - 60]);
    } else {
        out.append(U"quatre-vingt");
        if (n == 80) out.append(U"s");
        else out.append(U"-").append(kUnits[n - 80]);
    }
}

// 1 to 999. `final` is false before mille, where cents and vingts lose their s.
void below_thousand(Text& out, unsigned n, bool final) {
    const unsigned h = n / 100, r = n % 100;
    if (h > 0) {
        if (h > 1) out.append(kUnits[h]).append(U" ");
        out.append(U"cent");
        if (h > 1 && r == 0 && final) out.append(U"s");
        if (r != 0) out.append(U" ");
    }
    if (r != 0) {
        below_hundred(out, r);
        if (r == 80 && !final) out.pop_back();
    }
}

void append_scale(Text& out, std::uint64_t count, TextView name) {
    if (!out.empty()) out.append(U" ");
    below_thousand(out, static_cast<unsigned>(count), true);
    out.append(U" ").append(name);
    if (count > 1) out.append(U"s");
}

}  // namespace

std::optional<Text> cardinal_words(std::uint64_t n) {
    if (n > kMaxSpelled) return std::nullopt;
    if (n == 0) return Text(kUnits[0]);
    Text out;
    const std::uint64_t milliards = n / 1'000'000'000, millions = n / 1'000'000 % 1000, milliers = n / 1000 % 1000,
                        rest = n % 1000;
    if (milliards != 0) append_scale(out, milliards, U"milliard");
    if (millions != 0) append_scale(out, millions, U"million");
    if (milliers != 0) {
        if (!out.empty()) out.append(U" ");
        if (milliers > 1) below_thousand(out, static_cast<unsigned>(milliers), false), out.append(U" ");
        out.append(U"mille");
    }
    if (rest != 0) {
        if (!out.empty()) out.append(U" ");
        below_thousand(out, static_cast<unsigned>(rest), true);
    }
    return out;
}

std::optional<Text> ordinal_words(std::uint64_t n, bool feminine) {
    if (n == 1) return Text(feminine ? U"première" : U"premier");
    std::optional<Text> words = cardinal_words(n);
    if (!words) return std::nullopt;
    Text& w = *words;
    // The last word takes -ième: cinq -> cinquième, neuf -> neuvième, a final
    // e or plural s goes (quatre -> quatrième, quatre-vingts -> quatre-vingtième).
    if (w.ends_with(U"cinq")) w.append(U"u");
    else if (w.ends_with(U"neuf")) w.back() = U'v';
    else if (w.back() == U'e' || w.ends_with(U"vingts") || w.ends_with(U"cents") || w.ends_with(U"ons") ||
             w.ends_with(U"ards"))
        w.pop_back();
    w.append(U"ième");
    return words;
}

std::optional<std::uint64_t> roman_value(TextView s) {
    if (s.empty() || s.size() > 15) return std::nullopt;
    auto digit = [](char32_t c) -> unsigned {
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
    };
    std::uint64_t total = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const unsigned v = digit(s[i]);
        if (v == 0) return std::nullopt;
        const unsigned next = i + 1 < s.size() ? digit(s[i + 1]) : 0;
        if (next > v) total -= v;
        else total += v;
    }
    // Canonical form only: XIV yes, IIII or IC no.
    static constexpr std::array<std::pair<unsigned, TextView>, 13> kParts = {{
        {1000, U"M"}, {900, U"CM"}, {500, U"D"}, {400, U"CD"}, {100, U"C"}, {90, U"XC"}, {50, U"L"},
        {40, U"XL"}, {10, U"X"}, {9, U"IX"}, {5, U"V"}, {4, U"IV"}, {1, U"I"},
    }};
    if (total == 0 || total > 3999) return std::nullopt;
    Text canonical;
    std::uint64_t left = total;
    for (const auto& [v, letters] : kParts)
        while (left >= v) canonical.append(letters), left -= v;
    if (canonical != s) return std::nullopt;
    return total;
}

}  // namespace vantro::text
