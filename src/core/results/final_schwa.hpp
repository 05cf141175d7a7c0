// The pedagogical final schwa: words that end in a mute e (table, tables) or
// in the verb ending -ent (ils parlent) get a schwa "ə" at the end of their
// IPA, so that the mute letters have a syllable of their own.
#pragma once

#include "common/text.hpp"
#include "phonology/phoneme_sets.hpp"

namespace vantro {

// The written word ends with "e" or "es" whose "e" does not follow é, è, ê
// or ë, or with "ent" while the part-of-speech tag starts with "VER"; case
// does not count. An ending may be followed by one final line feed. (The
// module's expressions `_RE_E_MUET` "(?<![éèêë])es?$" and `_RE_VERB_ENT`
// "ent$", case-insensitive, searched in the word, say the same.)
bool has_mute_ending(TextView ortho, TextView pos);

// Whether `phone` takes the final schwa: neither text is empty, the word has
// a mute ending and the last phoneme of `phone` is no vowel. `sets` is a
// callable giving the PhonemeSets; it is only called when the last test is
// reached.
template <class Sets>
bool takes_final_schwa(TextView ortho, TextView pos, TextView phone, Sets&& sets);

// `phone`, followed by "ə" when it takes the final schwa.
Text ajouter_schwa_final(TextView ortho, TextView pos, TextView phone, const PhonemeSets& sets);

// ---------------------------------------------------------------- inline part

bool ends_with_vowel(TextView phone, const PhonemeSets& sets);

template <class Sets>
bool takes_final_schwa(TextView ortho, TextView pos, TextView phone, Sets&& sets) {
    if (phone.empty() || ortho.empty() || !has_mute_ending(ortho, pos)) return false;
    return !ends_with_vowel(phone, sets());
}

}  // namespace vantro
