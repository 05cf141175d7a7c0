// The data file as the Python binding compiles it, for the core benchmarks.
// The data file is found beside the sources, or through VANTRO_DATA_FILE.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "alignment/phone_table.hpp"
#include "mini_json.hpp"
#include "phonology/phoneme_sets.hpp"
#include "phonology/sonority.hpp"

namespace bench_data {

using namespace vantro;

// What the Python binding compiles from the loader's tables.
struct Data {
    PhonemeSets sets;
    SonorityClasses sonority;
    PhoneTable table;
    TextSet silent;
    Alphabet alphabet;
};

inline std::filesystem::path data_path() {
    if (const char* env = std::getenv("VANTRO_DATA_FILE")) return env;
    return std::filesystem::path(__FILE__).parent_path() / ".." / ".." / "src" / "vantro_aligneur" / "data" /
           "donnees_aligneur.json";
}

inline const mini_json::Value& member(const mini_json::Value& v, std::u32string_view key) {
    const mini_json::Value* m = v.find(key);
    if (!m) throw std::runtime_error("data file: missing member");
    return *m;
}

inline Data load() {
    std::ifstream in(data_path(), std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + data_path().string());
    std::stringstream buf;
    buf << in.rdbuf();
    const mini_json::Value doc = mini_json::parse(buf.str());
    Data d;
    for (const auto& [symbol, entry] : member(doc, U"alphabet_ipa").members) {
        AlphabetEntry e;
        if (const auto* t = entry.find(U"type"); t && t->kind == mini_json::Value::String) e.type = t->text;
        if (const auto* t = entry.find(U"sous_type"); t && t->kind == mini_json::Value::String) e.sous_type = t->text;
        if (e.type == U"voyelle" && e.sous_type == U"orale") d.sets.voyelles.insert(symbol);
        if (e.type == U"consonne") d.sets.consonnes.insert(symbol);
        if (e.type == U"semi-voyelle") d.sets.semi_voyelles.insert(symbol);
        d.alphabet.emplace_back(symbol, std::move(e));
    }
    d.sonority = build_sonority_classes(d.alphabet);
    for (const auto& [key, graphemes] : member(doc, U"phone_to_graphemes").members) {
        std::vector<Text> list;
        for (const auto& g : graphemes.items) list.push_back(g.text);
        d.table.entries.emplace_back(key, std::move(list));
    }
    for (const auto& letter : member(doc, U"lettres_muettes_possibles").items) d.silent.insert(letter.text);
    return d;
}

inline const Data& data() {
    static const Data d = load();
    return d;
}

inline const CompiledTable& compiled() {
    static const CompiledTable t(data().table);
    return t;
}

}  // namespace bench_data
