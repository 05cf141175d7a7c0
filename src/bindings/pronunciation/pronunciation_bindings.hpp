// What the phonemizers do with espeak-ng's output for one word, shared by the
// program and the library: clean it, report a reading by another language's
// rules, and correct espeak-ng's systematic mistakes when asked.
#pragma once

#include <optional>
#include <string_view>

#include "bindings/common/convert.hpp"

namespace vantro::py {

// The pronunciation of `word` (a str) from `raw`, what espeak-ng printed for
// it with `voice`: cleaned as the phonemizers return it, then corrected by
// the clean-up rules when `nettoyage`. A reading made with the rules of
// another language than the voice's is logged as a warning on the module
// logger, naming the word and the language. `reread`, when given, is the
// word's reading by the voice's own rules, which takes the place of `raw`'s.
// New str, or nullptr with an error set.
PyObject* phonemizer_reading(PyObject* word, std::string_view raw, std::string_view voice, bool nettoyage,
                             const std::optional<Text>& reread = std::nullopt);

// The flag `nettoyage` held in a phonemizer's slot: false when unset.
bool nettoyage_flag(PyObject* held);

}  // namespace vantro::py
