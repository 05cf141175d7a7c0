// What the text tokenizer hands to the reading path: tokens grouped by sentence.
#pragma once

#include <cstdint>
#include <vector>

#include "common/text.hpp"

namespace vantro::text {

enum class TokenKind : std::uint8_t {
    Word,          // letters, with the apostrophes and hyphens the word keeps:
                   // "enfant", "aujourd'hui", "arc-en-ciel", "l'" (elided), "-t-il"
    Number,        // 12, 1998, 3,5, 1 000, -5, 1er, 2e, XIXe, 8 h 30, 50 %, 10 €, 1/2
    Symbol,        // a sign read aloud on its own: %, €, +, =, &, §, @, °
    Abbreviation,  // M., Mme, Dr, etc., J.-C., n°, km, kg (and units after a number)
    Code,          // letters and digits mixed, addresses: MP3, H2O, A4, www.exemple.fr
    Punctuation,   // . , ; : ! ? … « » “ ” ( ) — – and the like
    Other,         // nothing to read: emoji, control and format characters,
                   // private use, unassigned code points, lone surrogates
};

// Numbers, symbols, abbreviations and codes: read from the pronunciation in
// context rather than aligned letter by letter.
constexpr bool is_formula(TokenKind k) noexcept {
    return k == TokenKind::Number || k == TokenKind::Symbol || k == TokenKind::Abbreviation ||
           k == TokenKind::Code;
}
// Words and formulas: what a reader says. Punctuation and Other are not said.
constexpr bool is_spoken(TokenKind k) noexcept { return k != TokenKind::Punctuation && k != TokenKind::Other; }

struct Token {
    TokenKind kind = TokenKind::Word;
    Text text;            // as written, in NFC ("l’", "aujourd’hui", "-elle", "8 h 30")
    Span span;            // in the caller's text, code points (covers decomposed input)
    Span nfc_span;        // in the NFC text of the whole input
    Span lecture_span;    // in Sentence::lecture: the form to hand to a phonemizer
                          // (apostrophes as U+0027, "8 heures 30", "monsieur", "premier");
                          // empty for Other tokens, which are not read
    // A punctuation mark (or an unread character) stands between the previous
    // spoken token and this one, or this token starts a sentence after the
    // first. Set on spoken tokens only.
    bool ponctuation_avant = false;
    // This word is elided: it ends with its apostrophe ("l’", "qu'", "jusqu’").
    bool elide = false;
    // The previous token is an elided word that this one completes (l’|enfant).
    bool elision_avant = false;
    // An inverted pronoun joined by a hyphen to the word before it: the token
    // starts with that hyphen ("dit|-elle", "a|-t-il", "donne|-le|-moi").
    bool trait_union_avant = false;
};

struct Sentence {
    std::vector<Token> tokens;  // every non-space character of the sentence, in order
    Text lecture;               // the sentence as a phonemizer should read it
    Span span;                  // caller's text: first token start to last token end
    Span nfc_span;              // the same in the NFC text
};

}  // namespace vantro::text
