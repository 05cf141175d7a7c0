// Fuzz target: the text tokenizer and NFC with its map back to the caller's
// characters, on any text (lone surrogates, controls, unassigned code points).
//
// Checked on every input: every non-space character lies in exactly one
// token and no space does; each token's span covers the caller's characters
// whose NFC is the token's text; readings lie in their sentence's text; the
// decomposed and the composed text cut alike.

#include "fuzz_common.hpp"
#include "text/tokenizer.hpp"
#include "unicode/normalize.hpp"
#include "unicode/properties.hpp"
#include "unicode/unicode.hpp"

using namespace vantro;

namespace {

struct Cut {
    std::vector<text::Sentence> sentences;
    Text nfc;
};

Cut cut(TextView t) {
    text::Tokenizer tokenizer(t);
    Cut c;
    text::Sentence s;
    while (tokenizer.next(s)) c.sentences.push_back(s);
    c.nfc = tokenizer.normalized().text();
    return c;
}

void check(TextView original, const Cut& c) {
    const Text& nfc = c.nfc;
    FUZZ_CHECK(nfc == unicode::nfc(original));
    std::int64_t nfc_at = 0, source_at = 0;
    for (const text::Sentence& s : c.sentences) {
        FUZZ_CHECK(!s.tokens.empty());
        FUZZ_CHECK(s.span.start == s.tokens.front().span.start && s.span.end == s.tokens.back().span.end);
        std::int64_t lecture_at = 0;
        for (std::size_t i = 0; i < s.tokens.size(); ++i) {
            const text::Token& t = s.tokens[i];
            // Only white space between tokens, none inside a gap's neighbours.
            FUZZ_CHECK(t.nfc_span.start >= nfc_at && t.nfc_span.start < t.nfc_span.end);
            for (std::int64_t k = nfc_at; k < t.nfc_span.start; ++k)
                FUZZ_CHECK(unicode::is_space(nfc[static_cast<std::size_t>(k)]));
            FUZZ_CHECK(t.nfc_span.end <= static_cast<std::int64_t>(nfc.size()));
            FUZZ_CHECK(t.text == TextView(nfc).substr(static_cast<std::size_t>(t.nfc_span.start),
                                                      static_cast<std::size_t>(t.nfc_span.end - t.nfc_span.start)));
            nfc_at = t.nfc_span.end;
            // The caller's characters behind the token, whole.
            FUZZ_CHECK(t.span.start >= source_at && t.span.start < t.span.end);
            FUZZ_CHECK(t.span.end <= static_cast<std::int64_t>(original.size()));
            const TextView source = original.substr(static_cast<std::size_t>(t.span.start),
                                                    static_cast<std::size_t>(t.span.end - t.span.start));
            FUZZ_CHECK(unicode::nfc(source) == t.text);
            source_at = t.span.end;
            // Readings in order inside the sentence's text; none for what is not read.
            FUZZ_CHECK(t.lecture_span.start >= lecture_at && t.lecture_span.start <= t.lecture_span.end);
            FUZZ_CHECK(t.lecture_span.end <= static_cast<std::int64_t>(s.lecture.size()));
            lecture_at = t.lecture_span.end;
            if (t.kind == text::TokenKind::Other) FUZZ_CHECK(t.lecture_span.start == t.lecture_span.end);
            // Flags where they belong.
            if (t.elision_avant) FUZZ_CHECK(i > 0 && s.tokens[i - 1].elide);
            if (t.trait_union_avant) FUZZ_CHECK(i > 0 && s.tokens[i - 1].nfc_span.end == t.nfc_span.start);
            if (t.ponctuation_avant) FUZZ_CHECK(text::is_spoken(t.kind));
        }
    }
    for (std::size_t k = static_cast<std::size_t>(nfc_at); k < nfc.size(); ++k) FUZZ_CHECK(unicode::is_space(nfc[k]));
}

bool same_tokens(const Cut& a, const Cut& b) {
    if (a.sentences.size() != b.sentences.size()) return false;
    for (std::size_t i = 0; i < a.sentences.size(); ++i) {
        const auto& x = a.sentences[i];
        const auto& y = b.sentences[i];
        if (x.lecture != y.lecture || x.tokens.size() != y.tokens.size()) return false;
        for (std::size_t k = 0; k < x.tokens.size(); ++k) {
            const text::Token& s = x.tokens[k];
            const text::Token& t = y.tokens[k];
            if (s.kind != t.kind || s.text != t.text || !(s.nfc_span == t.nfc_span) ||
                !(s.lecture_span == t.lecture_span) || s.ponctuation_avant != t.ponctuation_avant ||
                s.elide != t.elide || s.elision_avant != t.elision_avant || s.trait_union_avant != t.trait_union_avant)
                return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    const Text original = fuzz::decode(std::string_view(reinterpret_cast<const char*>(bytes), size));
    const Cut c = cut(original);
    check(original, c);
    // Decomposed input: the same cut, spans into the decomposed characters.
    Text decomposed;
    for (char32_t ch : original) unicode::append_decomposition(decomposed, ch);
    const Cut d = cut(decomposed);
    check(decomposed, d);
    FUZZ_CHECK(same_tokens(c, d));
    return 0;
}
