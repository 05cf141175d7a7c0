// Fuzz target: the letter view (spoken and written syllables) and its JSON,
// HTML and terminal renderings, on any text, any word spans and any
// alignment, consistent with the syllables or not.
//
// Input, one field per line: the text; numbers (start and end of each
// word); the group's IPA; graphemes separated by "|" (when present, the
// alignment is taken from the input instead of computed); numbers (start
// and end of each grapheme); junction labels separated by "|"; numbers
// (start and end of the steps of a formula reading: the group is then a
// formula).

#include <algorithm>
#include <string>

#include "alignment/assembly.hpp"
#include "export/renderers.hpp"
#include "export/text_walk.hpp"
#include "fuzz_common.hpp"
#include "groups/group_syllabifier.hpp"
#include "phonology/tokens.hpp"
#include "results/syllable_builder.hpp"
#include "view/build_view.hpp"

using namespace vantro;

namespace {

std::vector<Span> pairs(const std::vector<std::int64_t>& n) {
    std::vector<Span> out;
    for (std::size_t i = 0; i + 1 < n.size(); i += 2) out.push_back(Span{n[i], n[i + 1]});
    return out;
}

void check_view(const view::LetterView& v) {
    using view::NONE;
    const auto n = [](const auto& c) { return static_cast<int>(c.size()); };
    std::vector<int> owner(v.letters.size(), NONE);
    for (int s = 0; s < n(v.syllables); ++s) {
        int prev = -1;
        for (int i : v.syllables[static_cast<std::size_t>(s)].letter_indices) {
            FUZZ_CHECK(i > prev && i < n(v.letters));
            FUZZ_CHECK(owner[static_cast<std::size_t>(i)] == NONE);
            owner[static_cast<std::size_t>(i)] = s;
            prev = i;
        }
        for (int k : v.syllables[static_cast<std::size_t>(s)].phonemes) FUZZ_CHECK(k >= 0 && k < n(v.phonemes));
    }
    std::int64_t last = -1;
    for (std::size_t i = 0; i < v.letters.size(); ++i) {
        const view::Letter& l = v.letters[i];
        FUZZ_CHECK(l.position > last && l.position < static_cast<std::int64_t>(v.text.size()));
        FUZZ_CHECK(v.text[static_cast<std::size_t>(l.position)] == l.character);
        FUZZ_CHECK(l.syllable == owner[i]);
        for (int k : l.phonemes) FUZZ_CHECK(k >= 0 && k < n(v.phonemes));
        FUZZ_CHECK(l.unit == NONE || (l.unit >= 0 && l.unit < n(v.units)));
        last = l.position;
    }
    for (const view::Unit& u : v.units)
        for (int i : u.letter_indices) FUZZ_CHECK(i >= 0 && i < n(v.letters));
    for (const view::Junction& j : v.junctions) FUZZ_CHECK(j.letter == NONE || (j.letter >= 0 && j.letter < n(v.letters)));
}

// The JSON text nests properly and keeps control characters out of its strings.
void check_json(TextView s) {
    int depth = 0;
    bool in_string = false;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char32_t c = s[i];
        if (in_string) {
            FUZZ_CHECK(c >= 0x20 && !(c >= 0xD800 && c <= 0xDFFF));
            if (c == U'\\') ++i;
            else if (c == U'"') in_string = false;
        } else if (c == U'"') {
            in_string = true;
        } else if (c == U'{' || c == U'[') {
            ++depth;
        } else if (c == U'}' || c == U']') {
            FUZZ_CHECK(--depth >= 0);
        }
    }
    FUZZ_CHECK(depth == 0 && !in_string);
}

// Every "<" opens or closes one of the renderer's own elements, in order.
void check_html(TextView s) {
    static const TextView kinds[] = {U"span", U"p", U"div", U"style", U"html", U"head", U"body", U"title"};
    std::vector<TextView> stack;
    for (std::size_t i = s.find(U'<'); i != TextView::npos; i = s.find(U'<', i + 1)) {
        const TextView rest = s.substr(i + 1);
        if (rest.starts_with(U"!DOCTYPE") || rest.starts_with(U"meta ")) continue;
        const bool closing = rest.starts_with(U"/");
        const TextView name = rest.substr(closing ? 1 : 0);
        bool known = false;
        for (TextView k : kinds) {
            if (!name.starts_with(k) || (name.size() > k.size() && name[k.size()] != U'>' && name[k.size()] != U' '))
                continue;
            known = true;
            if (!closing) stack.push_back(k);
            else {
                FUZZ_CHECK(!stack.empty() && stack.back() == k);
                stack.pop_back();
            }
            break;
        }
        FUZZ_CHECK(known);
        if (!closing && name.starts_with(U"style")) i = s.find(U"</style>", i) - 1;  // the style sheet
    }
    FUZZ_CHECK(stack.empty());
}

void check_ansi(TextView s) {
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char32_t c = s[i];
        if (c == 0x1B) FUZZ_CHECK(i + 1 < s.size() && s[i + 1] == U'[');
        else FUZZ_CHECK(!exporting::detail::unsafe_char(c));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    const fuzz::Data& d = fuzz::data();
    const auto f = fuzz::split(std::string_view(reinterpret_cast<const char*>(bytes), size), '\n', 7);
    auto field = [&](std::size_t i) { return i < f.size() ? f[i] : std::string_view(); };

    view::GroupInput g;
    const Text text = fuzz::decode(field(0));
    std::vector<GroupWord> words;
    for (Span w : pairs(fuzz::numbers(field(1)))) {
        g.words.push_back(view::WordInput{w, Text(), size % 3 == 0});
        const std::int64_t s = std::clamp<std::int64_t>(w.start, 0, static_cast<std::int64_t>(text.size()));
        const std::int64_t e = std::clamp<std::int64_t>(w.end, s, static_cast<std::int64_t>(text.size()));
        words.push_back(GroupWord{text.substr(static_cast<std::size_t>(s), static_cast<std::size_t>(e - s)), s});
    }
    if (words.empty()) {
        g.words.push_back(view::WordInput{{0, static_cast<std::int64_t>(text.size())}, Text(), false});
        words.push_back(GroupWord{text, 0});
    }
    const Text phone = fuzz::decode(field(2));
    g.jonctions = fuzz::pieces(field(5));
    static const CompiledTable table(d.table);
    const LinguisticContext ctx{d.sets, d.sonority, table, d.silent};
    try {
        if (!field(6).empty()) {
            g.formula = true;
            for (Span s : pairs(fuzz::numbers(field(6)))) g.reading.push_back(view::ReadingStep{U"x", phone, s});
        } else if (!field(3).empty()) {
            const std::vector<Text> gr = fuzz::pieces(field(3));
            const std::vector<Span> spans = pairs(fuzz::numbers(field(4)));
            const std::vector<Text> ph = iter_phonemes(phone);
            const std::size_t n = std::min({gr.size(), spans.size(), ph.size()});
            for (std::size_t k = 0; k < n; ++k) g.phonemes.push_back(view::AlignedPhoneme{ph[k], gr[k], spans[k]});
            g.alignment_ok = size % 2 == 0;
            std::vector<Text> dph, dgr;
            std::vector<Span> dsp;
            for (const auto& p : g.phonemes) {
                dph.push_back(p.ipa);
                dgr.push_back(p.grapheme);
                dsp.push_back(p.span);
            }
            g.syllables = build_syllabes(syllabify_ipa(phone, d.sonority, d.sets), dph, dgr, dsp, 0, g.alignment_ok,
                                         d.sets);
        } else if (!phone.empty()) {
            Analysis a = analyse_groupe(phone, words, ctx);
            for (std::size_t k = 0; k < a.alignment.dec_ph.size(); ++k)
                g.phonemes.push_back(view::AlignedPhoneme{a.alignment.dec_ph[k], a.alignment.dec_gr[k],
                                                          a.alignment.dec_spans[k]});
            g.alignment_ok = a.alignment.ok;
            g.syllables = std::move(a.syllabes);
        }
    } catch (const std::exception&) {
        return 0;  // input too long, offsets beyond 64 bits: refused before the view
    }

    const view::ViewInput in{text, {g}};
    for (view::SyllableMode mode : {view::SyllableMode::Orales, view::SyllableMode::Ecrites}) {
        const view::LetterView v = view::build_letter_view(in, mode, d.sets);
        check_view(v);
        check_json(exporting::to_json(v));
        exporting::HtmlOptions o;
        o.page = size % 2 == 1;
        check_html(exporting::to_html(v, o));
        check_ansi(exporting::to_ansi(v, exporting::AnsiOptions{}));
    }
    return 0;
}
