#include "phonology/classifier.hpp"

namespace vantro {

PhonemeClassifier::PhonemeClassifier(const SonorityClasses& classes, const PhonemeSets& sets)
    : classes_(&classes), sets_(&sets) {
    const std::pair<const TextSet*, Bit> all[] = {{&classes.O, kO}, {&classes.N, kN},   {&classes.L, kL},
                                                  {&classes.Y, kY}, {&classes.V, kV},   {&sets.voyelles, kVoyelle},
                                                  {&sets.semi_voyelles, kSemi}};
    for (const auto& [set, bit] : all) {
        for (const Text& entry : *set) {
            if (entry.size() == 1 && entry[0] < kTableEnd) bits_[entry[0]] |= bit;
            else other_entries_ |= bit;
        }
    }
    for (char32_t c = 0; c < kTableEnd; ++c) class_table_[c] = class_of_other(TextView(&c, 1));
}

bool PhonemeClassifier::member(Bit bit, TextView t) const {
    if (t.size() == 1 && t[0] < kTableEnd) return (bits_[t[0]] & bit) != 0;
    // The table holds every one-code-point entry below the bound; only a set
    // with other entries can hold `t`.
    if (!(other_entries_ & bit)) return false;
    switch (bit) {
        case kO: return contains(classes_->O, t);
        case kN: return contains(classes_->N, t);
        case kL: return contains(classes_->L, t);
        case kY: return contains(classes_->Y, t);
        case kV: return contains(classes_->V, t);
        case kVoyelle: return contains(sets_->voyelles, t);
        default: return contains(sets_->semi_voyelles, t);
    }
}

bool PhonemeClassifier::est_voyelle_other(TextView phoneme) const {
    if (phoneme.empty()) return false;
    if (member(kVoyelle, phoneme)) return true;
    // Nasal vowels have no entry of their own: an oral vowel plus the tilde.
    return phoneme.size() > 1 && member(kVoyelle, phoneme.substr(0, 1));
}

bool PhonemeClassifier::in_class(char cls, TextView token) const {
    // The classes' bits, and the questions' bits shifted by two, follow the same order.
    const Bit bit = cls == 'O' ? kO : cls == 'N' ? kN : cls == 'L' ? kL : cls == 'Y' ? kY : kV;
    note_classifier_query(token, static_cast<std::uint8_t>(ClassifierQueries::kInO * static_cast<unsigned>(bit)));
    return member(bit, token);
}

char PhonemeClassifier::class_of_other(TextView token) const {
    if (member(kV, token) || est_voyelle(token)) return 'V';
    if (member(kY, token) || (!token.empty() && member(kSemi, token))) return 'Y';
    if (member(kL, token)) return 'L';
    if (member(kN, token)) return 'N';
    return 'O';
}

}  // namespace vantro
