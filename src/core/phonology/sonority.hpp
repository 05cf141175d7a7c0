// Sonority classes and the syllabifier of raw IPA.
#pragma once

#include <span>

#include "common/text.hpp"
#include "phonology/phoneme_sets.hpp"

namespace vantro {

class PhonemeClassifier;

struct SonorityClasses {
    TextSet O;  // obstruents, plus "s" and the compound phonemes
    TextSet N;  // nasal consonants
    TextSet L;  // liquids, plus "s"
    TextSet Y;  // semi-vowels
    TextSet V;  // vowels of every sub-type
};

SonorityClasses build_sonority_classes(const Alphabet& alphabet);

// One of 'V', 'Y', 'L', 'N', 'O'.
char class_of(TextView token, const SonorityClasses& classes, const PhonemeSets& sets);

// Joins adjacent token pairs that form a compound phoneme, greedily from the left.
std::vector<Text> merge_compounds_ipa(const std::vector<Text>& tokens);

// Number of consonants of `cluster` that close the syllable on its left.
std::size_t split_central_cluster(std::span<const Text> cluster, const SonorityClasses& classes,
                                  const PhonemeSets& sets, bool s_liquid_in_attack = true);

// Syllables of `phone`, in order; their concatenation is `phone`.
std::vector<Text> syllabify_ipa(TextView phone, const SonorityClasses& classes, const PhonemeSets& sets);
// The same into `syllables`, whose strings (and their storage) are reused.
void syllabify_ipa(std::vector<Text>& syllables, TextView phone, const SonorityClasses& classes,
                   const PhonemeSets& sets);
// The same with the classes and sets of `classifier` (see classifier.hpp).
void syllabify_ipa(std::vector<Text>& syllables, TextView phone, const PhonemeClassifier& classifier);

}  // namespace vantro
