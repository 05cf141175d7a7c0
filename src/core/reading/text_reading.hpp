// Plain French text to reading groups: the whole path, sentence by sentence.
//
// Tokens come from the text tokenizer; each sentence is read in context
// (sentence_reading.hpp), the liaisons heard are kept or dropped by the
// rules of liaison_rules.hpp, the words are joined into reading groups and
// each group is syllabified across its words, every span pointing into the
// caller's own text. Errors stay local: a group whose letters cannot be
// aligned falls back to its words one by one, and a word that still cannot
// be aligned keeps its syllables without letters, flagged.
#pragma once

#include <string>
#include <vector>

#include "common/text.hpp"
#include "groups/group_builder.hpp"
#include "reading/context_reader.hpp"
#include "reading/formula_steps.hpp"
#include "reading/liaison_rules.hpp"
#include "reading/sentence_reading.hpp"
#include "results/syllable.hpp"
#include "text/tokenizer.hpp"

namespace vantro::reading {

struct TextData {
    const PhonemeSets& sets;
    const SonorityClasses& sonority;
    const CompiledTable& table;
    const TextSet& silent_letters;
    const TextMap<Text>& liaison_consonnes;  // label -> consonant heard
    const LiaisonLexicon& lexicon;
};

struct TextOptions {
    bool gerer_elisions = true;
    bool gerer_liaisons = true;
    bool gerer_enchainement = true;
    // espeak-ng's systematic mistakes on French words corrected
    // (pronunciation/cleanup.hpp), word by word, formulas included.
    bool nettoyage = true;
    // A word read with another language's rules, alone among French words,
    // read again alone with the French ones (pronunciation/french_reading.hpp),
    // when the reader can; a stretch of such words is left as it was read.
    bool relecture_francaise = true;
};

struct TextWord {
    text::TokenKind kind = text::TokenKind::Word;
    Text text;               // as written, NFC
    Span span;               // in the caller's text
    Text phone;              // its share of the reading, liaison consonant included when made
    Text heard;              // its share as read in context, before liaisons are decided and clean-up
    Text liaison = U"none";  // "Lz", "Lt" ... when a liaison is made after it
    bool ponctuation_avant = false;
    bool elision_avant = false;
    bool trait_union_avant = false;
    bool est_formule = false;
    bool disjonctif = false;     // h aspiré and the like
    bool aligned = true;         // false: its letters could not be laid under its sounds
    bool share_checked = true;   // false: its share of the sentence's reading is a guess
    std::string language;        // the rules that read it in context, when not French ("en")
    bool relu_en_francais = false;  // then read again alone with the French rules
    Text display;                // a formula said in words
    std::vector<FormulaStep> steps;
};

struct TextGroup {
    std::size_t first = 0;  // index into SentenceAnalysis::words
    std::size_t count = 0;
    std::vector<Text> jonctions;
    Text phone_groupe;
    Span span;
    bool est_formule = false;
    PlacedSyllables syllabes;
};

struct SentenceAnalysis {
    std::vector<TextWord> words;
    std::vector<TextGroup> groups;
};

class TextAnalyser {
public:
    // `original` is copied; `reader` and `data` must outlive the analyser.
    TextAnalyser(TextView original, ContextReader& reader, const TextData& data, TextOptions options);

    // The next sentence that holds something to say; false at the end.
    bool next(SentenceAnalysis& out);

    const ReadingStats& stats() const noexcept { return stats_; }

private:
    void read_words(SentenceAnalysis& out);
    void decide_liaisons(std::vector<ItemReading>& readings, SentenceAnalysis& out);
    struct FinalPhone {
        Text phone;
        bool reread = false;
    };
    // A word's share made final: read again in French when `misread`, cleaned up.
    const FinalPhone& final_phone_of(const TextWord& w, TextView heard, bool misread);
    Text cleaned(const TextWord& w, const Text& phone) const;
    void build_groups(SentenceAnalysis& out);
    void syllabify(SentenceAnalysis& out, TextGroup& group);
    bool has_vowel(TextView phone) const;

    text::Tokenizer tokenizer_;
    text::Sentence sentence_;
    ContextReader& reader_;
    const TextData& data_;
    TextOptions options_;
    ReadingStats stats_;
    std::vector<const text::Token*> spoken_;  // the sentence's spoken tokens, one per word
    std::vector<ReadingItem> items_;
    std::vector<WordForGrouping> grouping_;
    std::vector<std::vector<LetterPlace>> places_;  // per word: each letter's place in the caller's text

    // What a long text repeats is worked out once.
    static constexpr std::size_t kGroupsKept = 4096;
    static constexpr std::size_t kFormulasKept = 512;
    static constexpr std::size_t kWordsKept = 8192;
    static constexpr std::size_t kClausesKept = 4096;
    SyllableCache syllables_;
    struct FormulaReading {
        std::vector<FormulaStep> steps;  // span_source left empty
        SharedSyllables syllables;       // their spans too
    };
    BoundedCache<FormulaReading> steps_;
    BoundedCache<FinalPhone> phones_;
    Text phone_key_;  // final_phone_of's key, its storage kept
    ClauseCache clauses_;
};

// Every sentence of `original` at once.
std::vector<SentenceAnalysis> analyse_text(TextView original, ContextReader& reader, const TextData& data,
                                           const TextOptions& options);

}  // namespace vantro::reading
