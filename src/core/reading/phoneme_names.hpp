// eSpeak's phoneme names and their IPA, learned from espeak-ng itself.
//
// In IPA, espeak-ng writes a liaison z, t or p exactly as any z, t or p, and
// the pause that marks an h aspiré not at all. Its own phoneme names keep
// both apart (z2, t2, p2; "_|"). Each clause is therefore read once, with the
// names and a separator between phonemes, and the names are turned into the
// IPA that espeak-ng would have printed. The IPA of each name is learned from
// clauses read both ways; a name not learned yet sends its clause back to be
// read again in IPA. Names are few (a few hundred over every language), so
// the table stops growing after the first clauses.
#pragma once

#include <string>
#include <vector>
#include <string_view>
#include <functional>
#include <unordered_map>

#include "common/text.hpp"
#include "reading/spoken.hpp"

namespace vantro::reading {

// Written between the phonemes of a word (bits 8-23 of espeak-ng's phoneme
// mode): a character that neither eSpeak's names nor IPA use.
constexpr char32_t kPhonemeSeparator = U'\u241F';
constexpr int kModeNames = static_cast<int>(kPhonemeSeparator) << 8;
constexpr int kModeIpa = kModeNames | 0x02;

class PhonemeNames {
public:
    // Appends the words of a clause printed with names (kModeNames) to `out`.
    // False when some name has not been learned: `out` may then hold part
    // of the clause, and the caller reads it again in IPA.
    // `voice_language` is the language of the voice ("fr" for "fr-be"):
    // espeak-ng's switch back to it, "(fr)", ends a foreign stretch.
    bool convert(std::string_view names_clause, std::string_view voice_language, SpokenClause& out) const;

    // Learns every name of a clause printed both ways. False (and nothing
    // learned) when the two printings do not line up phoneme for phoneme.
    bool learn(std::string_view names_clause, std::string_view ipa_clause, std::string_view voice_language);

    // The words of a clause printed in IPA (kModeIpa), without liaison or
    // h aspiré marks: for a clause that neither of the above could read.
    static void from_ipa(std::string_view ipa_clause, std::string_view voice_language, SpokenClause& out);

    // Appends a clause printed in several parts (espeak-ng cuts a long one)
    // to `out`: true when every name is known, else `out` is left as it was.
    bool convert_all(const std::vector<std::string>& named, std::string_view voice_language, SpokenClause& out) const;
    // After convert_all failed: learns from the same parts printed in IPA and
    // converts again (true), or reads the IPA plainly when the printings do
    // not line up (false: a name learned later may change that reading).
    bool learn_and_convert(const std::vector<std::string>& named, const std::vector<std::string>& ipa,
                           std::string_view voice_language, SpokenClause& out);

    std::size_t size() const noexcept { return ipa_of_.size(); }

private:
    struct Name {
        Text ipa;                 // what espeak-ng prints for it in IPA
        bool liaison = false;     // z2, t2, p2 ...
        bool disjonctif = false;  // holds the h aspiré pause "_|"
    };
    struct KeyHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const noexcept { return std::hash<std::string_view>()(s); }
    };
    std::unordered_map<std::string, Name, KeyHash, std::equal_to<>> ipa_of_;  // language, '\x1f', name
};

}  // namespace vantro::reading
