// What the phonemizers and the facade decide, apart from how they ask the
// host: which phonemizer the facade keeps, and how espeak-ng is started.
#pragma once

#include <vector>

#include "common/text.hpp"

namespace vantro {

// The phonemizer the facade keeps for the object it is given, tested in
// this order: none gives a new espeak-ng phonemizer; an object whose
// attribute `phonemize` is not None is kept as it is; one with an attribute
// `predict` gets an adapter; one whose `phonemize` is None is kept too; any
// other object is refused. `Given` answers is_none(), phonemize_usable(),
// has_predict() and has_phonemize(), each asked only when needed.
enum class PhonemizerChoice { Espeak, Given, G2PAdapter, Refused };
template <class Given>
PhonemizerChoice choose_phonemizer(Given& given) {
    if (given.is_none()) return PhonemizerChoice::Espeak;
    if (given.phonemize_usable()) return PhonemizerChoice::Given;
    if (given.has_predict()) return PhonemizerChoice::G2PAdapter;
    if (given.has_phonemize()) return PhonemizerChoice::Given;
    return PhonemizerChoice::Refused;
}

// The espeak-ng command lines, program first: the availability check, and
// the IPA of one word in voice `lang`, quietly. "--" ends the options, so a
// word such as "-h" is read as text.
std::vector<Text> espeak_version_command();
std::vector<Text> espeak_ipa_command(TextView lang, TextView word);

}  // namespace vantro
