#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "export/json_writer.hpp"
#include "export/renderers.hpp"

namespace vantro::exporting {
namespace {

using namespace view;

// One word of one syllable per character run, each letter sounded: enough
// for what the renderers do with the text.
LetterView one_word(TextView text, Role role = Role::Sonore) {
    LetterView v;
    v.text = Text(text);
    v.words.push_back(WordOut{0, {0, static_cast<std::int64_t>(text.size())}, Text(text)});
    v.syllables.push_back(Syllable{});
    v.syllables[0].phone = U"a\"<b>";
    for (std::size_t i = 0; i < text.size(); ++i) {
        Letter l;
        l.position = static_cast<std::int64_t>(i);
        l.character = text[i];
        l.group = 0;
        l.word = 0;
        l.syllable = 0;
        l.role = role;
        v.letters.push_back(l);
        v.syllables[0].letter_indices.push_back(static_cast<int>(i));
    }
    return v;
}

TEST(JsonWriter, EscapesWhatJsonForbidsAndNothingElse) {
    Text out;
    json::Writer w(out);
    w.object().key(U"t").string(Text(U"a\"b\\c\n\x01é\U0001F600") + Text(1, char32_t(0xD800)));
    w.key(U"n").array().null().boolean(true).number(-7).index(-1).end().key(U"e").object().end().end();
    EXPECT_EQ(to_utf8(out), "{\"t\":\"a\\\"b\\\\c\\n\\u0001é😀\\ud800\",\"n\":[null,true,-7,null],\"e\":{}}");
}

TEST(HtmlRenderer, TextIsNeverMarkup) {
    const Text html = to_html(one_word(U"<script>alert('x')&</script>"), HtmlOptions{});
    const std::string s = to_utf8(html);
    EXPECT_EQ(s.find("<script"), std::string::npos);
    EXPECT_NE(s.find("&lt;"), std::string::npos);
    EXPECT_NE(s.find("&#39;"), std::string::npos);
    EXPECT_NE(s.find("title=\"/a&quot;&lt;b&gt;/\""), std::string::npos);  // attributes too
    EXPECT_NE(s.find("<html lang=\"fr\">"), std::string::npos);
    EXPECT_NE(s.find("@media print"), std::string::npos);
}

TEST(HtmlRenderer, FragmentAndOptions) {
    HtmlOptions o;
    o.page = false;
    o.colours = {U"#000", U"navy"};
    o.letter_spacing = 0.25;
    const std::string s = to_utf8(to_html(one_word(U"ami"), o));
    EXPECT_EQ(s.rfind("<div class=\"vantro-lecture\" lang=\"fr\"", 0), 0u);
    EXPECT_NE(s.find("--va-c1:navy"), std::string::npos);
    EXPECT_NE(s.find("--va-lettres:0.25em"), std::string::npos);
    EXPECT_EQ(s.find("<html"), std::string::npos);

    struct Bad {
        const char* what;
        HtmlOptions o;
    };
    std::vector<Bad> bad(4);
    bad[0] = {"style break-out", {}};
    bad[0].o.colours[0] = U"red;}body{display:none";
    bad[1] = {"bad hex", {}};
    bad[1].o.silent_colour = U"#12345";
    bad[2] = {"size", {}};
    bad[2].o.font_scale = 40;
    bad[3] = {"not a number", {}};
    bad[3].o.word_spacing = std::nan("");
    for (const Bad& b : bad) EXPECT_THROW(check_html_options(b.o), std::invalid_argument) << b.what;
}

TEST(AnsiRenderer, ControlCharactersNeverReachTheTerminal) {
    const std::string s = to_utf8(to_ansi(one_word(U"a\x1b]0;x\x07" U"b"), AnsiOptions{}));
    // The only escapes are the renderer's own colour codes.
    for (std::size_t at = s.find('\x1b'); at != std::string::npos; at = s.find('\x1b', at + 1))
        EXPECT_EQ(s.substr(at, 2), "\x1b[");
    EXPECT_EQ(s.find('\x07'), std::string::npos);
    EXPECT_NE(s.find("\xEF\xBF\xBD"), std::string::npos);
    EXPECT_THROW(check_ansi_options(AnsiOptions{{-1, 300}}), std::invalid_argument);
}

}  // namespace
}  // namespace vantro::exporting
