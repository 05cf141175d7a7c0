#include "view/build_view.hpp"

#include <algorithm>
#include <numeric>

#include "view/french_letters.hpp"
#include "view/group_work.hpp"

namespace vantro::view {

namespace {

using namespace detail;

template <class T>
T& at(std::vector<T>& v, int i) { return v[static_cast<std::size_t>(i)]; }
template <class T>
const T& at(const std::vector<T>& v, int i) { return v[static_cast<std::size_t>(i)]; }

// Positions of the given letters, from the first to just after the last.
Span extent(const std::vector<Letter>& letters, const std::vector<int>& indices) {
    if (indices.empty()) return Span{0, 0};
    Span s{at(letters, indices.front()).position, at(letters, indices.front()).position + 1};
    for (int i : indices) {
        s.start = std::min(s.start, at(letters, i).position);
        s.end = std::max(s.end, at(letters, i).position + 1);
    }
    return s;
}

Text characters(const std::vector<Letter>& letters, const std::vector<int>& indices) {
    Text out;
    for (int i : indices) out.push_back(at(letters, i).character);
    return out;
}

GroupWork gather(const GroupInput& group, const Text& text, std::int64_t& last_end) {
    GroupWork g;
    g.input = &group;
    const auto size = static_cast<std::int64_t>(text.size());
    for (std::size_t w = 0; w < group.words.size(); ++w) {
        // Words keep to the text and to text order; what does not is left out.
        const Span given = group.words[w].span;
        const std::int64_t start = std::clamp(given.start, last_end, size);
        const std::int64_t end = std::clamp(given.end, start, size);
        g.words.push_back(Span{start, end});
        for (std::int64_t p = start; p < end; ++p) {
            const char32_t c = text[static_cast<std::size_t>(p)];
            g.letters.push_back(LetterWork{p, c, fold(c), static_cast<int>(w), {}});
        }
        last_end = std::max(last_end, end);
    }
    if (group.alignment_ok && !group.formula) {
        for (std::size_t k = 0; k < group.phonemes.size(); ++k) {
            PhonemeWork p;
            p.ipa = group.phonemes[k].ipa;
            p.grapheme = group.phonemes[k].grapheme;
            p.order = 2 * static_cast<int>(k);
            g.phonemes.push_back(std::move(p));
        }
    }
    return g;
}

Text junction_kind(TextView label) {
    if (label == U"elision" || label == U"enchainement") return Text(label);
    if (label.starts_with(U"liaison_")) return U"liaison";
    return Text();
}

class Emitter {
public:
    Emitter(LetterView& v, const GroupWork& g, int group) : v_(v), g_(g), group_(group) {}

    void run() {
        base_letter_ = static_cast<int>(v_.letters.size());
        base_syllable_ = static_cast<int>(v_.syllables.size());
        base_word_ = static_cast<int>(v_.words.size());
        order_phonemes();
        order_units();
        words();
        letters();
        phonemes();
        units();
        syllables();
        junctions();
        group();
    }

private:
    int letter(int local) const { return base_letter_ + local; }
    int phoneme(int local) const { return base_phoneme_ + at(phoneme_rank_, local); }

    void order_phonemes() {
        base_phoneme_ = static_cast<int>(v_.phonemes.size());
        std::vector<int> by_order(g_.phonemes.size());
        std::iota(by_order.begin(), by_order.end(), 0);
        std::stable_sort(by_order.begin(), by_order.end(),
                         [&](int a, int b) { return at(g_.phonemes, a).order < at(g_.phonemes, b).order; });
        phoneme_rank_.assign(by_order.size(), 0);
        for (std::size_t r = 0; r < by_order.size(); ++r) at(phoneme_rank_, by_order[r]) = static_cast<int>(r);
        phonemes_in_order_ = std::move(by_order);
    }

    void order_units() {
        base_unit_ = static_cast<int>(v_.units.size());
        for (std::size_t u = 0; u < g_.units.size(); ++u)
            if (!g_.units[u].letters.empty()) units_in_order_.push_back(static_cast<int>(u));
        std::sort(units_in_order_.begin(), units_in_order_.end(), [&](int a, int b) {
            return at(g_.units, a).letters.front() < at(g_.units, b).letters.front();
        });
        unit_rank_.assign(g_.units.size(), NONE);
        for (std::size_t r = 0; r < units_in_order_.size(); ++r)
            at(unit_rank_, units_in_order_[r]) = base_unit_ + static_cast<int>(r);
    }

    void words() {
        for (std::size_t i = 0; i < g_.words.size(); ++i) {
            const Span& w = g_.words[i];
            const WordInput& given = g_.input->words[i];
            v_.words.push_back(WordOut{group_, w,
                                       v_.text.substr(static_cast<std::size_t>(w.start),
                                                      static_cast<std::size_t>(w.end - w.start)),
                                       given.language, given.reread});
        }
    }

    // Phonemes a letter spells (silent letters spell none).
    std::vector<int> spelled(const LetterWork& l) const {
        std::vector<int> out;
        for (const Claim& c : l.claims)
            if (!c.silent) out.push_back(phoneme(c.phoneme));
        std::sort(out.begin(), out.end());
        out.erase(std::unique(out.begin(), out.end()), out.end());
        return out;
    }

    void letters() {
        for (const LetterWork& l : g_.letters) {
            Letter out;
            out.position = l.position;
            out.character = l.character;
            out.group = group_;
            out.word = base_word_ + l.word;
            out.syllable = l.syllable == NONE ? NONE : base_syllable_ + l.syllable;
            out.constituent = l.syllable == NONE ? Constituent::Aucun : l.constituent;
            out.phonemes = spelled(l);
            out.role = l.role;
            out.unit = l.unit == NONE ? NONE : at(unit_rank_, l.unit);
            v_.letters.push_back(std::move(out));
        }
    }

    void phonemes() {
        std::vector<std::vector<int>> letters_of(g_.phonemes.size());
        for (int i = 0; i < static_cast<int>(g_.letters.size()); ++i)
            for (const Claim& c : at(g_.letters, i).claims)
                if (!c.silent) at(letters_of, c.phoneme).push_back(letter(i));
        std::int64_t previous_end = g_.words.empty() ? 0 : g_.words.front().start;
        for (int k : phonemes_in_order_) {
            const PhonemeWork& p = at(g_.phonemes, k);
            PhonemeOut out;
            out.ipa = p.ipa;
            out.grapheme = p.grapheme;
            out.letters = at(letters_of, k);
            std::sort(out.letters.begin(), out.letters.end());
            out.letters.erase(std::unique(out.letters.begin(), out.letters.end()), out.letters.end());
            out.span = out.letters.empty() ? Span{previous_end, previous_end} : extent(v_.letters, out.letters);
            previous_end = out.span.end;
            out.group = group_;
            out.syllable = p.syllable == NONE ? NONE : base_syllable_ + p.syllable;
            out.constituent = p.syllable == NONE ? Constituent::Aucun : p.constituent;
            v_.phonemes.push_back(std::move(out));
        }
    }

    void units() {
        for (int u : units_in_order_) {
            const UnitWork& w = at(g_.units, u);
            Unit out;
            for (int i : w.letters) out.letter_indices.push_back(letter(i));
            std::sort(out.letter_indices.begin(), out.letter_indices.end());
            out.letters = characters(v_.letters, out.letter_indices);
            out.span = extent(v_.letters, out.letter_indices);
            for (int i : out.letter_indices)
                for (int k : at(v_.letters, i).phonemes) out.phonemes.push_back(k);
            std::sort(out.phonemes.begin(), out.phonemes.end());
            out.phonemes.erase(std::unique(out.phonemes.begin(), out.phonemes.end()), out.phonemes.end());
            out.silent = w.silent;
            v_.units.push_back(std::move(out));
        }
    }

    void syllables() {
        for (const SyllableWork& s : g_.syllables) {
            Syllable out;
            out.group = group_;
            for (int i : s.letters) out.letter_indices.push_back(letter(i));
            for (int k : s.phonemes) out.phonemes.push_back(phoneme(k));
            std::sort(out.phonemes.begin(), out.phonemes.end());
            out.letters = characters(v_.letters, out.letter_indices);
            out.span = extent(v_.letters, out.letter_indices);
            if (s.phone.empty() || v_.mode == SyllableMode::Ecrites)
                for (int k : out.phonemes) out.phone += at(v_.phonemes, k).ipa;
            else
                out.phone = s.phone;
            fill_part(out, out.attaque, Constituent::Attaque);
            fill_part(out, out.noyau, Constituent::Noyau);
            fill_part(out, out.coda, Constituent::Coda);
            v_.syllables.push_back(std::move(out));
        }
    }

    void fill_part(const Syllable& s, Part& part, Constituent c) {
        for (int i : s.letter_indices)
            if (at(v_.letters, i).constituent == c) part.letters.push_back(i);
        for (int k : s.phonemes)
            if (at(v_.phonemes, k).constituent == c) {
                part.phonemes.push_back(k);
                part.phone += at(v_.phonemes, k).ipa;
            }
        part.span = extent(v_.letters, part.letters);
    }

    void junctions() {
        const auto& labels = g_.input->jonctions;
        for (std::size_t w = 0; w < labels.size() && w + 1 < g_.words.size(); ++w) {
            Junction j;
            j.group = group_;
            j.word_before = base_word_ + static_cast<int>(w);
            j.label = labels[w];
            j.kind = junction_kind(labels[w]);
            if (j.kind == U"liaison") j.consonant = labels[w].substr(8);
            const int carrier = g_.input->formula ? NONE : liaison_letter(g_, static_cast<int>(w), labels[w]);
            j.letter = carrier == NONE ? NONE : letter(carrier);
            v_.junctions.push_back(std::move(j));
        }
    }

    void group() {
        GroupOut out;
        if (!g_.words.empty()) out.span = Span{g_.words.front().start, g_.words.back().end};
        out.first_word = base_word_;
        out.word_count = static_cast<int>(g_.words.size());
        out.first_syllable = base_syllable_;
        out.syllable_count = static_cast<int>(g_.syllables.size());
        out.alignment_ok = g_.input->formula || g_.aligned();
        out.formula = g_.input->formula;
        out.display = g_.input->display;
        v_.groups.push_back(std::move(out));
    }

    LetterView& v_;
    const GroupWork& g_;
    int group_;
    int base_letter_ = 0, base_syllable_ = 0, base_word_ = 0, base_phoneme_ = 0, base_unit_ = 0;
    std::vector<int> phoneme_rank_, phonemes_in_order_, units_in_order_, unit_rank_;
};

}  // namespace

LetterView build_letter_view(const ViewInput& input, SyllableMode mode, const PhonemeSets& sets) {
    LetterView v;
    v.text = input.text;
    v.mode = mode;
    std::int64_t last_end = 0;
    for (std::size_t gi = 0; gi < input.groups.size(); ++gi) {
        GroupWork g = gather(input.groups[gi], input.text, last_end);
        if (g.input->formula) {
            place_formula(g);
        } else {
            claim_letters(g);
            assign_roles(g, sets);
            place_spoken_syllables(g);
            form_units(g, sets);
            if (mode == SyllableMode::Ecrites) place_written_syllables(g, sets);
        }
        Emitter(v, g, static_cast<int>(gi)).run();
    }
    return v;
}

}  // namespace vantro::view
