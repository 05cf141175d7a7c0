#include "reading/phoneme_names.hpp"

#include "common/text.hpp"
#include "frontend/language_marker.hpp"

namespace vantro::reading {

namespace {

// kPhonemeSeparator in UTF-8.
constexpr std::string_view kSeparator = "\xE2\x90\x9F";
constexpr std::size_t kMaxNames = 16384;  // far above espeak-ng's inventory

inline bool ascii_alnum(char c) noexcept {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// The language now in force after the switches of `piece`, and the piece
// without them.
std::string_view strip_markers(std::string_view piece, std::string_view voice_language, std::string& language,
                               std::string& rest) {
    if (piece.find('(') == std::string_view::npos) return piece;
    rest.clear();
    for (std::size_t i = 0; i < piece.size();) {
        if (const std::size_t len = language_marker_length(piece, i)) {
            const std::string_view code = piece.substr(i + 1, len - 2);
            if (code == voice_language)
                language.clear();
            else
                language.assign(code);
            i += len;
            continue;
        }
        rest.push_back(piece[i++]);
    }
    return rest;
}

// eSpeak names a consonant sounded only before a vowel with a "2": z2, t2, p2.
bool is_liaison_name(std::string_view name) noexcept {
    if (name.size() < 2 || name.back() != '2') return false;
    const char consonant = name[name.size() - 2];
    if (std::string_view("ztpnrk").find(consonant) == std::string_view::npos) return false;
    return name.size() == 2 || !ascii_alnum(name[name.size() - 3]);
}

// Calls `piece(chunk_index, text)` for every phoneme slot of a clause and
// `chunk(index)` at the start of every word.
template <class Chunk, class Piece>
void walk(std::string_view clause, Chunk&& chunk, Piece&& piece) {
    std::size_t index = 0;
    std::size_t start = 0;
    while (start <= clause.size()) {
        std::size_t end = clause.find(' ', start);
        if (end == std::string_view::npos) end = clause.size();
        const std::string_view word = clause.substr(start, end - start);
        if (!word.empty()) {
            chunk(index);
            std::size_t p = 0;
            while (true) {
                const std::size_t q = word.find(kSeparator, p);
                piece(index, word.substr(p, q == std::string_view::npos ? std::string_view::npos : q - p));
                if (q == std::string_view::npos) break;
                p = q + kSeparator.size();
            }
            ++index;
        }
        start = end + 1;
    }
}

void key_of(const std::string& language, std::string_view name, std::string& key) {
    key.assign(language).push_back('\x1f');
    key.append(name);
}

// Words of a clause that hold no phoneme (a lone pause) are not words a
// reader says: they are dropped, their h aspiré mark going to the next one.
void drop_silent_chunks(SpokenClause& out, std::size_t from) {
    bool carry = false;
    std::size_t w = from;
    for (std::size_t r = from; r < out.size(); ++r) {
        if (out[r].phonemes.empty()) {
            carry = carry || out[r].disjonctif;
            continue;
        }
        out[r].disjonctif = out[r].disjonctif || carry;
        carry = false;
        if (w != r) out[w] = std::move(out[r]);
        ++w;
    }
    out.resize(w);
}

}  // namespace

bool PhonemeNames::convert(std::string_view names_clause, std::string_view voice_language, SpokenClause& out) const {
    const std::size_t first = out.size();
    thread_local std::string language;
    thread_local std::string rest;
    thread_local std::string key;
    language.clear();
    bool known = true;
    walk(
        names_clause, [&](std::size_t) { out.emplace_back(); },
        [&](std::size_t, std::string_view piece) {
            if (!known) return;
            const std::string_view name = strip_markers(piece, voice_language, language, rest);
            if (name.empty()) return;
            SpokenChunk& chunk = out.back();
            if (!language.empty()) chunk.language = language;
            key_of(language, name, key);
            const auto it = ipa_of_.find(std::string_view(key));
            if (it == ipa_of_.end()) {
                known = false;
                return;
            }
            const Name& n = it->second;
            if (n.disjonctif && chunk.phonemes.empty()) chunk.disjonctif = true;
            if (!n.ipa.empty()) chunk.phonemes.push_back(SpokenPhoneme{n.ipa, n.liaison});
        });
    if (known) drop_silent_chunks(out, first);
    return known;
}

bool PhonemeNames::learn(std::string_view names_clause, std::string_view ipa_clause,
                         std::string_view voice_language) {
    std::vector<std::vector<std::string_view>> names;
    std::vector<std::vector<std::string_view>> ipas;
    walk(names_clause, [&](std::size_t) { names.emplace_back(); }, [&](std::size_t, std::string_view p) {
        names.back().push_back(p);
    });
    walk(ipa_clause, [&](std::size_t) { ipas.emplace_back(); }, [&](std::size_t, std::string_view p) {
        ipas.back().push_back(p);
    });
    if (names.size() != ipas.size()) return false;
    for (std::size_t w = 0; w < names.size(); ++w)
        if (names[w].size() != ipas[w].size()) return false;

    std::string language;
    std::string ipa_language;
    std::string rest;
    std::string ipa_rest;
    for (std::size_t w = 0; w < names.size(); ++w) {
        for (std::size_t p = 0; p < names[w].size(); ++p) {
            const std::string_view name = strip_markers(names[w][p], voice_language, language, rest);
            const std::string_view ipa = strip_markers(ipas[w][p], voice_language, ipa_language, ipa_rest);
            if (name.empty() || ipa_of_.size() >= kMaxNames) continue;
            std::string key;
            key_of(language, name, key);
            ipa_of_.try_emplace(std::move(key), Name{from_utf8(ipa), is_liaison_name(name),
                                                     name.find("_|") != std::string_view::npos});
        }
    }
    return true;
}

bool PhonemeNames::convert_all(const std::vector<std::string>& named, std::string_view voice_language,
                               SpokenClause& out) const {
    const std::size_t first = out.size();
    for (const std::string& part : named) {
        if (!convert(part, voice_language, out)) {
            out.resize(first);
            return false;
        }
    }
    return true;
}

bool PhonemeNames::learn_and_convert(const std::vector<std::string>& named, const std::vector<std::string>& ipa,
                                     std::string_view voice_language, SpokenClause& out) {
    bool lined_up = named.size() == ipa.size();
    for (std::size_t i = 0; lined_up && i < named.size(); ++i) lined_up = learn(named[i], ipa[i], voice_language);
    if (lined_up && convert_all(named, voice_language, out)) return true;
    for (const std::string& part : ipa) from_ipa(part, voice_language, out);
    return false;
}

void PhonemeNames::from_ipa(std::string_view ipa_clause, std::string_view voice_language, SpokenClause& out) {
    const std::size_t first = out.size();
    std::string language;
    std::string rest;
    walk(
        ipa_clause, [&](std::size_t) { out.emplace_back(); },
        [&](std::size_t, std::string_view piece) {
            const std::string_view ipa = strip_markers(piece, voice_language, language, rest);
            SpokenChunk& chunk = out.back();
            if (!language.empty()) chunk.language = language;
            if (!ipa.empty()) chunk.phonemes.push_back(SpokenPhoneme{from_utf8(ipa), false});
        });
    drop_silent_chunks(out, first);
}

}  // namespace vantro::reading
