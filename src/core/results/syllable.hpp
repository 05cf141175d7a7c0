// Syllables with their letters, as the core builds them.
#pragma once

#include "common/text.hpp"

namespace vantro {

struct PhonemeRec {
    Text ipa;
    Text grapheme;
};

struct SyllabeRec {
    Text phone;
    Text ortho;
    Span span;
    std::vector<PhonemeRec> attaque;
    std::vector<PhonemeRec> noyau;
    std::vector<PhonemeRec> coda;
};

}  // namespace vantro
