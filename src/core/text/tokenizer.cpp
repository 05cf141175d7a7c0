#include "text/tokenizer.hpp"

#include <utility>

#include "text/abbreviations.hpp"
#include "text/characters.hpp"
#include "text/elision.hpp"
#include "text/numbers.hpp"
#include "text/piece.hpp"
#include "text/scan.hpp"
#include "text/word_reading.hpp"
#include "text/word_splitter.hpp"
#include "unicode/unicode.hpp"

namespace vantro::text {

namespace {

using unicode::Category;

bool starts_with_ascii_nocase(TextView t, std::size_t i, TextView prefix) {
    if (t.size() - i < prefix.size()) return false;
    for (std::size_t k = 0; k < prefix.size(); ++k) {
        char32_t c = t[i + k];
        if (c >= U'A' && c <= U'Z') c += 32;
        if (c != prefix[k]) return false;
    }
    return true;
}

// An address: http://, https://, ftp:// or www. before a letter or digit.
bool starts_address(TextView t, std::size_t i) {
    for (TextView p : {TextView(U"http://"), TextView(U"https://"), TextView(U"ftp://"), TextView(U"www.")})
        if (starts_with_ascii_nocase(t, i, p) && i + p.size() < t.size() && is_alnum(t[i + p.size()])) return true;
    return false;
}

// Characters that are read as nothing: control, format, private-use,
// unassigned and surrogate code points, modifier symbols, and the pictographs
// and other symbols that have no French reading here.
bool is_unread(char32_t c) {
    const Category g = unicode::category(c);
    switch (g) {
        case Category::Cc: case Category::Cf: case Category::Cs: case Category::Co: case Category::Cn:
        case Category::Sk:
            return true;
        case Category::So:
            return symbol_reading(c).reading.empty();
        default:
            return false;
    }
}

// < and > between two numbers compare them (2 < 3); elsewhere they bracket
// (<nom@exemple.fr>) and are punctuation.
bool compares_numbers(TextView t, std::size_t i, const Context& before) {
    if (!before.after_number) return false;
    ++i;
    while (i < t.size() && is_group_space(t[i])) ++i;
    return i < t.size() && (is_digit(t[i]) || t[i] == U'-' || t[i] == U'\u2212');
}

bool has_sentence_final(TextView s) {
    for (char32_t c : s)
        if (is_sentence_final(c)) return true;
    return false;
}

bool capitalised(TextView w) {
    if (w.empty()) return false;
    const Category first = unicode::category(w[0]);
    if (first != Category::Lu && first != Category::Lt) return false;
    for (std::size_t i = 1; i < w.size(); ++i)
        if (unicode::category(w[i]) == Category::Ll) return true;
    return false;
}

}  // namespace

struct Tokenizer::State {
    unicode::NfcText nfc;
    std::size_t pos = 0;
    std::vector<Piece> queue;  // pieces scanned, not yet placed in a sentence
    std::size_t head = 0;      // first unplaced piece of `queue`

    // What the scanner remembers of the spoken piece before.
    Context context;
    bool elision_next = false;  // an elided word ended with its apostrophe before a space

    // What the sentence builder remembers.
    bool first_sentence = true;
    bool punctuation_since_spoken = false;
    bool final_pending = false;  // the sentence may end here, if what follows starts a new one
    bool open_quote = false;     // an odd number of " in the sentence so far
    std::vector<Text> readings;  // of the tokens of the sentence being built

    explicit State(TextView original) : nfc(original) {}

    TextView text() const { return nfc.text(); }

    bool scan();
    void scan_word(std::size_t start, std::vector<Piece>& out);
    void scan_other(std::size_t start, std::vector<Piece>& out);
    void scan_punctuation(std::size_t start, std::vector<Piece>& out);
    void remember(const Piece& p);

    bool boundary_before(const Piece& p, const Sentence& s) const;
    void place(Piece&& p, Sentence& s);
    void finish(Sentence& s);
};

// Scans the next stretch of text (the white space before it, then one word,
// number or mark) into `queue`; false at the end of the text.
bool Tokenizer::State::scan() {
    const TextView t = text();
    const std::size_t n = t.size();
    bool space = false, paragraph = false;
    std::size_t line_breaks = 0;
    while (pos < n && unicode::is_space(t[pos])) {
        const char32_t c = t[pos];
        space = true;
        if (is_paragraph_break(c)) paragraph = true;
        else if (is_line_break(c) && !(c == U'\r' && pos + 1 < n && t[pos + 1] == U'\n')) ++line_breaks;
        ++pos;
    }
    if (pos >= n) return false;
    paragraph = paragraph || line_breaks >= 2;

    const std::size_t first_new = queue.size();
    const char32_t c = t[pos];
    const Category g = unicode::category(c);
    const bool sign_before_digit = (c == U'-' || c == U'\u2212' || c == U'+') && pos + 1 < n && is_digit(t[pos + 1]) &&
                                   (pos == 0 || unicode::is_space(t[pos - 1]) || is_opening(t[pos - 1]));
    if (is_digit(c) || sign_before_digit) {
        NumberScan r = scan_number(t, pos);
        Piece p;
        p.begin = pos;
        p.end = r.end;
        if (r.code) {
            p.kind = TokenKind::Code;
            p.reading = word_reading(t.substr(pos, r.end - pos));
        } else {
            p.kind = TokenKind::Number;
            p.reading = std::move(r.reading);
            context.after_plural_number = r.value && *r.value >= 2;
        }
        queue.push_back(std::move(p));
    } else if (is_letter(c)) {
        scan_word(pos, queue);
    } else if (unicode::is_number(g)) {
        // ½, ², Ⅻ: a number of one character.
        Piece p;
        p.kind = TokenKind::Number;
        p.begin = pos;
        p.end = skip_marks(t, pos + 1);
        p.reading = Text(t.substr(pos, p.end - pos));
        queue.push_back(std::move(p));
    } else if (((unicode::is_punctuation(g) || is_apostrophe(c)) && symbol_reading(c).reading.empty()) ||
               ((c == U'<' || c == U'>') && !compares_numbers(t, pos, context))) {
        scan_punctuation(pos, queue);
    } else if ((unicode::is_punctuation(g) || unicode::is_symbol(g)) && !is_unread(c)) {
        Piece p;
        p.kind = TokenKind::Symbol;
        p.begin = pos;
        p.end = skip_marks(t, pos + 1);
        const SymbolReading s = symbol_reading(c);
        p.reading = s.reading.empty() ? Text(t.substr(pos, 1)) : Text(s.reading);
        queue.push_back(std::move(p));
    } else {
        scan_other(pos, queue);
    }

    // The trailing apostrophe of an elided word before a space (l’ enfant)
    // links the next spoken piece to it.
    for (std::size_t k = first_new; k < queue.size(); ++k) {
        Piece& p = queue[k];
        if (elision_next && is_spoken(p.kind)) p.elision_avant = true;
        elision_next = false;
        remember(p);
    }
    Piece& first = queue[first_new];
    first.space_before = space;
    first.paragraph_before = paragraph;
    pos = queue.back().end;
    if (queue.back().kind == TokenKind::Word && queue.back().elide && pos > 0 && is_apostrophe(t[pos - 1]) &&
        pos < n && unicode::is_space(t[pos])) {
        elision_next = true;
    }
    return true;
}

void Tokenizer::State::remember(const Piece& p) {
    const TextView t = text();
    const bool number = p.kind == TokenKind::Number;
    if (!number) context.after_plural_number = false;
    context.after_number = number;
    if (p.kind == TokenKind::Word) {
        const TextView w = t.substr(p.begin, p.end - p.begin);
        context.after_name = capitalised(w) || numbers_with_roman(comparable(w));
    } else {
        context.after_name = false;
    }
}

void Tokenizer::State::scan_word(std::size_t start, std::vector<Piece>& out) {
    const TextView t = text();
    const std::size_t n = t.size();
    if (starts_address(t, start)) {
        // To the next space, less the punctuation that closes the sentence or a bracket.
        std::size_t e = start;
        while (e < n && !unicode::is_space(t[e]) && !is_unread(t[e]) && t[e] != U'\u00AB' && t[e] != U'\u00BB' &&
               t[e] != U'"' && t[e] != U'<' && t[e] != U'>')
            ++e;
        while (e > start + 1 && (t[e - 1] == U'.' || t[e - 1] == U',' || t[e - 1] == U';' || t[e - 1] == U':' ||
                                 t[e - 1] == U'!' || t[e - 1] == U'?' || t[e - 1] == U')' || is_apostrophe(t[e - 1])))
            --e;
        Piece p;
        p.kind = TokenKind::Code;
        p.begin = start;
        p.end = e;
        p.reading = Text(t.substr(start, e - start));
        out.push_back(std::move(p));
        return;
    }
    if (const Abbreviation* a = match_dotted_abbreviation(t.substr(start))) {
        const std::size_t e = start + a->written.size();
        if (!is_alnum(a->written.back()) || e >= n || !is_alnum(t[e])) {
            Piece p;
            p.kind = TokenKind::Abbreviation;
            p.begin = start;
            p.end = skip_marks(t, e);
            p.reading = Text(context.after_plural_number && !a->plural.empty() ? a->plural : a->reading);
            p.may_end_sentence = (a->flags & kMayEndSentence) != 0;
            out.push_back(std::move(p));
            return;
        }
    }
    const WordRun run = word_run(t, start);
    if (run.dotted || run.has_digit) {
        // exemple.fr, MP3, H2O, COVID-19; an elided word before it stays apart (l’A380).
        std::size_t b = start;
        std::size_t a = start;
        while (a < run.end && is_letter(t[a])) ++a;
        if (a < run.end && is_apostrophe(t[a]) && is_elided_form(comparable(t.substr(start, a - start)))) {
            Piece e;
            e.begin = start;
            e.end = a + 1;
            e.elide = true;
            e.reading = word_reading(t.substr(start, a + 1 - start));
            out.push_back(std::move(e));
            b = a + 1;
        }
        Piece p;
        p.kind = is_digit(t[b]) ? TokenKind::Number : TokenKind::Code;
        p.begin = b;
        p.end = run.end;
        p.elision_avant = b != start;
        if (p.kind == TokenKind::Number) {
            NumberScan r = scan_number(t, b);
            if (r.code || r.end != run.end) p.kind = TokenKind::Code;
            else p.reading = std::move(r.reading);
        }
        if (p.kind == TokenKind::Code) p.reading = word_reading(t.substr(b, run.end - b));
        out.push_back(std::move(p));
        return;
    }
    const std::size_t first = out.size();
    split_word(t, start, run.end, out);
    for (std::size_t k = first; k < out.size(); ++k) {
        read_word(t, out[k], context);
        if (k + 1 < out.size()) remember(out[k]);
    }
    // An elided word before a space keeps its apostrophe (l’ enfant, jusqu’ à),
    // when a letter or a digit comes after the space.
    Piece& last = out.back();
    const std::size_t e = last.end;
    if (last.kind == TokenKind::Word && !last.trait_union_avant && e + 1 < n && is_apostrophe(t[e]) &&
        is_elided_form(comparable(t.substr(last.begin, e - last.begin)))) {
        std::size_t k = e + 1;
        while (k < n && unicode::is_space(t[k]) && !is_line_break(t[k]) && !is_paragraph_break(t[k])) ++k;
        if (k > e + 1 && k < n && is_alnum(t[k])) {
            last.end = e + 1;
            last.elide = true;
            last.reading.push_back(U'\'');
        }
    }
}

void Tokenizer::State::scan_punctuation(std::size_t start, std::vector<Piece>& out) {
    const TextView t = text();
    const std::size_t n = t.size();
    const char32_t c = t[start];
    std::size_t e = start + 1;
    // Ellipses written as full stops, and runs of ! and ?, are one mark.
    if (c == U'.') {
        while (e < n && t[e] == U'.') ++e;
    } else if (c == U'!' || c == U'?') {
        while (e < n && (t[e] == U'!' || t[e] == U'?')) ++e;
    }
    e = skip_marks(t, e);
    Piece p;
    p.kind = TokenKind::Punctuation;
    p.begin = start;
    p.end = e;
    p.reading = Text(t.substr(start, e - start));
    p.may_end_sentence = has_sentence_final(p.reading);
    out.push_back(std::move(p));
}

void Tokenizer::State::scan_other(std::size_t start, std::vector<Piece>& out) {
    const TextView t = text();
    std::size_t e = start + 1;
    while (e < t.size() && !unicode::is_space(t[e]) && (is_unread(t[e]) || is_mark(t[e]))) ++e;
    Piece p;
    p.kind = TokenKind::Other;
    p.begin = start;
    p.end = e;
    out.push_back(std::move(p));
}

// Whether `p` starts a new sentence after the tokens of `s`.
bool Tokenizer::State::boundary_before(const Piece& p, const Sentence& s) const {
    if (s.tokens.empty()) return false;
    if (p.paragraph_before) return true;
    if (!final_pending || !p.space_before) return false;
    const char32_t c = text()[p.begin];
    if (p.kind == TokenKind::Punctuation) {
        if (c == U'"') return !open_quote;
        if (is_closing(c)) return false;
        return is_opening(c);
    }
    if (!is_spoken(p.kind)) return false;
    const Category g = unicode::category(c);
    return g == Category::Lu || g == Category::Lt || is_digit(c) || c == U'-' || c == U'+' || c == U'\u2212';
}

void Tokenizer::State::place(Piece&& p, Sentence& s) {
    const TextView t = text();
    Token tok;
    tok.kind = p.kind;
    tok.nfc_span = {static_cast<std::int64_t>(p.begin), static_cast<std::int64_t>(p.end)};
    tok.span = nfc.to_source(tok.nfc_span);
    tok.text.assign(t.substr(p.begin, p.end - p.begin));
    tok.elide = p.elide;
    tok.elision_avant = p.elision_avant;
    tok.trait_union_avant = p.trait_union_avant;
    if (is_spoken(p.kind)) {
        tok.ponctuation_avant = punctuation_since_spoken || (s.tokens.empty() && !first_sentence);
        punctuation_since_spoken = false;
    } else {
        punctuation_since_spoken = true;
    }
    // Whether the sentence may end after this token.
    const char32_t c = t[p.begin];
    if (p.may_end_sentence) final_pending = true;
    else if (!(p.kind == TokenKind::Punctuation && is_closing(c))) final_pending = false;
    if (c == U'"') open_quote = !open_quote;

    s.tokens.push_back(std::move(tok));
    readings.push_back(std::move(p.reading));
}

// The sentence's spans and the text a phonemizer reads: the tokens' readings
// with a space where the text has one, and between a formula and what
// touches it (10km: "10 kilomètres").
void Tokenizer::State::finish(Sentence& s) {
    const Token& first = s.tokens.front();
    const Token& last = s.tokens.back();
    s.nfc_span = {first.nfc_span.start, last.nfc_span.end};
    s.span = {first.span.start, last.span.end};
    s.lecture.clear();
    for (std::size_t i = 0; i < s.tokens.size(); ++i) {
        Token& tok = s.tokens[i];
        if (i > 0) {
            const Token& prev = s.tokens[i - 1];
            const bool gap = prev.nfc_span.end < tok.nfc_span.start;
            const bool unread = prev.kind == TokenKind::Other || tok.kind == TokenKind::Other;
            const bool formula_touch = (is_formula(prev.kind) || is_formula(tok.kind)) && is_spoken(prev.kind) &&
                                       is_spoken(tok.kind) && !tok.elision_avant;
            if ((gap || unread || formula_touch) && !s.lecture.empty() && s.lecture.back() != U' ')
                s.lecture.push_back(U' ');
        }
        const auto start = static_cast<std::int64_t>(s.lecture.size());
        if (tok.kind != TokenKind::Other) s.lecture.append(readings[i]);
        tok.lecture_span = {start, static_cast<std::int64_t>(s.lecture.size())};
    }
}

Tokenizer::Tokenizer(TextView original) : state_(std::make_unique<State>(original)) {}
Tokenizer::~Tokenizer() = default;
Tokenizer::Tokenizer(Tokenizer&&) noexcept = default;
Tokenizer& Tokenizer::operator=(Tokenizer&&) noexcept = default;

const unicode::NfcText& Tokenizer::normalized() const noexcept { return state_->nfc; }

bool Tokenizer::next(Sentence& out) {
    State& st = *state_;
    out.tokens.clear();
    out.lecture.clear();
    st.readings.clear();
    st.final_pending = false;
    st.open_quote = false;
    while (true) {
        if (st.head == st.queue.size()) {
            st.queue.clear();
            st.head = 0;
            if (!st.scan()) break;
        }
        Piece& p = st.queue[st.head];
        if (st.boundary_before(p, out)) break;
        st.place(std::move(p), out);
        ++st.head;
    }
    if (out.tokens.empty()) return false;
    st.finish(out);
    st.first_sentence = false;
    return true;
}

std::vector<Sentence> tokenize(TextView original) {
    Tokenizer tokenizer(original);
    std::vector<Sentence> out;
    Sentence s;
    while (tokenizer.next(s)) out.push_back(std::move(s));
    return out;
}

}  // namespace vantro::text
