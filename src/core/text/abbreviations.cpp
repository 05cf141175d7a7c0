#include "text/abbreviations.hpp"

#include <array>

#include "unicode/properties.hpp"

namespace vantro::text {

namespace {

// Forms common in French prose and school texts. Left out on purpose: single
// letters with a full stop that are also initials (p. for page), "av."
// (avant or avenue), and "Me" (maître, but also the pronoun at the start of a
// sentence).
constexpr std::array<Abbreviation, 22> kDotted = {{
    {U"M.", U"monsieur", U"", kTitle},
    {U"MM.", U"messieurs", U"", kTitle},
    {U"etc.", U"et cetera", U"", kMayEndSentence},
    {U"cf.", U"confer", U"", 0},
    {U"J.-C.", U"Jésus-Christ", U"", kMayEndSentence},
    {U"c.-à-d.", U"c'est-à-dire", U"", 0},
    {U"n°", U"numéro", U"numéros", 0},
    {U"N°", U"numéro", U"numéros", 0},
    {U"nº", U"numéro", U"numéros", 0},
    {U"Nº", U"numéro", U"numéros", 0},
    {U"ex.", U"exemple", U"", 0},
    {U"env.", U"environ", U"", 0},
    {U"tél.", U"téléphone", U"", 0},
    {U"vol.", U"volume", U"", 0},
    {U"chap.", U"chapitre", U"", 0},
    {U"apr.", U"après", U"", 0},
    {U"km/h", U"kilomètre heure", U"kilomètres heure", 0},
    {U"km²", U"kilomètre carré", U"kilomètres carrés", 0},
    {U"m²", U"mètre carré", U"mètres carrés", 0},
    {U"m³", U"mètre cube", U"mètres cubes", 0},
    {U"cm²", U"centimètre carré", U"centimètres carrés", 0},
    {U"cm³", U"centimètre cube", U"centimètres cubes", 0},
}};

constexpr std::array<Abbreviation, 40> kWords = {{
    // Titles before a name.
    {U"Mme", U"madame", U"", kTitle},
    {U"Mmes", U"mesdames", U"", kTitle},
    {U"Mlle", U"mademoiselle", U"", kTitle},
    {U"Mlles", U"mesdemoiselles", U"", kTitle},
    {U"Mᵐᵉ", U"madame", U"", kTitle},
    {U"Mˡˡᵉ", U"mademoiselle", U"", kTitle},
    {U"Dr", U"docteur", U"", kTitle},
    {U"Drs", U"docteurs", U"", kTitle},
    {U"Pr", U"professeur", U"", kTitle},
    {U"Mgr", U"monseigneur", U"", kTitle},
    {U"St", U"saint", U"", kTitle},
    {U"Ste", U"sainte", U"", kTitle},
    {U"Cie", U"compagnie", U"", 0},
    // Units that are no French word.
    {U"km", U"kilomètre", U"kilomètres", 0},
    {U"kg", U"kilogramme", U"kilogrammes", 0},
    {U"cm", U"centimètre", U"centimètres", 0},
    {U"mm", U"millimètre", U"millimètres", 0},
    {U"mg", U"milligramme", U"milligrammes", 0},
    {U"ml", U"millilitre", U"millilitres", 0},
    {U"mL", U"millilitre", U"millilitres", 0},
    {U"cl", U"centilitre", U"centilitres", 0},
    {U"cL", U"centilitre", U"centilitres", 0},
    {U"dl", U"décilitre", U"décilitres", 0},
    {U"kWh", U"kilowattheure", U"kilowattheures", 0},
    {U"kW", U"kilowatt", U"kilowatts", 0},
    // Units that are also letters or words: only after a number.
    {U"m", U"mètre", U"mètres", kAfterNumberOnly},
    {U"g", U"gramme", U"grammes", kAfterNumberOnly},
    {U"l", U"litre", U"litres", kAfterNumberOnly},
    {U"L", U"litre", U"litres", kAfterNumberOnly},
    {U"s", U"seconde", U"secondes", kAfterNumberOnly},
    {U"min", U"minute", U"minutes", kAfterNumberOnly},
    {U"ms", U"milliseconde", U"millisecondes", kAfterNumberOnly},
    {U"t", U"tonne", U"tonnes", kAfterNumberOnly},
    {U"ha", U"hectare", U"hectares", kAfterNumberOnly},
    {U"W", U"watt", U"watts", kAfterNumberOnly},
    {U"V", U"volt", U"volts", kAfterNumberOnly},
    {U"ko", U"kilooctet", U"kilooctets", kAfterNumberOnly},
    {U"Mo", U"mégaoctet", U"mégaoctets", kAfterNumberOnly},
    {U"Go", U"gigaoctet", U"gigaoctets", kAfterNumberOnly},
    {U"j", U"jour", U"jours", kAfterNumberOnly},
}};

}  // namespace

const Abbreviation* match_dotted_abbreviation(TextView s) {
    const Abbreviation* best = nullptr;
    if (s.empty()) return best;
    // Every word of a text comes here: the first letter rules out most forms cheaply.
    for (const Abbreviation& a : kDotted)
        if (a.written[0] == s[0] && s.starts_with(a.written) && (!best || a.written.size() > best->written.size()))
            best = &a;
    return best;
}

const Abbreviation* find_abbreviation(TextView word) {
    if (word.empty()) return nullptr;
    for (const Abbreviation& a : kWords)
        if (a.written[0] == word[0] && a.written == word) return &a;
    return nullptr;
}

SymbolReading symbol_reading(char32_t c) {
    switch (c) {
        case U'%': return {U"pour cent", U""};
        case U'\u2030': return {U"pour mille", U""};
        case U'\u20AC': return {U"euro", U"euros"};
        case U'$': return {U"dollar", U"dollars"};
        case U'\u00A3': return {U"livre", U"livres"};
        case U'\u00A5': return {U"yen", U"yens"};
        case U'\u00A2': return {U"centime", U"centimes"};
        case U'\u00B0': return {U"degré", U"degrés"};
        case U'&': return {U"et", U""};
        case U'@': return {U"arobase", U""};
        case U'#': return {U"dièse", U""};
        case U'\u00A7': return {U"paragraphe", U""};
        case U'+': return {U"plus", U""};
        case U'=': return {U"égale", U""};
        case U'<': return {U"inférieur à", U""};
        case U'>': return {U"supérieur à", U""};
        case U'\u00D7': return {U"fois", U""};
        case U'\u00F7': return {U"divisé par", U""};
        case U'\u00B1': return {U"plus ou moins", U""};
        case U'\u2212': return {U"moins", U""};
        case U'\u00A9': return {U"copyright", U""};
        case U'\u2116': return {U"numéro", U"numéros"};
        default: return {U"", U""};
    }
}

bool is_currency(char32_t c) { return unicode::category(c) == unicode::Category::Sc; }

}  // namespace vantro::text
