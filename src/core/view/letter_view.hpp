// The letter view: every letter of a text with the syllable it belongs to,
// the phonemes it spells, its role and the grapheme unit a teacher names.
//
// It is built from what the analysis computed (the alignment with its
// markers, the syllables, the junctions of the reading groups), never from
// the display strings, so that a reading screen can colour letters without
// parsing "°", "²" or "(x)".
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "common/text.hpp"
#include "results/syllable.hpp"

namespace vantro::view {

// ---- input --------------------------------------------------------------------------

// One entry of an alignment: the phoneme, its letters with their markers
// ("°" after a silent letter, "²" after a letter shared with the phoneme
// before, "²" alone for a phoneme spelled by the letters before), and where
// those letters lie in the text. For a group of several words the span may
// run over what separates the words.
struct AlignedPhoneme {
    Text ipa;
    Text grapheme;
    Span span;
};

// One step of a formula's reading (a number read aloud): one syllable.
struct ReadingStep {
    Text ortho;
    Text phone;
    Span span;  // the characters of the formula it reads, in the text
};

// A word of a reading group: where its characters lie in the text, and what
// the written syllables need to know of it.
struct WordInput {
    Span span;
    Text pos;                   // part of speech ("VER…" for a verb), may be empty
    bool final_schwa = false;   // pedagogical schwa requested on its mute ending
    // The language whose rules espeak-ng read it with, when not French, and
    // whether it was then read again with the French ones.
    std::string language{};
    bool reread = false;
};

// A reading group as the analysis left it.
struct GroupInput {
    std::vector<WordInput> words;         // in text order, spans not overlapping
    std::vector<Text> jonctions;          // "elision", "liaison_<consonant>", "enchainement"
    std::vector<AlignedPhoneme> phonemes; // the group's alignment
    bool alignment_ok = false;
    std::vector<SyllabeRec> syllables;    // the phonetic syllables, as the records hold them
    bool formula = false;                 // syllables read from `reading`, not from the alignment
    Text display;                         // the formula as read aloud
    std::vector<ReadingStep> reading;
};

struct ViewInput {
    Text text;  // the text every span points into
    std::vector<GroupInput> groups;
};

// ---- output -------------------------------------------------------------------------

enum class Role : std::uint8_t {
    Sonore,    // first letter of what spells a phoneme
    Muette,    // silent
    Partagee,  // spells the same phoneme as the letter before it (the h of "ch")
    Liaison,   // the letter that sounds (or would sound) the liaison with the next word
    Signe,     // apostrophe or hyphen inside a word: no sound of its own
    Inconnue,  // the word could not be aligned: nothing is known of the letter
};

enum class Constituent : std::uint8_t { Attaque, Noyau, Coda, Aucun };

enum class SyllableMode : std::uint8_t { Orales, Ecrites };

constexpr int NONE = -1;

struct Letter {
    std::int64_t position = 0;  // in the text
    char32_t character = 0;
    int group = NONE;
    int word = NONE;
    int syllable = NONE;        // NONE only when the group has no syllable to give
    Constituent constituent = Constituent::Aucun;
    std::vector<int> phonemes;  // indices into LetterView::phonemes, in spoken order
    Role role = Role::Inconnue;
    int unit = NONE;
};

struct PhonemeOut {
    Text ipa;
    Text grapheme;  // as aligned, markers kept
    Span span;      // from its first letter to just after its last one
    std::vector<int> letters;
    int group = NONE;
    int syllable = NONE;
    Constituent constituent = Constituent::Aucun;
};

// Letters read together, as a teacher names them: "ch", "eau", "qu", "gn",
// "oi", "ill", "ge"; or a run of silent letters ("ent", "ts").
struct Unit {
    Text letters;  // as written
    Span span;
    std::vector<int> letter_indices;
    std::vector<int> phonemes;
    bool silent = false;
};

struct Part {  // onset, nucleus or coda of a syllable
    Span span;  // (0, 0) when it has no letter
    Text phone;
    std::vector<int> letters;
    std::vector<int> phonemes;
};

struct Syllable {
    int group = NONE;
    Text phone;
    Span span;      // from its first letter to just after its last one
    Text letters;   // its letters as written, each once, no marker
    std::vector<int> letter_indices;
    std::vector<int> phonemes;
    Part attaque, noyau, coda;
};

struct WordOut {
    int group = NONE;
    Span span;
    Text text;
    std::string language{};  // "" when read as French
    bool reread = false;
};

struct Junction {
    int group = NONE;
    int word_before = NONE;  // the junction lies between this word and the next
    Text label;              // as the group holds it
    Text kind;               // "elision", "liaison" or "enchainement" ("" when unknown)
    Text consonant;          // the liaison consonant, "" otherwise
    int letter = NONE;       // the letter that carries the liaison
};

struct GroupOut {
    Span span;
    int first_word = 0, word_count = 0;
    int first_syllable = 0, syllable_count = 0;
    bool alignment_ok = false;
    bool formula = false;
    Text display;
};

struct LetterView {
    Text text;
    SyllableMode mode = SyllableMode::Orales;
    std::vector<Letter> letters;  // every character of every word, in text order
    std::vector<PhonemeOut> phonemes;
    std::vector<Unit> units;
    std::vector<Syllable> syllables;
    std::vector<WordOut> words;
    std::vector<Junction> junctions;
    std::vector<GroupOut> groups;
};

}  // namespace vantro::view
