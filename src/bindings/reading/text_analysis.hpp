// analyser_texte: plain French text to reading groups.
#pragma once

#include <string>

#include "bindings/common/convert.hpp"

namespace vantro::py {

// How the text is read in context: the espeak-ng library in the process, or
// the espeak-ng program (one process per clause), with this voice.
struct TextReaderChoice {
    enum class Kind { Library, Program } kind = Kind::Library;
    std::string voice = "fr";
};

// What the caller chose of the text path's own corrections: espeak-ng's
// systematic mistakes corrected, a word read with another language's rules
// among French words read again with the French ones.
struct TextCorrections {
    bool nettoyage = true;
    bool relecture_francaise = true;
};

// The keywords `nettoyage` and `relecture_francaise` (nullptr when not given)
// read into `out`. False with an error set.
bool read_corrections(PyObject* nettoyage, PyObject* relecture_francaise, TextCorrections& out);

// The ResultatSyllabation of `texte` (checked: a str) with `options` (an
// OptionsGroupes, or None for the defaults). Words read with another
// language's rules are named in one warning on the module logger. nullptr
// with an error set.
PyObject* analyser_texte(PyObject* texte, PyObject* options, const TextReaderChoice& reader,
                         const TextCorrections& corrections = {});

// The reader for a facade's phonemizer: the library for EspeakLibPhonemizer,
// the program for EspeakPhonemizer, each with its voice. False with
// TypeError (which names the phonemizers to use) for any other phonemizer.
bool reader_for_phonemizer(PyObject* phonemizer, TextReaderChoice& out);

}  // namespace vantro::py
