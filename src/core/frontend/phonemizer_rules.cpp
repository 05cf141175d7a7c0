#include "frontend/phonemizer_rules.hpp"

namespace vantro {

std::vector<Text> espeak_version_command() { return {U"espeak-ng", U"--version"}; }

std::vector<Text> espeak_ipa_command(TextView lang, TextView word) {
    return {U"espeak-ng", U"-v", Text(lang), U"--ipa", U"-q", U"--", Text(word)};
}

}  // namespace vantro
