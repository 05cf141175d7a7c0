// The letter view as HTML for readers: syllables in two alternating colours,
// silent letters in grey, an arc under each liaison and enchaînement, the
// phonemes in each letter's title. Every character of the text goes through
// the escaper: the text is never markup.

#include <cmath>
#include <cstdio>
#include <stdexcept>

#include "export/renderers.hpp"
#include "export/text_walk.hpp"

namespace vantro::exporting {

namespace {

using namespace view;

// The page's style; --va-* are set per reading on its container.
constexpr char32_t STYLE[] = U"\n"
    U".vantro-lecture{--va-c0:#0072B2;--va-c1:#D55E00;--va-muette:#767676;--va-arc:#009E73;"
    U"font-family:\"Andika\",\"Atkinson Hyperlegible\",\"OpenDyslexic\",Verdana,Arial,sans-serif;"
    U"font-size:calc(1.6rem * var(--va-taille,1));line-height:2.4;letter-spacing:var(--va-lettres,0);"
    U"word-spacing:var(--va-mots,0);color:#1a1a1a;background:#fff;}\n"
    U".vantro-lecture .va-texte{white-space:pre-wrap;margin:0.5em 0;}\n"
    U".vantro-lecture .va-s0{color:var(--va-c0);}\n"
    U".vantro-lecture .va-s1{color:var(--va-c1);}\n"
    U".vantro-lecture .va-muette{color:var(--va-muette);}\n"
    U".vantro-lecture .va-inconnue{color:#1a1a1a;text-decoration:underline wavy #999;}\n"
    U".vantro-lecture .va-liaison{font-weight:bold;}\n"
    U".vantro-lecture .va-jonction{position:relative;}\n"
    U".vantro-lecture .va-j-liaison::after,.vantro-lecture .va-j-enchainement::after{content:\"\";"
    U"position:absolute;left:-0.3em;right:-0.3em;bottom:-0.35em;min-width:0.6em;height:0.45em;"
    U"border-bottom:0.12em solid var(--va-arc);border-radius:0 0 50% 50%/0 0 100% 100%;}\n"
    U".vantro-lecture .va-j-enchainement::after{border-bottom-style:dashed;}\n"
    U"@media print{.vantro-lecture{color:#000;-webkit-print-color-adjust:exact;print-color-adjust:exact;"
    U"line-height:2.2;}.vantro-lecture .va-s1{text-decoration:underline;text-underline-offset:0.15em;"
    U"text-decoration-thickness:0.04em;}}\n";

void escaped(Text& out, TextView s) {
    for (char32_t c : s) {
        switch (c) {
            case U'&': out += U"&amp;"; break;
            case U'<': out += U"&lt;"; break;
            case U'>': out += U"&gt;"; break;
            case U'"': out += U"&quot;"; break;
            case U'\'': out += U"&#39;"; break;
            case U'\r': out.push_back(c); break;  // a CRLF line break is white space to the browser
            default: out.push_back(detail::safe_char(c));
        }
    }
}

void attribute(Text& out, const char32_t* name, TextView value) {
    out += U" ";
    out += name;
    out += U"=\"";
    escaped(out, value);
    out += U"\"";
}

Text number(double x) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.3g", x);
    Text out;
    for (const char* p = buf; *p; ++p) out.push_back(static_cast<char32_t>(*p));
    return out;
}

bool hex_digit(char32_t c) {
    return (c >= U'0' && c <= U'9') || (c >= U'a' && c <= U'f') || (c >= U'A' && c <= U'F');
}

// "#rgb", "#rgba", "#rrggbb", "#rrggbbaa", or a colour name (letters only):
// nothing that could close the style it is written in.
bool is_colour(TextView c) {
    if (!c.empty() && c[0] == U'#') {
        const std::size_t n = c.size() - 1;
        if (n != 3 && n != 4 && n != 6 && n != 8) return false;
        for (char32_t d : c.substr(1))
            if (!hex_digit(d)) return false;
        return true;
    }
    if (c.size() < 3 || c.size() > 30) return false;
    for (char32_t d : c)
        if (!((d >= U'a' && d <= U'z') || (d >= U'A' && d <= U'Z'))) return false;
    return true;
}

void check_colour(TextView c) {
    if (!is_colour(c))
        throw std::invalid_argument("couleur invalide : " + to_utf8(c) +
                                    " (attendu #rgb, #rrggbb ou un nom de couleur CSS)");
}

void check_range(double x, double lo, double hi, const char* name) {
    if (!(x >= lo && x <= hi))
        throw std::invalid_argument(std::string(name) + " doit être compris entre " + to_utf8(number(lo)) + " et " +
                                    to_utf8(number(hi)));
}

const char32_t* role_class(Role r) {
    switch (r) {
        case Role::Muette: return U" va-muette";
        case Role::Liaison: return U" va-liaison";
        case Role::Signe: return U" va-signe";
        case Role::Inconnue: return U" va-inconnue";
        default: return U"";
    }
}

Text junction_title(const Junction& j) {
    if (j.kind == U"liaison") return U"liaison /" + j.consonant + U"/";
    if (j.kind == U"enchainement") return U"enchaînement";
    if (j.kind == U"elision") return U"élision";
    return j.label;
}

void reading(Text& out, const LetterView& v) {
    const std::vector<int> letter_at = detail::letter_at_positions(v);
    const std::vector<int> gaps = detail::junction_gaps(v);
    const std::vector<int> liaisons = detail::liaison_of_letters(v);
    // The syllable of the next letter at or after each position: a syllable
    // that runs over the space between two words stays one element.
    std::vector<int> next_syllable(v.text.size() + 1, NONE);
    for (std::size_t p = v.text.size(); p-- > 0;)
        next_syllable[p] = letter_at[p] != NONE ? v.letters[static_cast<std::size_t>(letter_at[p])].syllable
                                                : next_syllable[p + 1];
    int open_syllable = NONE;
    bool in_gap = false;
    std::int64_t gap_end = 0;
    auto close_syllable = [&] {
        if (open_syllable != NONE) out += U"</span>";
        open_syllable = NONE;
    };
    auto close_gap = [&] {
        if (in_gap) out += U"</span>";
        in_gap = false;
    };
    auto open_gap = [&](std::size_t p) {
        const int j = gaps[p];
        if (j == NONE) return;
        const Junction& jn = v.junctions[static_cast<std::size_t>(j)];
        if (next_syllable[p] != open_syllable) close_syllable();
        out += U"<span class=\"va-jonction va-j-";
        out += jn.kind.empty() ? Text(U"autre") : jn.kind;
        out += U"\"";
        attribute(out, U"title", junction_title(jn));
        out += U">";
        in_gap = true;
        gap_end = v.words[static_cast<std::size_t>(jn.word_before) + 1].span.start;
    };

    out += U"<p class=\"va-texte\">";
    for (std::size_t p = 0; p <= v.text.size(); ++p) {
        if (in_gap && static_cast<std::int64_t>(p) >= gap_end) close_gap();
        if (!in_gap) open_gap(p);
        if (p == v.text.size()) break;
        const int li = letter_at[p];
        if (li == NONE) {
            if (next_syllable[p] != open_syllable) close_syllable();
            escaped(out, TextView(&v.text[p], 1));
            continue;
        }
        const Letter& l = v.letters[static_cast<std::size_t>(li)];
        if (l.syllable != open_syllable) {
            close_syllable();
            if (l.syllable != NONE) {
                out += l.syllable % 2 ? U"<span class=\"va-syl va-s1\"" : U"<span class=\"va-syl va-s0\"";
                attribute(out, U"title", U"/" + v.syllables[static_cast<std::size_t>(l.syllable)].phone + U"/");
                out += U">";
                open_syllable = l.syllable;
            }
        }
        out += U"<span class=\"va-l";
        out += role_class(l.role);
        out += U"\"";
        attribute(out, U"title", detail::letter_title(v, l, liaisons[static_cast<std::size_t>(li)]));
        out += U">";
        escaped(out, TextView(&l.character, 1));
        out += U"</span>";
    }
    close_syllable();
    close_gap();
    out += U"</p>";
}

}  // namespace

void check_html_options(const HtmlOptions& o) {
    check_colour(o.colours[0]);
    check_colour(o.colours[1]);
    check_colour(o.silent_colour);
    check_range(o.letter_spacing, 0.0, 2.0, "espacement_lettres");
    check_range(o.word_spacing, 0.0, 2.0, "espacement_mots");
    check_range(o.font_scale, 0.5, 4.0, "taille_police");
}

Text to_html(const LetterView& v, const HtmlOptions& o) {
    check_html_options(o);
    Text out;
    out.reserve(v.text.size() * 160 + 4096);
    if (o.page) {
        out += U"<!DOCTYPE html>\n<html lang=\"fr\">\n<head>\n<meta charset=\"utf-8\">\n"
               U"<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>";
        escaped(out, o.title ? TextView(*o.title) : TextView(U"Lecture"));
        out += U"</title>\n<style>";
        out += STYLE;
        out += U"body{margin:1.5em;}\n</style>\n</head>\n<body>\n";
    }
    const Text vars = U"--va-c0:" + o.colours[0] + U";--va-c1:" + o.colours[1] + U";--va-muette:" + o.silent_colour +
                      U";--va-lettres:" + number(o.letter_spacing) + U"em;--va-mots:" + number(o.word_spacing) +
                      U"em;--va-taille:" + number(o.font_scale);
    out += U"<div class=\"vantro-lecture\" lang=\"fr\"";
    attribute(out, U"style", vars);
    out += U">";
    if (!o.page) {
        out += U"<style>";
        out += STYLE;
        out += U"</style>";
    }
    reading(out, v);
    out += U"</div>";
    if (o.page) out += U"\n</body>\n</html>\n";
    return out;
}

}  // namespace vantro::exporting
