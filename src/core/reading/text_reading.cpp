#include "reading/text_reading.hpp"

#include "pronunciation/cleanup.hpp"
#include "phonology/tokens.hpp"
#include "reading/number_words.hpp"

namespace vantro::reading {

namespace {

TextView lecture_of(const text::Sentence& s, const text::Token& t) {
    const TextView all = s.lecture;
    const auto start = static_cast<std::size_t>(std::max<std::int64_t>(0, t.lecture_span.start));
    const auto end = static_cast<std::size_t>(std::max<std::int64_t>(t.lecture_span.start, t.lecture_span.end));
    if (start >= all.size()) return TextView();
    return all.substr(start, std::min(end, all.size()) - start);
}

// The label whose consonant is heard; the first in label order when several
// share one, so the choice never depends on the table's hashing.
std::optional<Text> label_of(const TextMap<Text>& liaison_consonnes, TextView consonant) {
    std::optional<Text> best;
    for (const auto& [label, c] : liaison_consonnes)
        if (c == consonant && label != U"none" && (!best || label < *best)) best = label;
    return best;
}

bool is_liaison_junction(TextView j) { return j.substr(0, 8) == U"liaison_"; }

bool ends_with(TextView s, TextView suffix) {
    return !suffix.empty() && s.size() >= suffix.size() && s.substr(s.size() - suffix.size()) == suffix;
}

}  // namespace

TextAnalyser::TextAnalyser(TextView original, ContextReader& reader, const TextData& data, TextOptions options)
    : tokenizer_(original), reader_(reader), data_(data), options_(std::move(options)) {}

bool TextAnalyser::next(SentenceAnalysis& out) {
    out.words.clear();
    out.groups.clear();
    while (tokenizer_.next(sentence_)) {
        read_words(out);
        if (out.words.empty()) continue;
        build_groups(out);
        for (TextGroup& g : out.groups) syllabify(out, g);
        return true;
    }
    return false;
}

void TextAnalyser::read_words(SentenceAnalysis& out) {
    spoken_.clear();
    items_.clear();
    for (const text::Token& t : sentence_.tokens)
        if (text::is_spoken(t.kind)) spoken_.push_back(&t);
    if (spoken_.empty()) return;

    for (const text::Token* t : spoken_) {
        ReadingItem item;
        item.text = t->text;
        item.formula = text::is_formula(t->kind);
        const TextView lecture = lecture_of(sentence_, *t);
        if (t->kind == text::TokenKind::Code) {
            item.reading = Text(lecture);
            item.alone = true;
        } else {
            item.reading = item.formula ? spell_numbers(lecture) : Text(lecture);
            item.alone = !is_word_reading(item.reading);
        }
        item.glued = !item.formula && (t->elision_avant || t->trait_union_avant);
        item.clause_start = t->ponctuation_avant;
        items_.push_back(std::move(item));
    }

    const ShareAligner aligner{data_.table, data_.silent_letters};
    std::vector<ItemReading> readings = read_sentence(items_, reader_, aligner, &stats_);

    out.words.resize(spoken_.size());
    places_.resize(spoken_.size());
    const unicode::NfcText& nfc = tokenizer_.normalized();
    for (std::size_t i = 0; i < spoken_.size(); ++i) {
        const text::Token& t = *spoken_[i];
        TextWord& w = out.words[i];
        w = TextWord();
        w.kind = t.kind;
        w.text = t.text;
        w.span = t.span;
        w.ponctuation_avant = t.ponctuation_avant;
        w.elision_avant = t.elision_avant;
        w.trait_union_avant = t.trait_union_avant;
        w.est_formule = items_[i].formula;
        w.share_checked = readings[i].share_checked;
        w.language = readings[i].language;
        w.disjonctif = readings[i].disjonctif || (!w.est_formule && is_disjonctif(data_.lexicon, w.text));
        if (w.est_formule) w.display = items_[i].reading;

        // Where each letter lies in the caller's text.
        std::vector<LetterPlace>& places = places_[i];
        places.resize(w.text.size());
        for (std::size_t k = 0; k < w.text.size(); ++k) {
            const auto nfc_index = static_cast<std::size_t>(t.nfc_span.start) + k;
            if (nfc.identity() || nfc_index >= nfc.text().size()) {
                const std::int64_t at = t.span.start + static_cast<std::int64_t>(k);
                places[k] = LetterPlace{at, at + 1};
            } else {
                const Span src = nfc.source_of(nfc_index);
                places[k] = LetterPlace{src.start, src.end};
            }
        }
    }
    decide_liaisons(readings, out);
}

void TextAnalyser::decide_liaisons(std::vector<ItemReading>& readings, SentenceAnalysis& out) {
    const std::size_t n = out.words.size();
    for (std::size_t i = 0; i < n; ++i) {
        TextWord& w = out.words[i];
        std::vector<SpokenPhoneme>& phonemes = readings[i].phonemes;
        if (!w.est_formule) {
            const bool in_expression = readings[i].in_expression();
            if (const std::optional<Text> consonant = heard_liaison(data_.lexicon, w.text, phonemes, in_expression)) {
                const bool next_here = i + 1 < n && !out.words[i + 1].ponctuation_avant && !out.words[i + 1].est_formule;
                std::optional<Text> label;
                if (next_here && options_.gerer_liaisons) {
                    const TextWord& next = out.words[i + 1];
                    const LiaisonPair pair{w.text,
                                           next.text,
                                           w.trait_union_avant,
                                           next.trait_union_avant,
                                           next.disjonctif,
                                           in_expression && readings[i + 1].expression == readings[i].expression};
                    if (liaison_allowed(data_.lexicon, pair)) label = label_of(data_.liaison_consonnes, *consonant);
                }
                if (label)
                    w.liaison = *label;
                else
                    phonemes.pop_back();
            }
        }
        w.phone = joined_ipa(phonemes);
        if (!w.language.empty() && !w.est_formule && options_.relecture_francaise) {
            if (std::optional<Text> french = reader_.french_reading(w.text)) {
                w.phone = std::move(*french);
                w.relu_en_francais = true;
            }
        }
        if (options_.nettoyage) clean_up(w);
    }
}

void TextAnalyser::clean_up(TextWord& w) const {
    if (w.phone.empty()) return;
    if (!w.est_formule) {
        w.phone = pronunciation::clean_pronunciation(w.text, w.phone);
        return;
    }
    // A formula is cleaned word by word of what is said ("huit heures").
    std::vector<TextView> words;
    for (std::size_t start = 0; start < w.display.size();) {
        std::size_t end = w.display.find(U' ', start);
        if (end == Text::npos) end = w.display.size();
        if (end > start) words.push_back(TextView(w.display).substr(start, end - start));
        start = end + 1;
    }
    std::vector<SpokenPhoneme> tokens;
    for (const Text& t : iter_phonemes(w.phone)) tokens.push_back(SpokenPhoneme{t, false});
    std::vector<std::vector<SpokenPhoneme>> shares;
    if (words.empty() || !split_by_letters(words, tokens, ShareAligner{data_.table, data_.silent_letters}, shares))
        return;
    Text cleaned;
    for (std::size_t k = 0; k < words.size(); ++k) cleaned += pronunciation::clean_pronunciation(words[k], joined_ipa(shares[k]));
    w.phone = std::move(cleaned);
}

void TextAnalyser::build_groups(SentenceAnalysis& out) {
    std::vector<WordForGrouping> words(out.words.size());
    for (std::size_t i = 0; i < words.size(); ++i) {
        const TextWord& w = out.words[i];
        WordForGrouping& g = words[i];
        g.text = w.text;
        g.phone = w.phone;
        g.liaison = w.liaison;
        g.ponctuation_avant = w.ponctuation_avant;
        g.elision_avant = w.elision_avant;
        g.est_formule = w.est_formule;
        g.disjonctif = w.disjonctif;
        g.trait_union_avant = w.trait_union_avant;
    }
    GroupingOptions options;
    options.gerer_elisions = options_.gerer_elisions;
    options.gerer_liaisons = options_.gerer_liaisons;
    options.gerer_enchainement = options_.gerer_enchainement;
    options.glide_joins = true;
    options.hyphen_joins = true;
    const std::vector<GroupPlan> plans = construire_groupes(words, options, data_.liaison_consonnes, data_.sets);

    out.groups.clear();
    for (const GroupPlan& plan : plans) {
        TextGroup g;
        g.first = plan.first;
        g.count = plan.count;
        g.jonctions = plan.jonctions;
        g.est_formule = plan.est_formule;
        // A liaison sounded where the words did not join by it is not said.
        for (std::size_t k = 0; k < plan.count; ++k) {
            TextWord& w = out.words[plan.first + k];
            if (w.liaison == U"none") continue;
            const bool joined = k + 1 < plan.count && is_liaison_junction(plan.jonctions[k]);
            if (joined) continue;
            const auto it = data_.liaison_consonnes.find(w.liaison);
            if (it != data_.liaison_consonnes.end() && ends_with(w.phone, it->second))
                w.phone.resize(w.phone.size() - it->second.size());
            w.liaison = U"none";
        }
        for (std::size_t k = 0; k < plan.count; ++k) g.phone_groupe += out.words[plan.first + k].phone;
        g.span = Span{out.words[plan.first].span.start, out.words[plan.first + plan.count - 1].span.end};
        out.groups.push_back(std::move(g));
    }
}

void TextAnalyser::syllabify(SentenceAnalysis& out, TextGroup& group) {
    const SyllableContext ctx{data_.sets, data_.sonority, data_.table, data_.silent_letters};
    if (group.est_formule && group.count == 1) {
        TextWord& w = out.words[group.first];
        w.steps = formula_steps(w.display, w.phone, w.span, ctx);
        group.syllabes = syllables_of_steps(w.steps);
        return;
    }
    if (group.phone_groupe.empty()) return;

    std::vector<PlacedWord> words;
    for (std::size_t k = group.first; k < group.first + group.count; ++k)
        words.push_back(PlacedWord{out.words[k].text, places_[k].data()});
    if (placed_syllables(words, group.phone_groupe, ctx, group.syllabes)) return;

    // The group cannot be aligned as a whole: each word alone, so that one
    // word that cannot be aligned does not take the others' letters with it.
    std::vector<SyllabeRec> one;
    for (std::size_t k = group.first; k < group.first + group.count; ++k) {
        TextWord& w = out.words[k];
        if (w.phone.empty()) continue;
        if (placed_syllables({PlacedWord{w.text, places_[k].data()}}, w.phone, ctx, one)) {
            for (SyllabeRec& s : one) group.syllabes.push_back(std::move(s));
        } else {
            w.aligned = false;
            unplaced_syllables(w.phone, w.span.start, ctx, group.syllabes);
        }
    }
}

std::vector<SentenceAnalysis> analyse_text(TextView original, ContextReader& reader, const TextData& data,
                                           const TextOptions& options) {
    TextAnalyser analyser(original, reader, data, options);
    std::vector<SentenceAnalysis> out;
    SentenceAnalysis s;
    while (analyser.next(s)) out.push_back(std::move(s));
    return out;
}

}  // namespace vantro::reading
