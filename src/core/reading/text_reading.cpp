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
    : tokenizer_(original),
      reader_(reader),
      data_(data),
      options_(std::move(options)),
      syllables_(kGroupsKept),
      steps_(kFormulasKept),
      phones_(kWordsKept),
      clauses_(kClausesKept) {}

bool TextAnalyser::next(SentenceAnalysis& out) {
    // `out` is filled in place: its words and groups keep their storage
    // from one sentence to the next.
    while (tokenizer_.next(sentence_)) {
        read_words(out);
        if (out.words.empty()) continue;
        build_groups(out);
        for (TextGroup& g : out.groups) syllabify(out, g);
        return true;
    }
    out.words.clear();
    out.groups.clear();
    return false;
}

void TextAnalyser::read_words(SentenceAnalysis& out) {
    spoken_.clear();
    for (const text::Token& t : sentence_.tokens)
        if (text::is_spoken(t.kind)) spoken_.push_back(&t);
    if (spoken_.empty()) {
        out.words.clear();
        return;
    }

    // The items keep their strings' storage from one sentence to the next.
    items_.resize(spoken_.size());
    for (std::size_t i = 0; i < spoken_.size(); ++i) {
        const text::Token* t = spoken_[i];
        ReadingItem& item = items_[i];
        item.text.assign(t->text);
        item.formula = text::is_formula(t->kind);
        const TextView lecture = lecture_of(sentence_, *t);
        if (t->kind == text::TokenKind::Code) {
            item.reading.assign(lecture);
            item.alone = true;
        } else {
            if (item.formula)
                item.reading = spell_numbers(lecture);
            else
                item.reading.assign(lecture);
            item.alone = !is_word_reading(item.reading);
        }
        item.glued = !item.formula && (t->elision_avant || t->trait_union_avant);
        item.clause_start = t->ponctuation_avant;
    }

    const ShareAligner aligner{data_.table, data_.silent_letters};
    std::vector<ItemReading> readings = read_sentence(items_, reader_, aligner, &stats_, &clauses_);

    out.words.resize(spoken_.size());
    places_.resize(spoken_.size());
    const unicode::NfcText& nfc = tokenizer_.normalized();
    for (std::size_t i = 0; i < spoken_.size(); ++i) {
        const text::Token& t = *spoken_[i];
        TextWord& w = out.words[i];
        // Fields set one by one: the strings keep their storage from one
        // sentence to the next.
        w.kind = t.kind;
        w.text.assign(t.text);
        w.span = t.span;
        w.phone.clear();
        w.liaison.assign(U"none");
        w.aligned = true;
        w.relu_en_francais = false;
        w.display.clear();
        w.steps.clear();
        w.ponctuation_avant = t.ponctuation_avant;
        w.elision_avant = t.elision_avant;
        w.trait_union_avant = t.trait_union_avant;
        w.est_formule = items_[i].formula;
        w.share_checked = readings[i].share_checked;
        w.language.assign(readings[i].language);
        w.disjonctif = readings[i].disjonctif || (!w.est_formule && is_disjonctif(data_.lexicon, w.text));
        if (w.est_formule) w.display.assign(items_[i].reading);

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
        w.heard = joined_ipa(phonemes);
        std::size_t said = w.heard.size();  // what is left of it once the liaisons are decided
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
                if (label) {
                    w.liaison = *label;
                } else {
                    said -= clean_phoneme(phonemes.back().ipa).size();
                    phonemes.pop_back();
                }
            }
        }
        // A word read with another language's rules among French words is a
        // French word misread ("dos", "pull"): it is read again in French.
        // Inside a stretch of words all read so, the text is that language.
        const bool foreign_before = i > 0 && !out.words[i - 1].language.empty();
        const bool foreign_after = i + 1 < n && !out.words[i + 1].language.empty();
        const bool misread = !w.language.empty() && !w.est_formule && !foreign_before && !foreign_after;
        const FinalPhone& final_phone = final_phone_of(w, TextView(w.heard).substr(0, said), misread);
        w.phone = final_phone.phone;
        w.relu_en_francais = final_phone.reread;
        if (w.relu_en_francais && w.liaison != U"none") {
            // The word read alone lost the liaison it gave in context.
            if (const auto it = data_.liaison_consonnes.find(w.liaison); it != data_.liaison_consonnes.end())
                w.phone += it->second;
        }
    }
}

const TextAnalyser::FinalPhone& TextAnalyser::final_phone_of(const TextWord& w, TextView heard, bool misread) {
    const bool reread = misread && options_.relecture_francaise;
    Text& key = phone_key_;
    key.clear();
    key.append(w.text).push_back(U'\x1F');
    key.append(heard).push_back(reread ? U'1' : U'0');
    key.append(w.display);
    return phones_.get(key, [&] {
        FinalPhone out{Text(heard), false};
        if (reread) {
            if (std::optional<Text> french = reader_.french_reading(w.text)) {
                out.phone = std::move(*french);
                out.reread = true;
            }
        }
        if (options_.nettoyage) out.phone = cleaned(w, out.phone);
        return out;
    });
}

Text TextAnalyser::cleaned(const TextWord& w, const Text& phone) const {
    if (phone.empty()) return phone;
    if (!w.est_formule) return pronunciation::clean_pronunciation(w.text, phone);
    // A formula is cleaned word by word of what is said ("huit heures").
    std::vector<TextView> words;
    for (std::size_t start = 0; start < w.display.size();) {
        std::size_t end = w.display.find(U' ', start);
        if (end == Text::npos) end = w.display.size();
        if (end > start) words.push_back(TextView(w.display).substr(start, end - start));
        start = end + 1;
    }
    std::vector<SpokenPhoneme> tokens;
    for (const Text& t : iter_phonemes(phone)) tokens.push_back(SpokenPhoneme{t, false});
    std::vector<std::vector<SpokenPhoneme>> shares;
    if (words.empty() || !split_by_letters(words, tokens, ShareAligner{data_.table, data_.silent_letters}, shares))
        return phone;
    Text out;
    for (std::size_t k = 0; k < words.size(); ++k) out += pronunciation::clean_pronunciation(words[k], joined_ipa(shares[k]));
    return out;
}

void TextAnalyser::build_groups(SentenceAnalysis& out) {
    std::vector<WordForGrouping>& words = grouping_;
    words.resize(out.words.size());
    for (std::size_t i = 0; i < words.size(); ++i) {
        const TextWord& w = out.words[i];
        WordForGrouping& g = words[i];
        g.text.assign(w.text);
        g.phone.assign(w.phone);
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

    // The groups keep their storage from one sentence to the next.
    out.groups.resize(plans.size());
    for (std::size_t p = 0; p < plans.size(); ++p) {
        const GroupPlan& plan = plans[p];
        TextGroup& g = out.groups[p];
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
        g.phone_groupe.clear();
        for (std::size_t k = 0; k < plan.count; ++k) g.phone_groupe += out.words[plan.first + k].phone;
        g.span = Span{out.words[plan.first].span.start, out.words[plan.first + plan.count - 1].span.end};
        g.syllabes.clear();
    }
}

bool TextAnalyser::has_vowel(TextView phone) const {
    bool found = false;
    for_each_phoneme(phone, [&](TextView t) { found = found || est_voyelle(data_.sets, t); });
    return found;
}

void TextAnalyser::syllabify(SentenceAnalysis& out, TextGroup& group) {
    const SyllableContext ctx{data_.sets, data_.sonority, data_.table, data_.silent_letters};
    group.syllabes.clear();
    if (group.est_formule && group.count == 1) {
        TextWord& w = out.words[group.first];
        Text key = w.display;
        key.push_back(U'\x1E');
        key.append(w.phone);
        const FormulaReading& reading = steps_.get(key, [&] {
            FormulaReading r;
            r.steps = formula_steps(w.display, w.phone, Span{}, ctx, syllables_);
            r.syllables = syllables_of_steps(r.steps);
            return r;
        });
        w.steps = reading.steps;
        for (FormulaStep& step : w.steps) step.span_source = w.span;
        group.syllabes.append(reading.syllables, [&](const SyllabeRec&) { return w.span; });
        return;
    }
    if (group.phone_groupe.empty()) return;

    thread_local std::vector<PlacedWord> words;
    words.clear();
    for (std::size_t k = group.first; k < group.first + group.count; ++k)
        words.push_back(PlacedWord{out.words[k].text, places_[k].data()});
    // Words joined by a hyphen without a liaison or an enchaînement are said
    // with a break between them: no syllable runs across it (donne | le | moi),
    // unless the word after has no vowel to stand on (est-ce).
    thread_local std::vector<std::size_t> cuts;
    cuts.clear();
    std::size_t offset = 0;
    for (std::size_t k = 0; k < group.count; ++k) {
        const TextWord& w = out.words[group.first + k];
        if (k > 0 && group.jonctions[k - 1] == JONCTION_TRAIT_UNION && has_vowel(w.phone)) cuts.push_back(offset);
        offset += w.phone.size();
    }
    if (place_syllables(words, group.phone_groupe, cuts, ctx, syllables_, group.syllabes)) return;

    // The group cannot be aligned as a whole: each word alone, so that one
    // word that cannot be aligned does not take the others' letters with it.
    for (std::size_t k = group.first; k < group.first + group.count; ++k) {
        TextWord& w = out.words[k];
        if (w.phone.empty()) continue;
        if (!place_syllables({PlacedWord{w.text, places_[k].data()}}, w.phone, {}, ctx, syllables_, group.syllabes)) {
            w.aligned = false;
            place_unaligned(w.phone, w.span.start, ctx, group.syllabes);
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
