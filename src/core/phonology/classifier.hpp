// Phoneme classes from tables: the questions of the syllabifier answered
// without a hash look-up for most tokens.
#pragma once

#include <array>
#include <cstdint>

#include "phonology/classifier_queries.hpp"
#include "phonology/phoneme_sets.hpp"
#include "phonology/sonority.hpp"

namespace vantro {

// Answers exactly what the sets answer (est_voyelle, membership in a
// sonority class, class_of), from a table for tokens that are one code point
// below U+0300, where every IPA letter lies; other tokens go to the sets.
// Holds references: `classes` and `sets` must outlive it and not change.
class PhonemeClassifier {
public:
    PhonemeClassifier(const SonorityClasses& classes, const PhonemeSets& sets);

    const SonorityClasses& classes() const noexcept { return *classes_; }
    const PhonemeSets& sets() const noexcept { return *sets_; }

    bool est_voyelle(TextView phoneme) const {
        note_classifier_query(phoneme, ClassifierQueries::kEstVoyelle);
        if (phoneme.size() == 1 && phoneme[0] < kTableEnd) return (bits_[phoneme[0]] & kVoyelle) != 0;
        return est_voyelle_other(phoneme);
    }
    // Whether `token` is in classes().O, N, L, Y or V (`cls` names the set).
    bool in_class(char cls, TextView token) const;
    // The sonority class, as class_of(token, classes(), sets()).
    char class_of(TextView token) const {
        note_classifier_query(token, ClassifierQueries::kClassOf);
        if (token.size() == 1 && token[0] < kTableEnd) return class_table_[token[0]];
        return class_of_other(token);
    }

private:
    enum Bit : std::uint8_t { kO = 1, kN = 2, kL = 4, kY = 8, kV = 16, kVoyelle = 32, kSemi = 64 };
    static constexpr char32_t kTableEnd = 0x300;

    // Membership of `t` in the set behind `bit`.
    bool member(Bit bit, TextView t) const;
    char class_of_other(TextView token) const;
    bool est_voyelle_other(TextView phoneme) const;

    const SonorityClasses* classes_;
    const PhonemeSets* sets_;
    std::array<std::uint8_t, kTableEnd> bits_{};
    std::array<char, kTableEnd> class_table_{};  // class_of of each one-code-point token
    std::uint8_t other_entries_ = 0;  // sets that hold an entry the table cannot
};

}  // namespace vantro
