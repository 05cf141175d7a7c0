// Shared by the C++ tests: text helpers, a small French alphabet and phoneme
// table, and one-line descriptions of syllables to compare against.
#pragma once

#include <string>
#include <vector>

#include "alignment/phone_table.hpp"
#include "common/text.hpp"
#include "phonology/phoneme_sets.hpp"
#include "phonology/sonority.hpp"
#include "results/syllable.hpp"

namespace vantro::testing {

inline std::vector<Text> texts(std::initializer_list<const char32_t*> items) {
    std::vector<Text> out;
    for (const char32_t* s : items) out.emplace_back(s);
    return out;
}

inline std::vector<Text> texts(std::initializer_list<const char*> items) {
    std::vector<Text> out;
    for (const char* s : items) out.push_back(from_utf8(s));
    return out;
}

// Oral vowels, consonants and semi-vowels of French, as the data file classes them.
inline PhonemeSets french_sets() {
    PhonemeSets s;
    for (const char* v : {"a", "e", "i", "o", "u", "y", "ɔ", "ɛ", "ø", "œ", "ə", "ɑ"}) s.voyelles.insert(from_utf8(v));
    for (const char* c : {"p", "t", "k", "b", "d", "ɡ", "f", "v", "s", "z", "ʃ", "ʒ", "m", "n", "l", "ʁ"})
        s.consonnes.insert(from_utf8(c));
    for (const char* j : {"j", "w", "ɥ"}) s.semi_voyelles.insert(from_utf8(j));
    return s;
}

// A few entries of the alphabet and of the phoneme table, enough to align
// and syllabify small words and groups (chocolat, les enfants, avec elle, exil).
struct SmallData {
    Alphabet alphabet;
    PhonemeSets sets;
    SonorityClasses sonority;
    CompiledTable table;
    TextSet silent_letters;
};

inline Alphabet small_alphabet() {
    auto entry = [](const char32_t* type, const char32_t* sous_type) {
        AlphabetEntry e;
        e.type = Text(type);
        if (sous_type) e.sous_type = Text(sous_type);
        return e;
    };
    Alphabet a;
    for (const char32_t* v : {U"a", U"e", U"ɛ", U"ɔ", U"i"}) a.emplace_back(v, entry(U"voyelle", U"orale"));
    a.emplace_back(U"ɑ\u0303", entry(U"voyelle", U"nasale"));
    a.emplace_back(U"l", entry(U"consonne", U"liquide"));
    for (const char32_t* c : {U"k", U"f", U"v", U"z", U"ʃ"}) a.emplace_back(c, entry(U"consonne", U"occlusive"));
    return a;
}

inline PhoneTable small_phone_table() {
    PhoneTable t;
    t.entries = {{U"a", {U"a"}},          {U"e", {U"es", U"e"}}, {U"ɛ", {U"e"}},   {U"ɔ", {U"o"}},
                 {U"ɑ\u0303", {U"en", U"an"}}, {U"l", {U"ll", U"l"}}, {U"k", {U"c"}},  {U"f", {U"f"}},
                 {U"v", {U"v"}},          {U"z", {U"s"}},        {U"ʃ", {U"ch"}},  {U"i", {U"i"}},
                 {U"ɛɡz", {U"ex"}}};
    return t;
}

inline const SmallData& small_data() {
    static const SmallData data = [] {
        Alphabet a = small_alphabet();
        PhonemeSets s = french_sets();
        SonorityClasses c = build_sonority_classes(a);
        return SmallData{std::move(a), std::move(s), std::move(c), CompiledTable(small_phone_table()),
                         TextSet{U"e", U"s", U"t", U"h"}};
    }();
    return data;
}

// `phone "ortho" (start,end)` for each syllable, joined with " | ".
inline std::string describe_syllables(const std::vector<SyllabeRec>& syllables) {
    std::string out;
    for (const SyllabeRec& s : syllables) {
        if (!out.empty()) out += " | ";
        out += to_utf8(s.phone) + " \"" + to_utf8(s.ortho) + "\" (" + std::to_string(s.span.start) + "," +
               std::to_string(s.span.end) + ")";
    }
    return out;
}

}  // namespace vantro::testing
