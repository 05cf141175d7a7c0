// The letter view in terminal colours: syllables in two alternating colours
// of the 256-colour palette, silent letters dimmed in grey, the liaison
// letter underlined, "‿" where a liaison or an enchaînement joins two words
// over a single space. Control characters of the text never reach the
// terminal.

#include <stdexcept>
#include <string>

#include "export/renderers.hpp"
#include "export/text_walk.hpp"

namespace vantro::exporting {

namespace {

using namespace view;

constexpr int SILENT_GREY = 244;

void sgr(Text& out, const std::string& codes) {
    out += U"\x1b[";
    for (char c : codes) out.push_back(static_cast<char32_t>(c));
    out.push_back(U'm');
}

std::string style_of(const Letter& l, const AnsiOptions& o) {
    if (l.syllable == NONE) return "";
    if (l.role == Role::Muette) return "2;38;5;" + std::to_string(SILENT_GREY);
    std::string s = "38;5;" + std::to_string(o.colours[static_cast<std::size_t>(l.syllable % 2)]);
    if (l.role == Role::Liaison) s += ";4";
    return s;
}

}  // namespace

void check_ansi_options(const AnsiOptions& o) {
    for (int c : o.colours)
        if (c < 0 || c > 255) throw std::invalid_argument("une couleur de terminal est un nombre de 0 à 255");
}

Text to_ansi(const LetterView& v, const AnsiOptions& o) {
    check_ansi_options(o);
    const std::vector<int> letter_at = detail::letter_at_positions(v);
    const std::vector<int> gaps = detail::junction_gaps(v);
    Text out;
    std::string current;  // the style in force, "" for the terminal's own
    auto set = [&](const std::string& style) {
        if (style == current) return;
        if (!current.empty()) sgr(out, "0");
        if (!style.empty()) sgr(out, style);
        current = style;
    };
    for (std::size_t p = 0; p < v.text.size(); ++p) {
        const int j = gaps[p];
        if (j != NONE) {
            const Junction& jn = v.junctions[static_cast<std::size_t>(j)];
            const std::int64_t next = v.words[static_cast<std::size_t>(jn.word_before) + 1].span.start;
            if ((jn.kind == U"liaison" || jn.kind == U"enchainement") && next == static_cast<std::int64_t>(p) + 1 &&
                v.text[p] == U' ') {
                set("");
                out += U"‿";
                continue;
            }
        }
        const int li = letter_at[p];
        set(li == NONE ? std::string() : style_of(v.letters[static_cast<std::size_t>(li)], o));
        out.push_back(detail::safe_char(v.text[p]));
    }
    set("");
    return out;
}

}  // namespace vantro::exporting
