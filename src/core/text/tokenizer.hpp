// French text to tokens, one sentence at a time.
//
// The caller's text is normalised to NFC once; tokens are cut from the NFC
// text and every span is mapped back to the caller's characters. Linear in
// the length of the text; any input is accepted (control characters, lone
// surrogates, unassigned code points): every non-space character ends up in
// exactly one token, spaces in none.
//
// Sentences end after . ! ? … (and their closing quotes or brackets) when
// what follows starts a new sentence (a capital, a digit, an opening quote or
// dash, or the end of the text), and at a blank line. The reading in context
// is per sentence; a sentence has no length limit.
#pragma once

#include <memory>
#include <vector>

#include "common/text.hpp"
#include "text/token.hpp"
#include "unicode/normalize.hpp"

namespace vantro::text {

class Tokenizer {
public:
    // Normalises `original` (copied: the view need not outlive the call).
    explicit Tokenizer(TextView original);
    ~Tokenizer();
    Tokenizer(Tokenizer&&) noexcept;
    Tokenizer& operator=(Tokenizer&&) noexcept;

    // Fills `out` with the next sentence (its previous content is replaced);
    // false when the text is exhausted.
    bool next(Sentence& out);

    // The NFC text and the map to the caller's positions, for spans the
    // caller computes inside a token's NFC text (nfc_span.start + offset).
    const unicode::NfcText& normalized() const noexcept;

private:
    struct State;
    std::unique_ptr<State> state_;
};

// Every sentence of `original`.
std::vector<Sentence> tokenize(TextView original);

}  // namespace vantro::text
