// Canonical composition (NFC) with a map back to the caller's characters.
//
// The text path works on NFC, so that "e" + U+0301 and "é" read alike, but
// every position it reports must point into the caller's own string. Each
// character of the NFC text maps to the caller's characters it came from: a
// composed letter to its letter and the accents composed into it (é to
// "e" + U+0301), a mark to itself, wherever canonical ordering moved it. A
// span of the NFC text maps to the union of its characters' ranges, so an
// accent never stays behind its letter.
#pragma once

#include <cstdint>
#include <vector>

#include "common/text.hpp"

namespace vantro::unicode {

// unicodedata.normalize("NFC", s), exactly (Unicode 14.0, Python 3.11).
Text nfc(TextView s);

// True when `s` is certainly in NFC already (quick check: no character that
// can change or combine). A false answer only means "normalise to know".
bool is_nfc_quick(TextView s) noexcept;

class NfcText {
public:
    NfcText() = default;
    explicit NfcText(TextView original);

    // The NFC text.
    const Text& text() const noexcept { return text_; }
    // Length of the caller's text.
    std::int64_t source_size() const noexcept { return source_size_; }
    // True when the caller's text was NFC already: positions are the same.
    bool identity() const noexcept { return identity_; }

    // Where the NFC span [start, end) lies in the caller's text: from the
    // first to the last of the caller's characters behind it, in time linear
    // in its length (constant when identity()). An empty span maps to an
    // empty span where the character at `start` begins (or at the end of the
    // caller's text). Requires 0 <= start <= end <= text().size().
    Span to_source(Span nfc_span) const noexcept;
    // The caller's characters behind the NFC character at `index`.
    Span source_of(std::size_t index) const noexcept;

private:
    Text text_;
    std::int64_t source_size_ = 0;
    bool identity_ = true;
    // Per NFC character: the start and end of the caller's characters it
    // came from. Empty when identity_.
    std::vector<std::int64_t> begin_;
    std::vector<std::int64_t> end_;
};

}  // namespace vantro::unicode
