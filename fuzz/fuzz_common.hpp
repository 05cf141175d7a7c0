// Shared by the fuzz targets: the linguistic data, a decoder that makes text
// of any bytes, and the checks whose failure is a finding.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "alignment/phone_table.hpp"
#include "common/text.hpp"
#include "phonology/phoneme_sets.hpp"
#include "phonology/sonority.hpp"

// A broken invariant: report it and abort, so that libFuzzer keeps the input.
#define FUZZ_CHECK(cond)                                                                   \
    do {                                                                                   \
        if (!(cond)) {                                                                     \
            std::fprintf(stderr, "invariant failed at %s:%d: %s\n", __FILE__, __LINE__, #cond); \
            std::abort();                                                                  \
        }                                                                                  \
    } while (0)

namespace vantro::fuzz {

struct Data {
    Alphabet alphabet;
    PhonemeSets sets;
    SonorityClasses sonority;
    PhoneTable table;
    TextSet silent;
};

inline std::vector<std::string_view> split(std::string_view s, char sep, std::size_t max = SIZE_MAX) {
    std::vector<std::string_view> out;
    while (out.size() + 1 < max) {
        const std::size_t at = s.find(sep);
        if (at == std::string_view::npos) break;
        out.push_back(s.substr(0, at));
        s.remove_prefix(at + 1);
    }
    out.push_back(s);
    return out;
}

inline void finish(Data& d) {
    d.sets = derive_phoneme_sets(d.alphabet);
    d.sonority = build_sonority_classes(d.alphabet);
}

// A small French table, used when no data file is given.
inline void builtin(Data& d) {
    const char* vowels[] = {"a", "e", "i", "o", "u", "y", "ɔ", "ɛ", "ø", "œ", "ə", "ɑ"};
    for (const char* v : vowels) d.alphabet.push_back({from_utf8(v), {U"voyelle", U"orale"}});
    const char* consonants[][2] = {{"p", ""}, {"t", ""}, {"k", ""}, {"b", ""}, {"d", ""}, {"ɡ", ""}, {"f", ""},
                                   {"v", ""}, {"s", ""}, {"z", ""}, {"ʃ", ""}, {"ʒ", ""}, {"m", "nasale"},
                                   {"n", "nasale"}, {"l", "liquide"}, {"ʁ", "liquide"}};
    for (auto& c : consonants) d.alphabet.push_back({from_utf8(c[0]), {U"consonne", from_utf8(c[1])}});
    for (const char* j : {"j", "w", "ɥ"}) d.alphabet.push_back({from_utf8(j), {U"semi-voyelle", std::nullopt}});
    const char* table[][5] = {
        {"a", "a", "à", "â", nullptr}, {"e", "é", "er", "ez", nullptr}, {"ɛ", "è", "ai", "e", nullptr},
        {"i", "i", "y", nullptr, nullptr}, {"o", "o", "au", "eau", nullptr}, {"ɔ", "o", nullptr, nullptr, nullptr},
        {"u", "ou", nullptr, nullptr, nullptr}, {"y", "u", nullptr, nullptr, nullptr},
        {"ə", "e", nullptr, nullptr, nullptr}, {"ɑ̃", "an", "en", "em", nullptr}, {"ɛ̃", "in", "ain", nullptr, nullptr},
        {"p", "p", "pp", nullptr, nullptr}, {"t", "t", "tt", nullptr, nullptr}, {"k", "c", "qu", "k", "ch"},
        {"s", "s", "ss", "c", "ç"}, {"z", "s", "z", nullptr, nullptr}, {"ʃ", "ch", nullptr, nullptr, nullptr},
        {"l", "l", "ll", nullptr, nullptr}, {"ʁ", "r", "rr", nullptr, nullptr}, {"m", "m", "mm", nullptr, nullptr},
        {"n", "n", "nn", nullptr, nullptr}, {"ks", "x", "x²", nullptr, nullptr}, {"j", "y²", "i", "ill", nullptr},
        {"w", "o", "ou", nullptr, nullptr}, {"ɡ", "g", "gu", nullptr, nullptr}, {"ʒ", "j", "g", nullptr, nullptr},
    };
    for (auto& row : table) {
        std::vector<Text> graphemes;
        for (int i = 1; i < 5 && row[i]; ++i) graphemes.push_back(from_utf8(row[i]));
        d.table.entries.emplace_back(from_utf8(row[0]), std::move(graphemes));
    }
    for (const char* m : {"e", "h", "s", "t", "d", "x", "p"}) d.silent.insert(from_utf8(m));
}

// $VANTRO_FUZZ_DATA: lines "A<TAB>symbol<TAB>type<TAB>sous_type", "G<TAB>key<TAB>grapheme...",
// "M<TAB>letter", written from the package's data file by scripts/fuzz.sh.
inline const Data& data() {
    static const Data loaded = [] {
        Data d;
        const char* path = std::getenv("VANTRO_FUZZ_DATA");
        std::ifstream in(path ? path : "");
        std::string line;
        while (std::getline(in, line)) {
            const auto f = split(line, '\t');
            if (f.size() >= 2 && f[0] == "A") {
                AlphabetEntry e;
                if (f.size() > 2 && !f[2].empty()) e.type = from_utf8(f[2]);
                if (f.size() > 3 && !f[3].empty()) e.sous_type = from_utf8(f[3]);
                d.alphabet.emplace_back(from_utf8(f[1]), e);
            } else if (f.size() >= 2 && f[0] == "G") {
                std::vector<Text> graphemes;
                for (std::size_t i = 2; i < f.size(); ++i) graphemes.push_back(from_utf8(f[i]));
                d.table.entries.emplace_back(from_utf8(f[1]), std::move(graphemes));
            } else if (f.size() == 2 && f[0] == "M") {
                d.silent.insert(from_utf8(f[1]));
            }
        }
        if (d.table.entries.empty()) {
            d = Data{};
            builtin(d);
        }
        finish(d);
        return d;
    }();
    return loaded;
}

// Any bytes are some text: a UTF-8 sequence (surrogates included) is its
// code point, any other byte stands for the code point of the same value.
inline Text decode(std::string_view s) {
    Text out;
    std::size_t i = 0;
    auto b = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    while (i < s.size()) {
        const unsigned char c = b(i);
        std::size_t len = c >= 0xF0 && c <= 0xF4 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 && c < 0xE0 ? 2 : 1;
        if (c < 0x80 || c > 0xF4) len = 1;
        char32_t cp = len == 1 ? c : len == 2 ? (c & 0x1F) : len == 3 ? (c & 0x0F) : (c & 0x07);
        std::size_t k = 1;
        for (; k < len && i + k < s.size() && (b(i + k) & 0xC0) == 0x80; ++k) cp = (cp << 6) | (b(i + k) & 0x3F);
        if (k < len || cp > 0x10FFFF) {
            out.push_back(c);
            ++i;
            continue;
        }
        out.push_back(cp);
        i += len;
    }
    return out;
}

// The texts of a field, separated by "|"; none for an empty field.
inline std::vector<Text> pieces(std::string_view field) {
    std::vector<Text> out;
    if (field.empty()) return out;
    for (std::string_view p : split(field, '|')) out.push_back(decode(p));
    return out;
}

// Signed decimal numbers anywhere in `s`, clamped to 64 bits.
inline std::vector<std::int64_t> numbers(std::string_view s) {
    std::vector<std::int64_t> out;
    for (std::size_t i = 0; i < s.size();) {
        const bool neg = s[i] == '-' && i + 1 < s.size() && s[i + 1] >= '0' && s[i + 1] <= '9';
        if (!neg && (s[i] < '0' || s[i] > '9')) {
            ++i;
            continue;
        }
        if (neg) ++i;
        __int128 v = 0;
        for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
            if (v < (static_cast<__int128>(1) << 64)) v = v * 10 + (s[i] - '0');
        }
        if (neg) v = -v;
        if (v > INT64_MAX) v = INT64_MAX;
        if (v < INT64_MIN) v = INT64_MIN;
        out.push_back(static_cast<std::int64_t>(v));
    }
    return out;
}

}  // namespace vantro::fuzz
