// The letter view written out for programs (JSON) and for readers (HTML page
// or fragment, terminal colours), as code points: the host encodes them.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "view/letter_view.hpp"

namespace vantro::exporting {

// Version of the JSON document's layout, written in it as "version". The
// schema shipped with the package describes this version.
inline constexpr std::u32string_view JSON_VERSION = U"1.1";

// Compact JSON text: every character JSON must escape escaped, lone
// surrogates as \uXXXX.
Text to_json(const view::LetterView& view);

struct HtmlOptions {
    bool page = true;                                  // a whole page, or a fragment to embed
    std::array<Text, 2> colours{U"#0072B2", U"#D55E00"};  // alternate syllables
    Text silent_colour = U"#767676";
    double letter_spacing = 0.0;  // em added between letters
    double word_spacing = 0.0;    // em added between words
    double font_scale = 1.0;      // 1 is the reader's usual size
    std::optional<Text> title;  // of the page
};

// std::invalid_argument with a French message for an option a page cannot
// hold safely (a colour that is not "#rgb", "#rrggbb" or a colour name, a
// spacing outside [0, 2] em, a size outside [0.5, 4]).
void check_html_options(const HtmlOptions& options);
Text to_html(const view::LetterView& view, const HtmlOptions& options);

struct AnsiOptions {
    std::array<int, 2> colours{33, 208};  // 256-colour palette indices
};
void check_ansi_options(const AnsiOptions& options);
Text to_ansi(const view::LetterView& view, const AnsiOptions& options);

}  // namespace vantro::exporting
