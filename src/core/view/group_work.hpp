// Working state of the letter view for one reading group: its letters, the
// phonemes that claim them, and the syllables they end up in. Indices are
// local to the group until the view is assembled.
#pragma once

#include "phonology/phoneme_sets.hpp"
#include "view/letter_view.hpp"

namespace vantro::view::detail {

// How a phoneme's grapheme reaches a letter.
enum class ClaimKind : std::uint8_t {
    Spelled,   // one of the grapheme's letters
    Shared,    // marked "²": the letter also spells the phoneme before
    Attached,  // the grapheme is "²" alone: spelled by the letter before
};

struct Claim {
    int phoneme;
    ClaimKind kind;
    bool silent;  // followed by "°" in the grapheme
};

struct LetterWork {
    std::int64_t position;
    char32_t character;
    char32_t folded;
    int word;  // index into GroupWork::words
    std::vector<Claim> claims;
    Role role = Role::Inconnue;
    int unit = NONE;
    int syllable = NONE;
    Constituent constituent = Constituent::Aucun;
};

struct PhonemeWork {
    Text ipa;
    Text grapheme;
    int syllable = NONE;
    Constituent constituent = Constituent::Aucun;
    int order = 0;  // spoken order; phonemes added by the view slot in between
};

struct SyllableWork {
    Text phone;  // empty: rebuilt from its phonemes
    std::vector<int> letters;
    std::vector<int> phonemes;
};

struct UnitWork {
    std::vector<int> letters;
    bool silent = false;
};

struct GroupWork {
    const GroupInput* input = nullptr;
    std::vector<Span> words;  // the spans actually used, inside the text
    std::vector<LetterWork> letters;
    std::vector<PhonemeWork> phonemes;
    std::vector<UnitWork> units;
    std::vector<SyllableWork> syllables;

    // Local index of the letter at `position`, or NONE.
    int letter_at(std::int64_t position) const;
    // Letters whose positions lie in [span.start, span.end).
    std::pair<int, int> letters_in(Span span) const;
    bool aligned() const { return input->alignment_ok && !input->formula && !phonemes.empty(); }
};

// Steps of the view, in the order build_letter_view runs them.
void claim_letters(GroupWork& g);                              // grapheme_claims.cpp
void assign_roles(GroupWork& g, const PhonemeSets& sets);      // letter_roles.cpp
void place_spoken_syllables(GroupWork& g);                     // spoken_syllables.cpp
void form_units(GroupWork& g, const PhonemeSets& sets);        // teaching_units.cpp
void place_written_syllables(GroupWork& g, const PhonemeSets& sets);  // written_syllables.cpp
void place_formula(GroupWork& g);                              // formula_letters.cpp

// The last letter of word `w` when it can carry the liaison `label`
// ("liaison_z"), else NONE.
int liaison_letter(const GroupWork& g, int w, TextView label);  // letter_roles.cpp

// The first phoneme a letter belongs to (spelled or carrying it silent), or NONE.
int first_phoneme(const LetterWork& l);

}  // namespace vantro::view::detail
