// From analysis results to the letter view's input: the alignment behind
// each word or group is computed again, exactly as the analysis computed it,
// and checked against the syllables the result holds.
#pragma once

#include <optional>

#include "groups/group_syllabifier.hpp"
#include "view/letter_view.hpp"

namespace vantro::view {

// What a word analysis result holds.
struct WordResult {
    Text mot;
    Text phone;
    std::vector<SyllabeRec> syllabes;  // as heard or as written
};

struct WordFacts {
    Text text;
    Span span;
    Text phone;
    Text pos;
    std::string language{};  // of the rules that read it, when not French
    bool reread = false;     // then read again with the French rules
};

struct Reading {
    Text display;
    std::vector<ReadingStep> steps;
};

struct GroupResult {
    std::vector<WordFacts> mots;
    Text phone_groupe;
    std::vector<Text> jonctions;
    bool est_formule = false;
    std::optional<Reading> lecture;
    std::vector<SyllabeRec> syllabes;
};

struct SentenceResult {
    Text texte;
    std::vector<GroupResult> groupes;
    bool final_schwas = false; // the final schwas were requested
};

ViewInput input_from_word(const WordResult& r, const LinguisticContext& ctx);

// The text of the view is `texte` when the words' spans point into it;
// otherwise the words are found in it in order (or, failing that, laid out
// one space apart) and every span moves with its word.
ViewInput input_from_sentence(const SentenceResult& r, const LinguisticContext& ctx);

// The written syllables an analysis returns when asked for them: of a word
// and its pronunciation, of a reading group (spans in the caller's text).
std::vector<SyllabeRec> written_word_records(TextView mot, TextView phone, const LinguisticContext& ctx);
std::vector<SyllabeRec> written_group_records(const GroupResult& group, bool final_schwas,
                                              const LinguisticContext& ctx);

// The written syllables of a word or group, as records: letters as written
// with "°" after a silent one, each phoneme with its letters.
std::vector<SyllabeRec> written_records(const LetterView& view, int group);

bool same_syllables(const std::vector<SyllabeRec>& a, const std::vector<SyllabeRec>& b);

}  // namespace vantro::view
