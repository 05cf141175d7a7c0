#include "reading/formula_steps.hpp"

#include "phonology/sonority.hpp"
#include "phonology/tokens.hpp"
#include "reading/sentence_reading.hpp"

namespace vantro::reading {

namespace {

bool starts_with_vowel_or_glide(const PhonemeSets& sets, TextView phone) {
    if (phone.empty()) return false;
    const TextView first = phone.substr(0, phoneme_end(phone, 0));
    return est_voyelle(sets, first) || est_semi_voyelle(sets, first);
}

// The spoken words of a formula in runs said without a break: a word joins
// the run before it when it starts with a vowel or a glide (vingt‿et‿un),
// as the words of a sentence join; each run is syllabified on its own, so
// that "mille neuf cent" gives mil | nœf | sɑ̃ and not nœ | fsɑ̃.
bool syllables_by_runs(const std::vector<PlacedWord>& words, TextView phone, const SyllableContext& ctx,
                       SyllableCache& cache, PlacedSyllables& out) {
    std::vector<SpokenPhoneme> tokens;
    for (const Text& t : iter_phonemes(phone)) tokens.push_back(SpokenPhoneme{t, false});
    std::vector<TextView> texts;
    for (const PlacedWord& w : words) texts.push_back(w.text);
    std::vector<std::vector<SpokenPhoneme>> shares;
    const ShareAligner aligner{ctx.table, ctx.silent_letters};
    if (!split_by_letters(texts, tokens, aligner, shares)) return false;

    std::vector<std::size_t> cuts;
    std::size_t offset = 0;
    for (std::size_t k = 0; k < words.size(); ++k) {
        const Text share = joined_ipa(shares[k]);
        if (k > 0 && !share.empty() && !starts_with_vowel_or_glide(ctx.sets, share)) cuts.push_back(offset);
        offset += share.size();
    }
    return place_syllables(words, phone, cuts, ctx, cache, out);
}

}  // namespace

std::vector<FormulaStep> formula_steps(TextView display, TextView phone, Span source, const SyllableContext& ctx,
                                       SyllableCache& cache) {
    std::vector<FormulaStep> steps;
    if (phone.empty()) return steps;

    std::vector<LetterPlace> places(display.size());
    for (std::size_t k = 0; k < display.size(); ++k)
        places[k] = LetterPlace{static_cast<std::int64_t>(k), static_cast<std::int64_t>(k + 1)};
    std::vector<PlacedWord> words;
    for (std::size_t start = 0; start < display.size();) {
        std::size_t end = display.find(U' ', start);
        if (end == TextView::npos) end = display.size();
        if (end > start) words.push_back(PlacedWord{display.substr(start, end - start), places.data() + start});
        start = end + 1;
    }

    PlacedSyllables syllables;
    if (!words.empty() && syllables_by_runs(words, phone, ctx, cache, syllables)) {
        for (const PlacedSyllable& s : syllables) {
            FormulaStep step;
            step.phone = s.rec->phone;
            step.span_source = source;
            step.span_lecture = s.span;
            for (auto k = s.span.start; k < s.span.end; ++k)
                if (display[static_cast<std::size_t>(k)] != U' ') step.ortho.push_back(display[static_cast<std::size_t>(k)]);
            steps.push_back(std::move(step));
        }
        return steps;
    }
    const std::vector<Text> syll_phones = syllabify_ipa(phone, ctx.sonority, ctx.sets);
    for (std::size_t i = 0; i < syll_phones.size(); ++i) {
        FormulaStep step;
        step.phone = syll_phones[i];
        step.span_source = source;
        if (i == 0) {
            step.ortho = Text(display);
            step.span_lecture = Span{0, static_cast<std::int64_t>(display.size())};
        }
        steps.push_back(std::move(step));
    }
    return steps;
}

SharedSyllables syllables_of_steps(const std::vector<FormulaStep>& steps) {
    auto shared = std::make_shared<LetterSyllables>();
    shared->ok = true;
    std::vector<SyllabeRec>& out = shared->syllables;
    out.reserve(steps.size());
    for (const FormulaStep& step : steps) {
        SyllabeRec s;
        s.phone = step.phone;
        s.ortho = step.ortho;
        s.span = step.span_source;
        s.noyau.push_back(PhonemeRec{step.phone, Text()});
        out.push_back(std::move(s));
    }
    return shared;
}

}  // namespace vantro::reading
