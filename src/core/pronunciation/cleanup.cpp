#include "pronunciation/cleanup.hpp"

#include <array>

#include "phonology/tokens.hpp"
#include "unicode/unicode.hpp"

namespace vantro::pronunciation {

namespace {

using Tokens = std::vector<Text>;

constexpr std::u32string_view VOWELS = U"ieɛaɑɔouyøœə";
constexpr std::u32string_view OBSTRUENTS = U"pbtdkɡgfvszʃʒ";
constexpr std::u32string_view LIQUIDS = U"lʁr";
constexpr std::u32string_view NASALS = U"mnɲŋ";
constexpr std::u32string_view VOWEL_LETTERS = U"aàâäeéèêëiîïoôöuùûüyÿœæ";

bool in(std::u32string_view set, char32_t c) noexcept { return set.find(c) != std::u32string_view::npos; }
bool single(const Text& t, std::u32string_view set) noexcept { return t.size() == 1 && in(set, t[0]); }
// Oral or nasal: a nasal vowel is an oral one with a combining tilde.
bool is_vowel(const Text& t) noexcept { return !t.empty() && in(VOWELS, t[0]); }
bool is_consonant(const Text& t) noexcept {
    return single(t, OBSTRUENTS) || single(t, LIQUIDS) || single(t, NASALS);
}
bool is(const Tokens& toks, std::size_t k, std::u32string_view phoneme) noexcept {
    return k < toks.size() && toks[k] == phoneme;
}
// An obstruent and a liquid just before token k: "cruel", "gluant" keep /y/.
bool after_cluster(const Tokens& toks, std::size_t k) noexcept {
    return k >= 2 && single(toks[k - 2], OBSTRUENTS) && single(toks[k - 1], LIQUIDS);
}
// Some letter of `first` directly followed by some letter of `then`.
bool has_pair(TextView word, std::u32string_view first, std::u32string_view then) noexcept {
    for (std::size_t i = 0; i + 1 < word.size(); ++i) {
        if (in(first, word[i]) && in(then, word[i + 1])) return true;
    }
    return false;
}

// ---- the rules: each rewrites the tokens in place, `word` is lower case

// "nuit", "suis", "lui", "bruit", "construit": French says /ɥi/, never /y.i/.
void ui_glide(TextView word, Tokens& toks) {
    if (!has_pair(word, U"uûü", U"iïîy")) return;
    for (std::size_t k = 0; k + 1 < toks.size(); ++k) {
        if (toks[k] == U"y" && toks[k + 1] == U"i") toks[k] = U"ɥ";
    }
}

// "nuage", "tuer", "muet": /ɥ/ before a vowel; after an obstruent and a
// liquid the vowel stays ("cruel", "gluant"). Before a schwa too.
void u_glide(TextView word, Tokens& toks) {
    if (!has_pair(word, U"uûü", VOWEL_LETTERS)) return;
    for (std::size_t k = 0; k + 1 < toks.size(); ++k) {
        const Text& next = toks[k + 1];
        if (toks[k] == U"y" && is_vowel(next) && next != U"i" && next != U"ə" && !after_cluster(toks, k)) {
            toks[k] = U"ɥ";
        }
    }
}

// Letters of the word that French reads /ɲ/ ("gn" after the first letter,
// before a vowel, an s or the end) or /nj/ ("ni", "ny" before a vowel), in
// order: true for a "gn".
std::vector<bool> palatal_sources(TextView word) {
    std::vector<bool> out;
    for (std::size_t i = 0; i + 1 < word.size();) {
        const bool tail_ok = i + 2 == word.size() || in(VOWEL_LETTERS, word[i + 2]) || word[i + 2] == U's';
        if (i > 0 && word[i] == U'g' && word[i + 1] == U'n' && tail_ok) {
            out.push_back(true);
            i += 2;
        } else if (word[i] == U'n' && in(U"iyï", word[i + 1]) && i + 2 < word.size() && in(VOWEL_LETTERS, word[i + 2])) {
            out.push_back(false);
            i += 2;
        } else {
            ++i;
        }
    }
    return out;
}

// "gagné" /ɡanje/, "champignon" /ʃɑ̃pinjɔ̃/, "compagnie" /kɔ̃pani/: espeak-ng
// reads "gn" as /nj/ or /n/; French says /ɲ/. The palatal places of the
// reading (ɲ, n+j, n+i) are paired in order with the letters that make
// them; when their numbers differ the pairing is unsure and nothing changes.
void gn_palatal(TextView word, Tokens& toks) {
    const std::vector<bool> sources = palatal_sources(word);
    bool any_gn = false;
    for (bool gn : sources) any_gn = any_gn || gn;
    if (!any_gn) return;
    std::vector<std::size_t> sites;
    for (std::size_t k = 0; k < toks.size(); ++k) {
        if (toks[k] == U"ɲ" || (toks[k] == U"n" && (is(toks, k + 1, U"j") || is(toks, k + 1, U"i")))) sites.push_back(k);
    }
    if (sites.size() != sources.size()) return;
    // From the right, so erasing a /j/ moves no site still to come.
    for (std::size_t s = sites.size(); s-- > 0;) {
        const std::size_t k = sites[s];
        if (!sources[s] || toks[k] == U"ɲ") continue;
        if (k > 0 && (toks[k - 1] == U"ɡ" || toks[k - 1] == U"g")) continue;  // "stagnions": g said
        const bool glide = is(toks, k + 1, U"j");
        toks[k] = U"ɲ";
        if (glide) toks.erase(toks.begin() + static_cast<std::ptrdiff_t>(k) + 1);
    }
}

// "jouent", "joues" /ʒw/, "jouera" /ʒwʁa/: a /w/ with no vowel after it is
// the vowel /u/ of "ou".
void ou_vowel(TextView word, Tokens& toks) {
    if (!has_pair(word, U"o", U"uûù")) return;
    for (std::size_t k = 0; k < toks.size(); ++k) {
        if (toks[k] == U"w" && (k + 1 == toks.size() || is_consonant(toks[k + 1]))) toks[k] = U"u";
    }
}

// "rien" /ʁiɛ̃/: "ien" is /jɛ̃/ ("bien", "chien") unless an obstruent and a
// liquid come before ("ombrien").
void ien_glide(TextView word, Tokens& toks) {
    if (word.find(U"ien") == TextView::npos) return;
    for (std::size_t k = 1; k + 1 < toks.size(); ++k) {
        if (toks[k] == U"i" && toks[k + 1] == U"ɛ̃" && is_consonant(toks[k - 1]) && !after_cluster(toks, k)) toks[k] = U"j";
    }
}

constexpr std::array<std::u32string_view, 6> UI_FIXES = {
    U"nuit=nyi=nɥi", U"huile=yil=ɥil", U"suis=syi=sɥi", U"lui=lyi=lɥi", U"bruit=bʁyi=bʁɥi", U"construit=kɔ̃stʁyi=kɔ̃stʁɥi"};
constexpr std::array<std::u32string_view, 2> UI_KEEPS = {U"pays=pɛi", U"Louis=lwi"};
constexpr std::array<std::u32string_view, 4> U_FIXES = {
    U"nuage=nyaʒ=nɥaʒ", U"tuer=tye=tɥe", U"muet=myɛ=mɥɛ", U"huer=ye=ɥe"};
constexpr std::array<std::u32string_view, 3> U_KEEPS = {U"cruel=kʁyɛl", U"gluant=ɡlyɑ̃", U"influence=ɛ̃flyɑ̃s"};
constexpr std::array<std::u32string_view, 4> GN_FIXES = {
    U"gagné=ɡanje=ɡaɲe", U"champignon=ʃɑ̃pinjɔ̃=ʃɑ̃piɲɔ̃", U"compagnie=kɔ̃pani=kɔ̃paɲi",
    U"baignoire=bɛnjwaʁ=bɛɲwaʁ"};
constexpr std::array<std::u32string_view, 4> GN_KEEPS = {
    U"montagne=mɔ̃taɲ", U"panier=panje", U"stagnions=staɡnjɔ̃", U"gnome=ɡnom"};
constexpr std::array<std::u32string_view, 3> OU_FIXES = {U"jouent=ʒw=ʒu", U"joues=ʒw=ʒu", U"jouera=ʒwʁa=ʒuʁa"};
constexpr std::array<std::u32string_view, 3> OU_KEEPS = {U"oui=wi", U"ouest=wɛst", U"ouïe=wj"};
constexpr std::array<std::u32string_view, 2> IEN_FIXES = {U"rien=ʁiɛ̃=ʁjɛ̃", U"riens=ʁiɛ̃=ʁjɛ̃"};
constexpr std::array<std::u32string_view, 2> IEN_KEEPS = {U"ombrien=ɔ̃bʁiɛ̃", U"bien=bjɛ̃"};

using RuleFn = void (*)(TextView, Tokens&);
struct Entry {
    CleanupRule rule;
    RuleFn apply;
};

const std::array<Entry, 5> RULES = {{
    {{"ui_glide", "u before i is the glide /ɥ/", UI_FIXES, UI_KEEPS}, ui_glide},
    {{"u_glide", "u before another vowel is /ɥ/, unless an obstruent and a liquid come before", U_FIXES, U_KEEPS},
     u_glide},
    {{"gn_palatal", "gn read /nj/ or /n/ is /ɲ/", GN_FIXES, GN_KEEPS}, gn_palatal},
    {{"ou_vowel", "ou read /w/ with no vowel after it is /u/", OU_FIXES, OU_KEEPS}, ou_vowel},
    {{"ien_glide", "ien read /iɛ̃/ after a single consonant is /jɛ̃/", IEN_FIXES, IEN_KEEPS}, ien_glide},
}};

std::array<CleanupRule, RULES.size()> rule_list() {
    std::array<CleanupRule, RULES.size()> out;
    for (std::size_t i = 0; i < RULES.size(); ++i) out[i] = RULES[i].rule;
    return out;
}

}  // namespace

std::span<const CleanupRule> cleanup_rules() noexcept {
    static const std::array<CleanupRule, RULES.size()> rules = rule_list();
    return rules;
}

CleanupResult clean_pronunciation_traced(TextView word, TextView ipa) {
    CleanupResult out;
    Tokens toks = iter_phonemes(ipa);
    const Text lower = unicode::to_lower(word);
    for (std::size_t i = 0; i < RULES.size(); ++i) {
        const Tokens before = toks;
        RULES[i].apply(lower, toks);
        if (toks != before) out.applied |= std::uint32_t{1} << i;
    }
    if (out.applied == 0) {
        out.ipa.assign(ipa);
        return out;
    }
    for (const Text& t : toks) out.ipa += t;
    return out;
}

Text clean_pronunciation(TextView word, TextView ipa) { return clean_pronunciation_traced(word, ipa).ipa; }

}  // namespace vantro::pronunciation
